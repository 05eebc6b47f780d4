#include "platform/fonts/FontFile.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string_view>

namespace Quarn::platform::fonts
{

namespace
{

constexpr const char* kStandIn = "DejaVu Sans";

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) {
                                                  return std::tolower(static_cast<unsigned char>(x)) ==
                                                         std::tolower(static_cast<unsigned char>(y));
                                              });
}

FontFile Match(const std::string& family, std::uint32_t weight, bool italic, std::string& matchedFamily)
{
    const std::unique_ptr<FcPattern, void (*)(FcPattern*)> pattern(FcPatternCreate(), FcPatternDestroy);
    FcPatternAddString(pattern.get(), FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(family.empty() ? "sans-serif" : family.c_str()));
    if (weight != 0)
        FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(static_cast<int>(weight)));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const std::unique_ptr<FcPattern, void (*)(FcPattern*)> match(FcFontMatch(nullptr, pattern.get(), &result),
                                                                 FcPatternDestroy);
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
        return {};
    FontFile found{reinterpret_cast<const char*>(file), 0};
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &found.index);
    FcChar8* name = nullptr;
    if (FcPatternGetString(match.get(), FC_FAMILY, 0, &name) == FcResultMatch)
        matchedFamily = reinterpret_cast<const char*>(name);
    return found;
}

} // namespace

FontFile FindFontFile(const std::string& family, std::uint32_t weight, bool italic)
{
    if (!FcInit())
        return {};
    std::string matched;
    if (IsMarlett(family))
        return Match(kStandIn, weight, italic, matched);
    const FontFile found = Match(family, weight, italic, matched);
    if (SameName(family, "akashi") && !SameName(matched, family))
        return Match(kStandIn, weight, italic, matched);
    return found;
}

bool IsMarlett(const std::string& family)
{
    return SameName(family, "Marlett");
}

char32_t MarlettSymbol(char32_t character)
{
    switch (character)
    {
    case U'3':
        return U'\u25C0';
    case U'4':
        return U'\u25B6';
    case U'5':
        return U'\u25B2';
    case U'6':
        return U'\u25BC';
    case U'a':
        return U'\u2713';
    case U'r':
        return U'\u2715';
    default:
        return character;
    }
}

} // namespace Quarn::platform::fonts
