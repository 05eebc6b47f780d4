-- Runs once when loaded; the returned function runs for every new DemoShip.
return function(ship)
    qMain.Print("DemoShip script ran for object " .. ship:GetRawID())
end
