#include "platform/window/WindowMessage.h"

namespace Quarn::platform
{

WindowMessage WindowMessage::Plain(WindowMessageId id)
{
    WindowMessage message;
    message.id = id;
    return message;
}

WindowMessage WindowMessage::Sized(WindowMessageId id, std::uint32_t width, std::uint32_t height,
                                   SizeKind kind)
{
    WindowMessage message = Plain(id);
    message.width = width;
    message.height = height;
    message.sizeKind = kind;
    return message;
}

WindowMessage WindowMessage::Activation(bool active, bool minimized)
{
    WindowMessage message = Plain(WindowMessageId::Activate);
    message.active = active;
    message.minimized = minimized;
    return message;
}

WindowMessage WindowMessage::Key(WindowMessageId id, std::uint8_t virtualKey, std::uint8_t scanCode,
                                 bool repeat, bool altDown)
{
    WindowMessage message = Plain(id);
    message.virtualKey = virtualKey;
    message.scanCode = scanCode;
    message.repeat = repeat;
    message.altDown = altDown;
    return message;
}

WindowMessage WindowMessage::Char(char32_t character)
{
    WindowMessage message = Plain(WindowMessageId::Character);
    message.character = character;
    return message;
}

WindowMessage WindowMessage::Mouse(WindowMessageId id, std::int32_t x, std::int32_t y)
{
    WindowMessage message = Plain(id);
    message.x = x;
    message.y = y;
    return message;
}

WindowMessage WindowMessage::Wheel(std::int32_t delta)
{
    WindowMessage message = Plain(WindowMessageId::MouseWheel);
    message.wheelDelta = delta;
    return message;
}

WindowMessage WindowMessage::Drop(std::shared_ptr<const DroppedFiles> files)
{
    WindowMessage message = Plain(WindowMessageId::DropFiles);
    message.files = std::move(files);
    return message;
}

} // namespace Quarn::platform
