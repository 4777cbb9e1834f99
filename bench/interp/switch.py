# Locals, as a program would have them in a function.
def main():
    t = 0
    for i in range(3000000):
        k = i % 5
        if k == 0:
            t += 1
        elif k == 1:
            t += 2
        elif k == 2:
            t += 3
        elif k == 3:
            t += 4
        else:
            t += 5
    assert t == 9000000

main()
