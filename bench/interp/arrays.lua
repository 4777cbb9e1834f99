local a = {}
for i = 0, 2000000 - 1 do
    a[i] = i & 255
end
local sum = 0
for i = 0, 2000000 - 1 do
    sum = sum + a[i]
end
assert(sum == 254991808)
