def main():
    n = 0
    for i in range(3000000):
        n = (n + ((i * 3 + 1) % 7)) & 0xFFFF
    assert n == 21564

main()
