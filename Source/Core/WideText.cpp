#include "Core/WideText.h"

#include "platform/window/SdlEventTranslator.h"

namespace Quarn
{

std::wstring WideFromUtf8(const char* text, std::size_t maxChars)
{
    std::wstring wide;
    if (!text)
        return wide;
    for (char32_t codePoint : platform::DecodeUtf8(text))
    {
        if (wide.size() == maxChars)
            break;
        wide.push_back(static_cast<wchar_t>(codePoint));
    }
    return wide;
}

std::string Utf8FromWide(const std::wstring& text, std::size_t maxBytes)
{
    std::string utf8;
    for (wchar_t character : text)
    {
        const auto value = static_cast<char32_t>(character);
        char bytes[4];
        std::size_t length = 0;
        if (value < 0x80)
        {
            bytes[length++] = static_cast<char>(value);
        }
        else if (value < 0x800)
        {
            bytes[length++] = static_cast<char>(0xC0 | (value >> 6));
            bytes[length++] = static_cast<char>(0x80 | (value & 0x3F));
        }
        else if (value < 0x10000)
        {
            if (value >= 0xD800 && value <= 0xDFFF)
                continue;
            bytes[length++] = static_cast<char>(0xE0 | (value >> 12));
            bytes[length++] = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            bytes[length++] = static_cast<char>(0x80 | (value & 0x3F));
        }
        else if (value <= 0x10FFFF)
        {
            bytes[length++] = static_cast<char>(0xF0 | (value >> 18));
            bytes[length++] = static_cast<char>(0x80 | ((value >> 12) & 0x3F));
            bytes[length++] = static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            bytes[length++] = static_cast<char>(0x80 | (value & 0x3F));
        }
        else
        {
            continue;
        }
        if (utf8.size() + length > maxBytes)
            break;
        utf8.append(bytes, length);
    }
    return utf8;
}

} // namespace Quarn
