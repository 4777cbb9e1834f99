local n = 0
for i = 0, 10000000 - 1 do
    n = n + 2
end
assert(n == 20000000)
