#pragma once

namespace Quarn
{

class MessageManager;
class ViewProjection;

namespace platform::gfx
{
class Device;
}

// The debug-draw store: collects line segments sent by messages during a frame for the group "lines".
// Main makes the one store before the systems and destroys it after them; the Graphics and Physics
// systems find it through Current(). Its messages and line models come with the debug-line layer.
class DebugLineManager
{
public:
    DebugLineManager();
    ~DebugLineManager();
    DebugLineManager(const DebugLineManager&) = delete;
    DebugLineManager& operator=(const DebugLineManager&) = delete;

    // The store Main made; null outside its life.
    static DebugLineManager* Current();

    void Init(MessageManager& messages);
    void SetViewProjection(const ViewProjection* viewProjection) { m_viewProjection = viewProjection; }
    const ViewProjection* GetViewProjection() const { return m_viewProjection; }
    // Sends the frame's lines to the device buffers of the group "lines".
    void Upload(platform::gfx::Device* device);

private:
    const ViewProjection* m_viewProjection = nullptr;
};

} // namespace Quarn
