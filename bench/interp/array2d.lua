local g = {}
for i = 0, 299 do g[i] = {} end
local s = 0
for r = 0, 9 do
    for i = 0, 299 do
        for j = 0, 299 do
            g[i][j] = i + j + r
        end
    end
    for i = 0, 299 do
        for j = 0, 299 do
            s = s + g[i][j]
        end
    end
end
assert(s == 273150000)
