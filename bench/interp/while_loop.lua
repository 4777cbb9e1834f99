local n, k = 0, 0
while k < 5000000 do
    n = n + 3
    k = k + 1
end
assert(n == 15000000)
