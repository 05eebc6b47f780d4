-- The arrow keys move the first demo ship ten units a press (not while the game is paused); every move
-- is logged.
local ship = LookupObject("demoShip")
local steps = {
    { VK_LEFT, "left", Vector2(-10, 0) },
    { VK_RIGHT, "right", Vector2(10, 0) },
    { VK_UP, "up", Vector2(0, 10) },
    { VK_DOWN, "down", Vector2(0, -10) },
}
for _, step in ipairs(steps) do
    local key, name, offset = step[1], step[2], step[3]
    input:ListenKeyboardPressed(key, function()
        -- While the pause menu is open the arrows move its hover instead.
        if demo.paused then
            return
        end
        ship.transform:AddPosition(offset)
        local p = ship.transform:GetPosition()
        qMain.Print(string.format("Key %s: demoShip at (%g, %g)", name, p:X(), p:Y()))
    end)
end
qMain.Print("Arrow keys move demoShip")

-- The first ship's engine hums for the whole game, and its exhaust glows behind it.
ship.soundEmitter:Emit()
goManager:CreateGameObject("DemoExhaust").mountable:Mount(ship)

-- M starts and stops the music.
local theme = audio:GetMusicPrompt("Theme")
input:ListenKeyboardPressed(string.byte("M"), function()
    theme:Toggle()
    qMain.Print("Music " .. (theme:IsActive() and "on" or "off"))
end)

-- F switches between the window and full screen.
input:ListenKeyboardPressed(string.byte("F"), function()
    graphics:SetFullscreen(not graphics:IsFullscreen())
    qMain.Print("Full screen " .. (graphics:IsFullscreen() and "on" or "off"))
end)

-- D shows and hides the debug lines: the steering arrows and the colliders.
input:ListenKeyboardPressed(string.byte("D"), function()
    messages:SendMessage("ToggleDebugLines")
    qMain.Print("Debug lines toggled")
end)
