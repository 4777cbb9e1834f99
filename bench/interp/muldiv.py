def main():
    x = 1
    t = 0
    for i in range(3000000):
        x = (x * 1103 + 12345) % 65536
        t = t + x // 97 - (x % 13) * 2
    assert x == 33281 and t == 975844574

main()
