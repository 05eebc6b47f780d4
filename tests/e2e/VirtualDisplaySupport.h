#pragma once

#include "e2e/ChildProcessSupport.h"

#include <memory>
#include <string>

namespace Quarn::test
{

// An X server of its own (Xvfb) on a display number no other server uses, for the lifetime of the object.
class VirtualDisplay
{
public:
    explicit VirtualDisplay(const std::filesystem::path& logFile);

    // ":N", or empty when the server did not come up.
    const std::string& Name() const { return m_name; }
    // Asks a top-level window to close as a window manager's close button does (WM_DELETE_WINDOW).
    bool CloseWindow(unsigned long window) const;

private:
    std::unique_ptr<ChildProcess> m_server;
    std::string m_name;
};

} // namespace Quarn::test
