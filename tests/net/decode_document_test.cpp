// The decoding of response bytes: which rule picks the encoding, and what becomes of bytes
// that do not fit it.
#include <gtest/gtest.h>

#include <string>

#include "platform/services/Inet.h"

using platform::DecodeDocument;

namespace {

struct DecodeCase {
  const char* what;
  std::string bytes;
  std::string contentType;
  std::string expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.what; }

std::string Bytes(const char* data, std::size_t size) { return std::string(data, size); }

const std::string kEAcute = "\xC3\xA9";
const std::string kReplacement = "\xEF\xBF\xBD";

class DecodeDocumentTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeDocumentTest, Decodes) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(DecodeDocument(c.bytes, c.contentType), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    HeaderCharset, DecodeDocumentTest,
    testing::Values(
        DecodeCase{"plain charset", "caf\xE9", "text/xml; charset=ISO-8859-1", "caf" + kEAcute},
        DecodeCase{"quoted", "caf\xE9", "text/xml; charset=\"iso-8859-1\"", "caf" + kEAcute},
        DecodeCase{"quoted with an escape", "caf\xE9", "text/xml; charset=\"iso\\-8859-1\"",
                   "caf" + kEAcute},
        DecodeCase{"after another parameter, odd spacing and case", "caf\xE9",
                   "text/xml;format=flowed ;  CharSet = Latin1 ", "caf" + kEAcute},
        DecodeCase{"semicolon inside a quoted parameter before it", "caf\xE9",
                   "text/xml; title=\"a;charset=utf-8\"; charset=latin1", "caf" + kEAcute},
        DecodeCase{"header wins over the XML declaration",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\xE9",
                   "text/xml; charset=windows-1252",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + kEAcute},
        // Latin-1 labels are read as Windows-1252 (curly quotes in 0x80-0x9F).
        DecodeCase{"Latin-1 label, Windows-1252 quotes", "\x93hi\x94",
                   "text/plain; charset=iso-8859-1", "\xE2\x80\x9Chi\xE2\x80\x9D"},
        DecodeCase{"ASCII label with high bytes", "\xE9", "text/plain; charset=us-ascii", kEAcute},
        DecodeCase{"ISO-8859-15 (euro at 0xA4)", "\xA4", "text/plain; charset=ISO-8859-15",
                   "\xE2\x82\xAC"},
        DecodeCase{"ISO-8859-5 Cyrillic", "\xBF\xE0\xD8", "text/plain; charset=iso-8859-5",
                   "\xD0\x9F\xD1\x80\xD0\xB8"},
        DecodeCase{"Shift_JIS", "\x93\xFA\x96\x7B", "text/plain; charset=Shift_JIS",
                   "\xE6\x97\xA5\xE6\x9C\xAC"},
        DecodeCase{"UTF-8 label, invalid byte replaced, not dropped",
                   "a\xFF"
                   "b",
                   "text/xml; charset=utf-8", "a" + kReplacement + "b"},
        DecodeCase{"UTF-16LE label without a byte-order mark", Bytes("h\0i\0", 4),
                   "text/plain; charset=utf-16le", "hi"},
        DecodeCase{"UTF-16BE label", Bytes("\0h\0i", 4), "text/plain; charset=UTF-16BE", "hi"},
        DecodeCase{"UTF-16 label, odd byte count", Bytes("h\0i", 3), "text/plain; charset=utf-16le",
                   "h" + kReplacement},
        DecodeCase{"unknown name falls back to the declaration",
                   "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\xE9",
                   "text/xml; charset=no-such-charset",
                   "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + kEAcute},
        DecodeCase{"empty charset falls back", "caf\xC3\xA9",
                   "text/xml; charset=", "caf" + kEAcute},
        DecodeCase{"charset of a different parameter name ignored", "\xE9",
                   "text/xml; xcharset=utf-8", kEAcute}));

INSTANTIATE_TEST_SUITE_P(
    XmlDeclaration, DecodeDocumentTest,
    testing::Values(
        DecodeCase{"double quotes", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>",
                   "", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>" + kEAcute + "</a>"},
        DecodeCase{"single quotes and spaces",
                   "<?xml version='1.0' encoding = 'windows-1252' ?>\x80", "text/xml",
                   "<?xml version='1.0' encoding = 'windows-1252' ?>\xE2\x82\xAC"},
        DecodeCase{"after leading white space",
                   "\n <?xml version=\"1.0\" encoding=\"latin1\"?>\xE9", "",
                   "\n <?xml version=\"1.0\" encoding=\"latin1\"?>" + kEAcute},
        // Not a declaration: only one at the start of the document counts.
        DecodeCase{"encoding later in the document", "<a>\xC3\xA9</a><?xml encoding=\"latin1\"?>",
                   "", "<a>" + kEAcute + "</a><?xml encoding=\"latin1\"?>"},
        DecodeCase{"encoding attribute outside the declaration",
                   "<?xml version=\"1.0\"?><a encoding=\"latin1\">\xC3\xA9</a>", "",
                   "<?xml version=\"1.0\"?><a encoding=\"latin1\">" + kEAcute + "</a>"},
        DecodeCase{"UTF-16 claimed by an ASCII declaration",
                   "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\xC3\xA9</a>", "",
                   "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>" + kEAcute + "</a>"},
        DecodeCase{"unterminated declaration", "<?xml version=\"1.0\" encoding=\"latin1", "",
                   "<?xml version=\"1.0\" encoding=\"latin1"},
        DecodeCase{"unknown encoding falls back to UTF-8 sniffing",
                   "<?xml version=\"1.0\" encoding=\"bogus\"?>\xC3\xA9", "",
                   "<?xml version=\"1.0\" encoding=\"bogus\"?>" + kEAcute}));

INSTANTIATE_TEST_SUITE_P(
    ByteOrderMark, DecodeDocumentTest,
    testing::Values(
        DecodeCase{"UTF-8 mark removed", "\xEF\xBB\xBF<a>\xC3\xA9</a>", "",
                   "<a>" + kEAcute + "</a>"},
        DecodeCase{"only a mark", "\xEF\xBB\xBF", "", ""},
        DecodeCase{"UTF-16LE", Bytes("\xFF\xFE<\0a\0>\0\xE9\0", 10), "", "<a>" + kEAcute},
        DecodeCase{"UTF-16BE", Bytes("\xFE\xFF\0<\0a\0>\0\xE9", 10), "", "<a>" + kEAcute},
        DecodeCase{"UTF-16LE surrogate pair", Bytes("\xFF\xFE\x3D\xD8\x00\xDE", 6), "",
                   "\xF0\x9F\x98\x80"},
        DecodeCase{"UTF-16LE lone surrogate",
                   Bytes("\xFF\xFE\x3D\xD8"
                         "a\0",
                         6),
                   "", kReplacement + "a"},
        // A mark is unambiguous; a server's default charset that contradicts it loses.
        DecodeCase{"UTF-8 mark against a Latin-1 header", "\xEF\xBB\xBF\xC3\xA9",
                   "text/xml; charset=ISO-8859-1", kEAcute},
        DecodeCase{"UTF-8 mark against a Latin-1 declaration",
                   "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\xC3\xA9", "",
                   "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + kEAcute},
        DecodeCase{"UTF-16 mark against a UTF-8 header", Bytes("\xFF\xFEh\0i\0", 6),
                   "text/xml; charset=utf-8", "hi"}));

INSTANTIATE_TEST_SUITE_P(
    Sniffing, DecodeDocumentTest,
    testing::Values(
        DecodeCase{"empty", "", "", ""}, DecodeCase{"ASCII", "plain text", "", "plain text"},
        DecodeCase{"valid UTF-8, CJK and Cyrillic", "\xE6\x97\xA5\xD0\x9F", "",
                   "\xE6\x97\xA5\xD0\x9F"},
        DecodeCase{"NUL bytes kept", Bytes("a\0b", 3), "", Bytes("a\0b", 3)},
        DecodeCase{"invalid UTF-8 read as Windows-1252", "caf\xE9 \x80", "",
                   "caf" + kEAcute + " \xE2\x82\xAC"},
        DecodeCase{"Windows-1252 unassigned byte kept as a control", "\x81", "", "\xC2\x81"},
        // Each of these makes the whole document not UTF-8.
        DecodeCase{"truncated sequence at the end", "ok\xC3", "", "ok\xC3\x83"},
        DecodeCase{"overlong form", "\xC0\xAF", "", "\xC3\x80\xC2\xAF"},
        DecodeCase{"encoded surrogate", "\xED\xA0\x80", "", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        DecodeCase{"above U+10FFFF", "\xF4\x90\x80\x80", "",
                   "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
        DecodeCase{"largest code point is valid", "\xF4\x8F\xBF\xBF", "", "\xF4\x8F\xBF\xBF"},
        DecodeCase{"header without charset", "\xC3\xA9", "text/xml", kEAcute}));

// A headline of each script in its legacy encodings, decoded by the system's converter.
INSTANTIATE_TEST_SUITE_P(
    Scripts, DecodeDocumentTest,
    testing::Values(
        // Persian letters (gaf, pe, zhe) that only Windows-1256 has
        DecodeCase{"Windows-1256", "\x81\x8E\xE6\xE5\xD4\x90\xD1", "text/xml; charset=windows-1256",
                   "\xD9\xBE\xDA\x98\xD9\x88\xD9\x87\xD8\xB4\xDA\xAF\xD8\xB1"},
        DecodeCase{"ISO-8859-6", "\xC7\xE4\xC3\xCE\xC8\xC7\xD1", "text/xml; charset=ISO-8859-6",
                   "\xD8\xA7\xD9\x84\xD8\xA3\xD8\xAE\xD8\xA8\xD8\xA7\xD8\xB1"},
        // vowel points and the sheqel sign, which ISO-8859-8 lacks
        DecodeCase{"Windows-1255", "\xF9\xC8\xD1\xEC\xE5\xC9\xED \xA4",
                   "text/xml; charset=windows-1255",
                   "\xD7\xA9\xD6\xB8\xD7\x81\xD7\x9C\xD7\x95\xD6\xB9\xD7\x9D \xE2\x82\xAA"},
        DecodeCase{"ISO-8859-8", "\xE7\xE3\xF9\xE5\xFA", "text/xml; charset=ISO-8859-8",
                   "\xD7\x97\xD7\x93\xD7\xA9\xD7\x95\xD7\xAA"},
        DecodeCase{"ISO-8859-8-I", "\xF9\xEC\xE5\xED", "text/xml; charset=ISO-8859-8-I",
                   "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"},
        DecodeCase{"EUC-JP", "\xC6\xFC\xCB\xDC\xB8\xEC", "text/xml; charset=EUC-JP",
                   "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
        DecodeCase{"GBK", "\xB1\xB1\xBE\xA9\xD0\xC2\xCE\xC5", "text/xml; charset=GBK",
                   "\xE5\x8C\x97\xE4\xBA\xAC\xE6\x96\xB0\xE9\x97\xBB"},
        // a two-byte code that GBK leaves private, a four-byte one and an emoji
        DecodeCase{"GB18030", "\xC1\xF5\xFE\x9F\x82\x30\x9E\x38\x94\x39\xFC\x36",
                   "text/xml; charset=GB18030",
                   "\xE5\x88\x98\xE4\xB6\xAE\xE3\x97\x8E\xF0\x9F\x98\x80"},
        DecodeCase{"Big5", "\xA5\x78\xA5\x5F\xB7\x73\xBB\x44", "text/xml; charset=Big5",
                   "\xE5\x8F\xB0\xE5\x8C\x97\xE6\x96\xB0\xE8\x81\x9E"},
        DecodeCase{"EUC-KR", "\xBC\xAD\xBF\xEF \xB4\xBA\xBD\xBA", "text/xml; charset=EUC-KR",
                   "\xEC\x84\x9C\xEC\x9A\xB8 \xEB\x89\xB4\xEC\x8A\xA4"},
        DecodeCase{"TIS-620", "\xA2\xE8\xD2\xC7", "text/xml; charset=TIS-620",
                   "\xE0\xB8\x82\xE0\xB9\x88\xE0\xB8\xB2\xE0\xB8\xA7"},
        // curly quotes, which Windows-874 adds to TIS-620
        DecodeCase{"Windows-874", "\x93\xA2\xE8\xD2\xC7\x94", "text/xml; charset=windows-874",
                   "\xE2\x80\x9C\xE0\xB8\x82\xE0\xB9\x88\xE0\xB8\xB2\xE0\xB8\xA7\xE2\x80\x9D"}));

TEST(DecodeDocumentEveryByteTest, WindowsFallbackNeverDropsAByte) {
  // Each byte from 0x80 up becomes exactly one character; with an invalid lead byte first,
  // the whole string falls back to Windows-1252.
  std::string bytes = "\xFF";
  for (int b = 0x80; b <= 0xFF; ++b) bytes += static_cast<char>(b);
  const std::string text = DecodeDocument(bytes, "");
  std::size_t characters = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  }
  EXPECT_EQ(characters, bytes.size());
  EXPECT_EQ(text.find(kReplacement), std::string::npos);
}

}  // namespace
