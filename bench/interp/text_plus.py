def main():
    t = ""
    for i in range(1000000):
        t = t + "x"
    assert len(t) == 1000000

main()
