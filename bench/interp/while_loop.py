def main():
    n = 0
    k = 0
    while k < 5000000:
        n += 3
        k += 1
    assert n == 15000000

main()
