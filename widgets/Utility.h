#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Gui::Utility
{

// Narrow strings are UTF-8 and wide strings hold one character per element; the conversions decode and
// encode UTF-8 (a byte that starts no valid sequence becomes U+FFFD).
std::wstring StringToUnicode(std::string_view narrow);
std::string UnicodeToString(std::wstring_view wide);
void AssignFromString(std::wstring& wide, std::string_view narrow);
// Encodes into narrow, reusing its storage.
void AssignFromUnicode(std::string& narrow, std::wstring_view wide);

// printf-style formatting; the result is cut at 4095 characters.
std::wstring Format(const wchar_t* format, ...);

// Appends the pieces between separators (and the one after the last, possibly empty); with
// keepSeparators every piece after the first starts with the separator before it.
void Split(std::string_view text, std::string_view separator, std::vector<std::string>& pieces,
           bool keepSeparators = false);
void Split(std::wstring_view text, std::wstring_view separator, std::vector<std::wstring>& pieces,
           bool keepSeparators = false);

namespace Strings::To
{
// 0 for the empty text, else the leading decimal number.
int Int(const std::string& text);
float Float(const std::string& text);
// False for the empty text; by the first character: T t y Y true, F f n N and 0 false, anything else true.
bool Bool(const std::string& text);
// Exactly count numbers separated by single blanks into out; otherwise false and out is left alone.
bool Floats(const std::string& text, float* out, int count);
} // namespace Strings::To

} // namespace Gui::Utility
