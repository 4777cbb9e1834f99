local Counter = {}
Counter.__index = Counter
function Counter.new() return setmetatable({n = 0}, Counter) end
function Counter:add(k) self.n = self.n + k end
local c = Counter.new()
for i = 1, 3000000 do
    c:add(3)
end
assert(c.n == 9000000)
