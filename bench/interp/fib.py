def fib(n):
    if n < 2:
        return n
    return fib(n - 1) + fib(n - 2)
def main():
    assert fib(30) == 832040

main()
