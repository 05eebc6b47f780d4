#pragma once

#include <cstdint>
#include <string>

namespace Quarn::platform::fonts
{

// The file of the font that fontconfig matches to a family name (the process's private fonts and the
// system's), a weight (0 for normal, else 100 to 900 as fonts number them) and a slant. An empty family
// asks for the default sans-serif face. Empty when fontconfig finds nothing.
struct FontFile
{
    std::string path;
    int index = 0;
};
// Two names have stand-ins when the machine lacks them: "akashi" is DejaVu Sans unless a font of that
// name is there, and "Marlett" is always DejaVu Sans with its symbol characters moved (MarlettSymbol).
FontFile FindFontFile(const std::string& family, std::uint32_t weight, bool italic);

// Whether the family is "Marlett" (in any case).
bool IsMarlett(const std::string& family);
// The character that shows Marlett's symbol in the stand-in: 3 U+25C0, 4 U+25B6, 5 U+25B2, 6 U+25BC,
// a U+2713, r U+2715; any other character stays.
char32_t MarlettSymbol(char32_t character);

} // namespace Quarn::platform::fonts
