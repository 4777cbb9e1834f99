local names = {"red", "green", "blue", "cyan", "grey"}
local t = 0
for i = 0, 999999 do
    local k = names[i % 5 + 1]
    if k == "red" then t = t + 1
    elseif k == "green" then t = t + 2
    elseif k == "blue" then t = t + 3
    elseif k == "cyan" then t = t + 4
    else t = t + 5 end
end
assert(t == 3000000)
