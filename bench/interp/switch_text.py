def main():
    names = ["red", "green", "blue", "cyan", "grey"]
    t = 0
    for i in range(1000000):
        k = names[i % 5]
        if k == "red": t += 1
        elif k == "green": t += 2
        elif k == "blue": t += 3
        elif k == "cyan": t += 4
        else: t += 5
    assert t == 3000000

main()
