local function hanoi(n, a, b, c)
    if n == 0 then return 0 end
    return hanoi(n - 1, a, c, b) + 1 + hanoi(n - 1, c, b, a)
end
assert(hanoi(20, 1, 2, 3) == 1048575)
