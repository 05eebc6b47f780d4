#pragma once

#include <cstddef>
#include <string>

namespace Quarn
{

// Narrow text is UTF-8 everywhere; wide text (32-bit wchar_t) holds code points. Both directions are
// explicit and independent of the C locale.

// Decodes UTF-8 into at most maxChars code points; malformed bytes are skipped. Null reads as empty.
std::wstring WideFromUtf8(const char* text, std::size_t maxChars);

// Encodes into at most maxBytes bytes of UTF-8, never splitting a character; values that are not
// code points (surrogates, beyond U+10FFFF) are skipped.
std::string Utf8FromWide(const std::wstring& text, std::size_t maxBytes);

} // namespace Quarn
