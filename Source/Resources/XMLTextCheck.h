#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Quarn
{

// Elements nest at most this deep in a document the XML reader accepts: deeper than anything the
// engine writes (a saved table takes three levels for each of its up to 200 nested tables).
inline constexpr std::size_t kMaxXMLDepth = 1024;

// Checks a document before the XML library sees it: the library recurses once per nesting level and
// trusts the lengths that UTF-8 lead bytes announce, so deep or malformed input could overflow its stack
// or make it read past the text. Accepted are valid UTF-8 without NUL bytes, elements nested at most
// kMaxXMLDepth deep, attribute values in quotes, well-formed character and entity references, and
// comments, CDATA sections, processing instructions and declarations that end. Returns an empty string
// for an accepted document, else why it is refused (with the line), for a report.
std::string CheckXMLText(std::string_view text);

} // namespace Quarn
