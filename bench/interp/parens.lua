local n = 0
for i = 0, 2999999 do
    n = (n + ((i * 3 + 1) % 7)) & 0xFFFF
end
assert(n == 21564)
