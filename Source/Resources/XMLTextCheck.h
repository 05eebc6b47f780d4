#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class TiXmlDocument;

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

// Zero bytes the library may read past the end of a document it takes apart; a reader that reserves
// them with the text saves a copy when ParseCheckedXML appends them.
inline constexpr std::size_t kXMLParsePadding = 16;

// Has the library parse a document the way every reader of XML files does: only once CheckXMLText
// accepts it, with line ends read as "\n" (whether the file has "\r\n", "\r" or "\n") and string white
// space kept. Returns the check's refusal, with the document untouched; or an empty string, after which
// the library's own parse error, if any, is on the document.
std::string ParseCheckedXML(std::string text, TiXmlDocument& document);

} // namespace Quarn
