# A game frame: twelve objects moved, every pair tested, a status status formatted.
class Ball:
    def __init__(self, k):
        self.x = (k * 37) % 300
        self.y = (k * 91) % 200
        self.vx = k % 5 + 1
        self.vy = k % 3 + 1
    def move(self):
        self.x = self.x + self.vx
        self.y = self.y + self.vy
        if self.x < 0 or self.x > 320:
            self.vx = -self.vx
        if self.y < 0 or self.y > 240:
            self.vy = -self.vy

def main():
    balls = [Ball(k) for k in range(12)]
    hits = 0
    chars = 0
    for frame in range(10000):
        for b in balls:
            b.move()
        for i in range(12):
            a = balls[i]
            for j in range(i + 1, 12):
                c = balls[j]
                dx = a.x - c.x
                dy = a.y - c.y
                if dx * dx + dy * dy < 100:
                    hits += 1
        status = "frame " + str(frame) + ": " + str(hits) + " hits"
        chars += len(status)
    assert hits == 2253 and chars == 203760
main()
