-- Appending to one growing text: `s = s .. piece` and `s = s .. a .. b`, 100 000
-- times each.
local s = ""
for i = 0, 99999 do s = s .. "ab" end
local t = ""
for k = 0, 99999 do t = t .. k .. "," end
print(#s .. " " .. #t)
