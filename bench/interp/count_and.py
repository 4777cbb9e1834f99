def main():
    s = 0
    for i in range(10000000): s += i & 7
    assert s == 35000000

main()
