# Locals, as a program would have them in a function.
def main():
    n = 0
    for i in range(10000000):
        n = n + 2
    assert n == 20000000

main()
