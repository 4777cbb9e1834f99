# Locals, as a program would have them in a function.
def main():
    a = [0] * 1000000
    for i in range(1000000):
        a[i] = i & 255
    total = 0
    for i in range(1000000):
        total += a[i]
    assert total == 127493856

main()
