#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace Quarn
{

// The text with its ASCII letters in lower case, as names that are matched without case are kept.
inline std::string LowerCase(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

} // namespace Quarn
