#include "widgets/Utility.h"

#include <cstdarg>
#include <cstdlib>
#include <cwchar>

namespace Gui::Utility
{

std::wstring StringToUnicode(std::string_view narrow)
{
    std::wstring wide;
    wide.reserve(narrow.size());
    for (std::size_t at = 0; at < narrow.size();)
    {
        const auto lead = static_cast<unsigned char>(narrow[at]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        char32_t character = length == 1   ? lead
                             : length == 2 ? lead & 0x1F
                             : length == 3 ? lead & 0x0F
                                           : lead & 0x07;
        bool valid = length != 0 && at + length <= narrow.size();
        for (std::size_t i = 1; valid && i < length; ++i)
        {
            const auto next = static_cast<unsigned char>(narrow[at + i]);
            valid = (next & 0xC0) == 0x80;
            character = character << 6 | (next & 0x3F);
        }
        // Over-long forms, surrogates and values past U+10FFFF are not characters.
        valid = valid && !(length == 2 && character < 0x80) && !(length == 3 && character < 0x800) &&
                !(length == 4 && character < 0x10000) && !(character >= 0xD800 && character <= 0xDFFF) &&
                character <= 0x10FFFF;
        wide.push_back(valid ? static_cast<wchar_t>(character) : L'\xFFFD');
        at += valid ? length : 1;
    }
    return wide;
}

std::string UnicodeToString(std::wstring_view wide)
{
    std::string narrow;
    AssignFromUnicode(narrow, wide);
    return narrow;
}

void AssignFromUnicode(std::string& narrow, std::wstring_view wide)
{
    narrow.clear();
    narrow.reserve(wide.size());
    for (const wchar_t w : wide)
    {
        auto c = static_cast<char32_t>(w);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80)
            narrow.push_back(static_cast<char>(c));
        else if (c < 0x800)
        {
            narrow.push_back(static_cast<char>(0xC0 | c >> 6));
            narrow.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
        else if (c < 0x10000)
        {
            narrow.push_back(static_cast<char>(0xE0 | c >> 12));
            narrow.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            narrow.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
        else
        {
            narrow.push_back(static_cast<char>(0xF0 | c >> 18));
            narrow.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
            narrow.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            narrow.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
}

void AssignFromString(std::wstring& wide, std::string_view narrow)
{
    wide = StringToUnicode(narrow);
}

std::wstring Format(const wchar_t* format, ...)
{
    wchar_t buffer[4096];
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vswprintf(buffer, std::size(buffer), format, arguments);
    va_end(arguments);
    // A result that does not fit is cut, never overrun.
    if (written < 0)
        buffer[std::size(buffer) - 1] = L'\0';
    return buffer;
}

namespace
{

template <class Char>
void SplitInto(std::basic_string_view<Char> text, std::basic_string_view<Char> separator,
               std::vector<std::basic_string<Char>>& pieces, bool keepSeparators)
{
    if (separator.empty())
    {
        pieces.emplace_back(text);
        return;
    }
    std::size_t start = 0;
    std::size_t pieceStart = 0;
    for (std::size_t found = text.find(separator); found != std::basic_string_view<Char>::npos;
         found = text.find(separator, start))
    {
        pieces.emplace_back(text.substr(pieceStart, found - pieceStart));
        start = found + separator.size();
        pieceStart = keepSeparators ? found : start;
    }
    pieces.emplace_back(text.substr(pieceStart));
}

} // namespace

void Split(std::string_view text, std::string_view separator, std::vector<std::string>& pieces,
           bool keepSeparators)
{
    SplitInto(text, separator, pieces, keepSeparators);
}

void Split(std::wstring_view text, std::wstring_view separator, std::vector<std::wstring>& pieces,
           bool keepSeparators)
{
    SplitInto(text, separator, pieces, keepSeparators);
}

namespace Strings::To
{

int Int(const std::string& text)
{
    return text.empty() ? 0 : std::atoi(text.c_str());
}

float Float(const std::string& text)
{
    return text.empty() ? 0.0f : static_cast<float>(std::atof(text.c_str()));
}

bool Bool(const std::string& text)
{
    if (text.empty())
        return false;
    switch (text[0])
    {
    case 'T':
    case 't':
    case 'y':
    case 'Y':
        return true;
    case 'F':
    case 'f':
    case 'n':
    case 'N':
    case '0':
        return false;
    default:
        return true;
    }
}

bool Floats(const std::string& text, float* out, int count)
{
    std::vector<std::string> pieces;
    Split(text, " ", pieces);
    if (static_cast<int>(pieces.size()) != count)
        return false;
    for (int i = 0; i < count; ++i)
        out[i] = Float(pieces[static_cast<std::size_t>(i)]);
    return true;
}

} // namespace Strings::To

} // namespace Gui::Utility
