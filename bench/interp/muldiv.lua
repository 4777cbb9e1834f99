local x, t = 1, 0
for i = 0, 2999999 do
    x = (x * 1103 + 12345) % 65536
    t = t + x // 97 - (x % 13) * 2
end
assert(x == 33281 and t == 975844574)
