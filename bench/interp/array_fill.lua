local a = {}
for i = 0, 1999999 do a[i] = i % 100 end
local s = 0
for i = 0, 1999999 do s = s + a[i] end
assert(s == 99000000)
