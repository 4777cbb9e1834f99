def main():
    x = 0
    for i in range(3000000):
        x = x ^ (i << 3)
        x = (x | (i >> 2)) & 0xFFFFF
        x = x & ~(i & 15)
    assert x == 1048560

main()
