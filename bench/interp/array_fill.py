def main():
    a = []
    for i in range(2000000): a.append(i % 100)
    s = 0
    for i in range(2000000): s += a[i]
    assert s == 99000000

main()
