local Ball = {}
Ball.__index = Ball
function Ball.new(k)
    return setmetatable({x = (k * 37) % 300, y = (k * 91) % 200, vx = k % 5 + 1, vy = k % 3 + 1}, Ball)
end
function Ball:move()
    self.x = self.x + self.vx
    self.y = self.y + self.vy
    if self.x < 0 or self.x > 320 then self.vx = -self.vx end
    if self.y < 0 or self.y > 240 then self.vy = -self.vy end
end
local balls = {}
for k = 0, 11 do balls[k] = Ball.new(k) end
local hits, chars = 0, 0
for frame = 0, 9999 do
    for k = 0, 11 do balls[k]:move() end
    for i = 0, 11 do
        local a = balls[i]
        for j = i + 1, 11 do
            local c = balls[j]
            local dx = a.x - c.x
            local dy = a.y - c.y
            if dx * dx + dy * dy < 100 then hits = hits + 1 end
        end
    end
    local status = "frame " .. frame .. ": " .. hits .. " hits"
    chars = chars + #status
end
assert(hits == 2253 and chars == 203760)
