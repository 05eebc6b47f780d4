-- Runs in the frame after FirstFrame.
demo.luaInitAt = appTime
