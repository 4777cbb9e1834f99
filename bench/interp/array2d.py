def main():
    g = [[0] * 300 for _ in range(300)]
    s = 0
    for r in range(10):
        for i in range(300):
            for j in range(300):
                g[i][j] = i + j + r
        for i in range(300):
            for j in range(300):
                s += g[i][j]
    assert s == 273150000

main()
