def clamp(v, lo, hi):
    if v < lo: return lo
    if v > hi: return hi
    return v

def mix(a, b):
    return a * 3 + b

def main():
    s = 0
    for i in range(1000000):
        s = s + clamp(mix(i % 50, i % 7), 10, 100)
    assert s == 67900001

main()
