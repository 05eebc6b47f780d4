#pragma once

#include "platform/window/Window.h"

namespace Quarn::platform
{

// A window with no desktop behind it, for headless runs and tests: it only takes the messages that are
// sent or posted to it.
class HeadlessWindow final : public Window
{
public:
    explicit HeadlessWindow(const WindowDesc& desc) : Window(desc) {}

private:
    void ShowNative() override {}
    void DestroyNative() override {}
};

} // namespace Quarn::platform
