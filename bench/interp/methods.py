class Counter:
    def __init__(self):
        self.n = 0
    def add(self, k):
        self.n = self.n + k
# Locals, as a program would have them in a function.
def main():
    c = Counter()
    for i in range(3000000):
        c.add(3)
    assert c.n == 9000000

main()
