#include "platform/fonts/FontFile.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace Quarn::platform::fonts
{

FontFile FindFontFile(const std::string& family, std::uint32_t weight, bool italic)
{
    if (!FcInit())
        return {};
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
    return found;
}

} // namespace Quarn::platform::fonts
