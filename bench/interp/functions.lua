local function clamp(v, lo, hi)
    if v < lo then return lo end
    if v > hi then return hi end
    return v
end
local function mix(a, b)
    return a * 3 + b
end
local s = 0
for i = 0, 999999 do
    s = s + clamp(mix(i % 50, i % 7), 10, 100)
end
assert(s == 67900001)
