// RSS item extraction by substring search: every "<item>" becomes one item, after an empty
// element 0.
#pragma once

#include <string>
#include <string_view>

#include "feed/NewsItem.h"

// Replaces arrItems with element 0 (empty) and one item per "<item>" of the document. Fails only
// when memory runs out (std::bad_alloc), and then leaves arrItems as it was.
void ParseRss(std::string_view document, ItemList& arrItems);

// The content of the first CDATA section when the text contains "[CDATA", else the text.
std::string StripCData(std::string_view text);

// "&amp;amp;" and then "&amp;" become "&" (letter case ignored), each in one pass.
std::string DecodeAmpersands(std::string_view text);

// A title's text as its caption shows it, decoded in one pass: at each "&", "&amp;amp;" or
// "&amp;" (letter case ignored) becomes "&", and the references DecodeXmlEscapes decodes become
// their characters, a control character a blank; what a reference gives is never read again,
// so "&amp;lt;" shows as "&lt;". Anything else stays as written.
std::string DecodeTitleReferences(std::string_view text);

// "&lt;", "&gt;", "&quot;", "&apos;" and numeric character references of valid code points
// become their characters, once; with decodeAmp also "&amp;". Anything else stays as written.
std::string DecodeXmlEscapes(std::string_view text, bool decodeAmp);
