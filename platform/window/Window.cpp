#include "platform/window/Window.h"

#include "platform/core/Headless.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/SdlWindow.h"
#include "platform/window/VirtualKeys.h"

namespace Quarn::platform
{

WindowResult DefaultWindowProcedure(WindowHandle window, const WindowMessage& message)
{
    switch (message.id)
    {
    case WindowMessageId::Close:
        window->Destroy();
        break;
    case WindowMessageId::SysKeyDown:
        if (message.virtualKey == vk::F4 && message.altDown)
            window->Send(WindowMessage::Plain(WindowMessageId::Close));
        break;
    default:
        break;
    }
    return 0;
}

PixelSize DesktopSize()
{
    if (IsHeadless())
        return kFallbackDesktopSize;
    return SdlWindow::DesktopSize().value_or(kFallbackDesktopSize);
}

std::unique_ptr<Window> Window::Create(const WindowDesc& desc, std::string& error)
{
    std::unique_ptr<Window> window;
    if (IsHeadless())
        window = std::make_unique<HeadlessWindow>(desc);
    else
        window = SdlWindow::Open(desc, error);
    if (!window)
        return nullptr;
    window->Send(WindowMessage::Sized(WindowMessageId::Create, window->m_width, window->m_height));
    window->Send(WindowMessage::Sized(WindowMessageId::Size, window->m_width, window->m_height));
    return window;
}

Window::Window(const WindowDesc& desc)
    : m_procedure(desc.procedure ? desc.procedure : DefaultWindowProcedure), m_title(desc.title),
      m_width(desc.width), m_height(desc.height)
{
}

Window::~Window()
{
    MessageQueue::Get().Forget(this);
}

WindowResult Window::Send(const WindowMessage& message)
{
    if (m_destroyed)
        return 0;
    return m_procedure(this, message);
}

void Window::Post(const WindowMessage& message)
{
    if (!m_destroyed)
        MessageQueue::Get().Post(this, message);
}

void Window::Show()
{
    if (m_destroyed)
        return;
    ShowNative();
    Send(WindowMessage::Activation(true, false));
    Send(WindowMessage::Sized(WindowMessageId::Size, m_width, m_height));
}

void Window::Destroy()
{
    if (m_destroyed)
        return;
    Send(WindowMessage::Plain(WindowMessageId::Destroy));
    m_destroyed = true;
    MessageQueue::Get().Forget(this);
    DestroyNative();
}

void Window::SetMode(const WindowMode& mode)
{
    if (m_destroyed)
        return;
    SetModeNative(mode);
    m_fullScreen = mode.fullScreen;
    SetClientSize(mode.width, mode.height);
}

void Window::SetClientSize(std::uint32_t width, std::uint32_t height)
{
    m_width = width;
    m_height = height;
}

} // namespace Quarn::platform
