local t = 0
for i = 0, 3000000 - 1 do
    local k = i % 5
    if k == 0 then t = t + 1
    elseif k == 1 then t = t + 2
    elseif k == 2 then t = t + 3
    elseif k == 3 then t = t + 4
    else t = t + 5 end
end
assert(t == 9000000)
