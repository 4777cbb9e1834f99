def main():
    x = 0.0
    s = 0.0
    for i in range(2000000):
        s = s + x * x * 0.5 - x / 3.0
        x = x + 0.000001
    assert 666665.9 < s < 666666.1

main()
