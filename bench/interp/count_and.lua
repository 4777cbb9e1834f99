local s = 0
for i = 0, 9999999 do s = s + (i & 7) end
assert(s == 35000000)
