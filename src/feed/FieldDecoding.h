// Allocation-free forms of the field clean-ups for the parsers' inner loop: views into the
// field's text, or output appended to a buffer the caller reuses. The public functions in
// feed/ParseRss.h are built on these.
#pragma once

#include <string>
#include <string_view>

namespace feed {

// True when the text contains "[CDATA" (case ignored), the sign of a CDATA section.
bool HasCDataMarker(std::string_view text);

// StripCData as a view into text.
std::string_view StripCDataView(std::string_view text);

// Appends text with every lowerNeedle (case ignored) replaced by "&", in one pass.
void AppendReplacedWithAmpersand(std::string& out, std::string_view text,
                                 std::string_view lowerNeedle);

// Appends DecodeTitleReferences(text).
void AppendTitleReferencesDecoded(std::string& out, std::string_view text);

// Appends DecodeXmlEscapes(text, decodeAmp).
void AppendXmlEscapesDecoded(std::string& out, std::string_view text, bool decodeAmp);

}  // namespace feed
