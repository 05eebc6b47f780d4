-- P opens and closes the pause menu over the game: Resume, Inspect ship and Quit, a list of three levels
-- and a volume slider. Up and Down move the hover from one to the next (through the list's rows), Left and
-- Right change the volume, Return or the pad's A presses what is hovered, and a click presses it too.
-- Everything the menu does is logged.
local ship = LookupObject("demoShip")
local canvas = gui.CreateCanvas(gui:GetSkin())
local window = gui.CreateWindowControl(canvas)
window:SetTitle("Paused")
window:SetClosable(false)
window:SetBounds(Vector4(250, 120, 300, 300))

local inspectorWindow = gui.CreateWindowControl(canvas)
inspectorWindow:SetTitle("Ship")
inspectorWindow:SetClosable(false)
inspectorWindow:SetBounds(Vector4(560, 20, 230, 420))
inspectorWindow:Hide()
local inspector = nil

local menu = {}

local function Close()
    gui:HideCanvas()
    demo.paused = false
    qMain.Print("Pause menu closed")
end

local function AddButton(text, y, action)
    local button = gui.CreateButton(window)
    button:SetText(text)
    button:SetName(text)
    button:SetBounds(Vector4(20, y, 250, 26))
    button:OnPress():Add(function()
        qMain.Print("Pressed " .. text)
        action()
    end)
    menu[#menu + 1] = button
    return button
end

AddButton("Resume", 10, Close)
AddButton("Inspect ship", 44, function()
    if inspector then
        gui:StopTweak(inspector)
        inspector = nil
        inspectorWindow:Hide()
        qMain.Print("Inspector closed")
    else
        inspectorWindow:Show()
        inspector = gui:Tweak(ship, inspectorWindow)
        qMain.Print("Inspector open: " .. tostring(inspector ~= nil))
    end
end)
AddButton("Quit", 78, function() messages:SendMessage("Quit") end)

local levels = gui.CreateListBox(window)
levels:SetBounds(Vector4(20, 116, 250, 80))
for i = 1, 3 do
    levels:AddItem("Level " .. i)
end
levels:OnRowSelected():Add(function()
    qMain.Print("Chose " .. levels:GetSelectedRow():GetText(0))
end)
menu[#menu + 1] = levels

local volume = gui.CreateHorizontalSlider(window)
volume:SetBounds(Vector4(20, 210, 250, 20))
volume:SetRange(0, 1)
volume:SetValue(1, true)
volume:OnValueChanged():Add(function()
    audio:SetVolume(volume:GetValue())
    qMain.Print(string.format("Volume %.1f", volume:GetValue()))
end)
menu[#menu + 1] = volume

local current = 1

local function Hover(index)
    current = index
    gui.SetHoveredControl(menu[current])
    if menu[current] ~= levels then
        qMain.Print("Hover " .. menu[current]:GetName())
    end
end

local function Open()
    gui:SetCanvas(canvas)
    demo.paused = true
    Hover(1)
    qMain.Print("Pause menu open")
end

-- Down and Up go through the list's rows before leaving it.
local function Move(step)
    if menu[current] == levels then
        local moved = step > 0 and gui.NextRow(levels) or step < 0 and gui.PrevRow(levels)
        if moved then
            qMain.Print("Hover a level")
            return
        end
    end
    local index = current + step
    if index >= 1 and index <= #menu then
        Hover(index)
        if menu[index] == levels then
            Move(step)
        end
    end
end

local function PressHovered()
    local hovered = gui.GetHoveredControl()
    if hovered then
        gui.Press(hovered)
    end
end

input:ListenKeyboardPressed(string.byte("P"), function()
    if demo.paused then Close() else Open() end
end)
local keys = {
    { VK_DOWN, function() Move(1) end },
    { VK_UP, function() Move(-1) end },
    { VK_LEFT, function() gui.Left(volume) end },
    { VK_RIGHT, function() gui.Right(volume) end },
    { VK_RETURN, PressHovered },
}
for _, key in ipairs(keys) do
    input:ListenKeyboardPressed(key[1], function()
        if demo.paused then key[2]() end
    end)
end
input:ListenControllerButtonPressed(0, XBOX_A, function()
    if demo.paused then PressHovered() end
end)
-- Other scripts drive the menu as the keys do.
demo.menu = { Open = Open, Close = Close, Move = Move, Press = PressHovered }
qMain.Print("P opens the pause menu")
