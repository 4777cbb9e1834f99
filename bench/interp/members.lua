local p = {x = 0, y = 0, vx = 3, wraps = 0}
for i = 0, 1999999 do
    p.x = p.x + p.vx
    p.y = p.y + 1
    if p.x > 1000 then
        p.x = p.x - 1000
        p.wraps = p.wraps + 1
    end
end
assert(p.wraps == 5999 and p.x == 1000 and p.y == 2000000)
