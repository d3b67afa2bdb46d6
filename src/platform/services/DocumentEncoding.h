// Which encoding the bytes of a fetched document are in, and the decoding every back end
// follows around its own converter, which only turns bytes of a known encoding into UTF-8.
// Plain C++.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class EncodingFamily { Utf8, Utf16Le, Utf16Be, Windows1252, Other };

struct DocumentEncoding {
  EncodingFamily family = EncodingFamily::Windows1252;
  std::string label;        // for Other: the label the system's converter knows
  std::size_t bomSize = 0;  // bytes of a byte-order mark to skip
  bool validUtf8 = false;   // the bytes are valid UTF-8 and are the text as they stand
};

// Whether the system's converter knows an encoding label (lower case, trimmed) that is none of
// the families above.
using KnowsEncoding = std::function<bool(const std::string& label)>;

// The system's converter: the bytes of a document in encoding (Utf8 with invalid sequences,
// Utf16Le, Utf16Be or Other), without byte-order mark, as UTF-8; invalid sequences become
// U+FFFD.
using ConvertToUtf8 =
    std::function<std::string(std::string_view body, const DocumentEncoding& encoding)>;

// The bytes of a document as UTF-8 text, in the encoding ChooseDocumentEncoding picks: valid
// UTF-8 is handed back as it stands (without its byte-order mark), Windows-1252 is decoded
// here, and every other encoding by convert.
std::string DecodeWith(std::string bytes, std::string_view contentType, const KnowsEncoding& knows,
                       const ConvertToUtf8& convert);

// A byte-order mark, else the charset named by the Content-Type header (may be empty), else
// the encoding of the XML declaration (not UTF-16: a declaration readable as ASCII cannot be
// in it), else UTF-8 when the bytes are valid UTF-8, else Windows-1252. Latin-1 and ASCII
// labels are read as Windows-1252: documents so labelled routinely hold its quotation marks
// and dashes in 0x80-0x9F, and C1 controls are never what a feed meant.
DocumentEncoding ChooseDocumentEncoding(std::string_view bytes, std::string_view contentType,
                                        const KnowsEncoding& knows);

// The charset parameter of a Content-Type value such as `text/xml; charset="utf-8"`; "" when
// there is none.
std::string CharsetOfContentType(std::string_view contentType);

// The encoding named by an XML declaration at the start of the bytes (after an optional UTF-8
// byte-order mark and white space); "" when there is none.
std::string EncodingOfXmlDeclaration(std::string_view bytes);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Windows-1252 to UTF-8, every byte one character; its five unassigned bytes map to the C1
// controls, as browsers do. Decoded here rather than by the system's converters so that the
// last resort works the same everywhere.
std::string Windows1252ToUtf8(std::string_view bytes);

}  // namespace platform
