local n = 0
for i = 0, 299999 do
    local t = "item" .. (i % 1000)
    if t < "item5" then n = n + 1 end
    n = n + #t
    if t == "item42" then n = n + 100 end
end
assert(n == 2230500)
