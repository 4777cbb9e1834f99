local c = 0
for i = 0, 2999999 do
    local a = i % 7
    local b = i % 11
    if (a < b and b ~= 3) or not (a >= 2) then c = c + 1 end
    if a == b or a > 5 then c = c + 2 end
end
assert(c == 3311693)
