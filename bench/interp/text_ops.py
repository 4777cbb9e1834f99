def main():
    n = 0
    for i in range(300000):
        t = "item" + str(i % 1000)
        if t < "item5": n += 1
        n += len(t)
        if t == "item42": n += 100
    assert n == 2230500

main()
