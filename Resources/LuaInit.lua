-- Runs in the frame after FirstFrame: a short action list that counts three frames, then ends.
local ship = LookupObject("demoShip")
qMain.Print("LuaInit found demoShip: " .. tostring(ship ~= nil))
local list = actionLists:CreateActionList()
list:PushBack(function(l, time, dt)
    demo.frames = (demo.frames or 0) + 1
    if demo.frames == 3 then
        qMain.Print("Action list counted 3 frames")
        l:StepForward()
    end
end)

-- Keeps a small record in the player's data folder and reads it back.
qMain.SaveTable({ name = "demo", ships = 2, nested = { 0.1, true } }, "DemoSave")
local saved = qMain.LoadTable("DemoSave")
qMain.Print("Saved table read back: " .. tostring(saved.name) .. " " .. tostring(saved.ships) .. " " ..
    tostring(saved.nested[1]))
qMain.RunFile("Keys")
qMain.RunFile("Placement")
qMain.RunFile("Asteroids")
qMain.RunFile("PauseMenu")
