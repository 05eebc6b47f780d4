-- Two asteroids drift into each other, log the meeting and score it; a pod hangs on a tether from a post.
local score = goManager:CreateGameObject("DemoScore")
score.transform:SetPosition3D(Vector3(0, 180, 0))

local function Drift(x, y, vx)
    local asteroid = goManager:CreateGameObject("DemoAsteroid")
    asteroid.transform:SetPosition3D(Vector3(x, y, 0))
    asteroid.physicsObject:SetVelocity(Vector3(vx, 0, 0))
    return asteroid
end

local first = Drift(-160, 100, 20)
local second = Drift(-143, 100, -20)
local logged = false
messages:RegisterGOListener(first, "OnCollision", function(self, other, contact, normal, depth)
    if not logged then
        logged = true
        self.soundEmitter:Emit()
        score.text:SetText("Score 100")
        qMain.Print(string.format("Asteroids collided, normal (%g, %g)", normal:X(), normal:Y()))
    end
end)

local post = goManager:CreateGameObject("DemoPost")
post.transform:SetPosition3D(Vector3(200, 0, 0))
local pod = goManager:CreateGameObject("DemoPod")
pod.transform:SetPosition3D(Vector3(200, -20, 0))
pod.distanceJoint:Init(post.physicsObject, pod.physicsObject)
pod.distanceJoint:Attach(Vector3(0, 0, 0), Vector3(0, 0, 0), 15)
qMain.Print("Pod tethered to a post at rest length 15")
