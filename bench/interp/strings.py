# Locals, as a program would have them in a function.
def main():
    s = ""
    for i in range(1000000):
        s += "x"
    assert len(s) == 1000000

main()
