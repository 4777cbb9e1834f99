-- Lua strings are immutable: appending in a loop is the table-and-concat idiom.
local parts = {}
for i = 1, 1000000 do
    parts[#parts + 1] = "x"
end
local s = table.concat(parts)
assert(#s == 1000000)
