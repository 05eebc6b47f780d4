#pragma once

#include <string>

namespace Quarn::platform::fonts
{

// Makes the font file usable by family name for this process only, beside the system's fonts; false
// when fontconfig cannot read it.
bool AddPrivateFont(const std::string& path);

} // namespace Quarn::platform::fonts
