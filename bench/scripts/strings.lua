-- String building: many small concatenations, and comparisons of the growing text
-- with a copy built beside it.
local text = ""
local copy = ""
local count = 0
local same = 0
for i = 0, 99999 do
    text = text .. "item" .. i .. ";"
    copy = copy .. "item" .. i .. ";"
    if text == copy then same = same + 1 end
    if i % 1000 == 0 then
        text = ""
        copy = ""
        count = count + 1
    end
end
local words = ""
for k = 0, 499999 do words = "w" .. (k % 10) end
print(count .. " " .. same .. " " .. words)
