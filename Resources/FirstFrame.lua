-- Runs in the first frame after every start and every restart.
demo = { firstFrameAt = appTime }
goManager:CreateGameObject("DemoShip")
goManager:CreateGameObject("DemoShip")
qMain.Print("FirstFrame made two ships")
