def main():
    c = 0
    for i in range(3000000):
        a = i % 7
        b = i % 11
        if (a < b and b != 3) or not (a >= 2): c += 1
        if a == b or a > 5: c += 2
    assert c == 3311693

main()
