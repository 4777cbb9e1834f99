local x, s = 0.0, 0.0
for i = 0, 1999999 do
    s = s + x * x * 0.5 - x / 3.0
    x = x + 0.000001
end
assert(s > 666665.9 and s < 666666.1)
