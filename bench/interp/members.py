class Mover:
    def __init__(self):
        self.x = 0
        self.y = 0
        self.vx = 3
        self.wraps = 0

def main():
    p = Mover()
    for i in range(2000000):
        p.x = p.x + p.vx
        p.y = p.y + 1
        if p.x > 1000:
            p.x = p.x - 1000
            p.wraps = p.wraps + 1
    assert p.wraps == 5999 and p.x == 1000 and p.y == 2000000

main()
