-- Lua's texts are immutable; a program building one appends to a table.
local parts = {}
for i = 1, 1000000 do
    parts[#parts + 1] = "x"
end
local t = table.concat(parts)
assert(#t == 1000000)
