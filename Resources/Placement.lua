-- The star backdrop, a camera, a turret riding on a ship, and a seeker steering towards a point; logs
-- where they are (the seeker gains velocity only; moving it is the physics step's work).
local function Place(object, name)
    local p = object.transform:GetPosition3D()
    qMain.Print(string.format("%s at (%g, %g, %g) angle %.2f", name, p:X(), p:Y(), p:Z(),
        object.transform:GetAngle()))
end

goManager:CreateGameObject("DemoBackdrop")
local camera = goManager:CreateGameObject("DemoCamera")
camera.camera:SetAsMainView()
local ship = goManager:CreateGameObject("DemoShip")
local turret = goManager:CreateGameObject("DemoTurret")
turret.mountable:Mount(ship)
-- A warm light rides on the turret's ship.
ship:AddPointLight()
ship.pointLight:SetDiffuse(RGBA(70, 35, 0, 255))
ship.pointLight:SetRadius(40)
local seeker = goManager:CreateGameObject("DemoSeeker")
seeker.movement:Seek(Vector2(0, 100))

local list = actionLists:CreateActionList()
local frames = 0
list:PushBack(function(l, time, dt)
    frames = frames + 1
    if frames == 1 then
        ship.transform:SetPosition3D(Vector3(5, 5, 0))
    elseif frames == 10 then
        Place(camera, "Camera")
        Place(turret, "Turret")
        Place(seeker, "Seeker")
        l:StepForward()
    end
end)
