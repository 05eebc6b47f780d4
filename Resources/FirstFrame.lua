-- Runs in the first frame after every start and every restart.
demo = { firstFrameAt = appTime }
