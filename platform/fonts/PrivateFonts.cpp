#include "platform/fonts/PrivateFonts.h"

#include <fontconfig/fontconfig.h>

namespace Quarn::platform::fonts
{

bool AddPrivateFont(const std::string& path)
{
    if (!FcInit())
        return false;
    return FcConfigAppFontAddFile(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(path.c_str())) ==
           FcTrue;
}

} // namespace Quarn::platform::fonts
