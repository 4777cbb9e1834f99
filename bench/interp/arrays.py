# Locals, as a program would have them in a function.
def main():
    a = [0] * 2000000
    for i in range(2000000):
        a[i] = i & 255
    total = 0
    for i in range(2000000):
        total += a[i]
    assert total == 254991808

main()
