def hanoi(n, a, b, c):
    if n == 0: return 0
    return hanoi(n - 1, a, c, b) + 1 + hanoi(n - 1, c, b, a)

assert hanoi(20, 1, 2, 3) == 1048575
