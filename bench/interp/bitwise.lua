local x = 0
for i = 0, 2999999 do
    x = x ~ (i << 3)
    x = (x | (i >> 2)) & 0xFFFFF
    x = x & ~(i & 15)
end
assert(x == 1048560)
