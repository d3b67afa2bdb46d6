// The text clean-ups applied to field values: CDATA unwrapping, the two ampersand passes and the
// XML escapes (named and numeric references, decoded once, invalid ones kept as written).
#include <gtest/gtest.h>

#include "feed/ParseRss.h"

namespace {

struct TextCase {
  const char* name;
  std::string input;
  std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

std::string CaseName(const testing::TestParamInfo<TextCase>& info) { return info.param.name; }

class StripCDataTable : public testing::TestWithParam<TextCase> {};

TEST_P(StripCDataTable, UnwrapsFirstSection) {
  EXPECT_EQ(StripCData(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StripCDataTable,
    testing::Values(TextCase{"NoSection", "plain & text", "plain & text"},
                    TextCase{"Section", "<![CDATA[inside]]>", "inside"},
                    // Text around the section is dropped.
                    TextCase{"SurroundingDropped", "before<![CDATA[inside]]>after", "inside"},
                    TextCase{"TwoSectionsKeepFirst", "<![CDATA[one]]><![CDATA[two]]>", "one"},
                    TextCase{"OtherCase", "<![cdata[low]]>", "low"},
                    TextCase{"EmptySection", "<![CDATA[]]>", ""},
                    // "[CDATA" present but no well-formed section: the value is lost entirely.
                    TextCase{"MarkerWithoutOpening", "a [CDATA b", ""},
                    TextCase{"SectionNotClosed", "<![CDATA[open", ""},
                    TextCase{"ClosingOnlyBeforeOpening", "]]><![CDATA[x", ""},
                    TextCase{"MarkerLowerCase", "x [cdata y", ""}),
    CaseName);

class DecodeAmpersandsTable : public testing::TestWithParam<TextCase> {};

TEST_P(DecodeAmpersandsTable, TwoPassesOnly) {
  EXPECT_EQ(DecodeAmpersands(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeAmpersandsTable,
    testing::Values(TextCase{"Single", "a &amp; b", "a & b"},
                    TextCase{"Double", "a &amp;amp; b", "a & b"},
                    // Pass 1 leaves "&amp;", which pass 2 then decodes.
                    TextCase{"Triple", "&amp;amp;amp;", "&"},
                    // Four levels: each pass decodes once, so one level survives.
                    TextCase{"Quadruple", "&amp;amp;amp;amp;", "&amp;"},
                    TextCase{"Capitals", "&AMP;Amp; &AmP;", "& &"},
                    TextCase{"OtherEntitiesUntouched", "&lt;&quot;&#38;", "&lt;&quot;&#38;"},
                    TextCase{"BareAmpersand", "a & b &amp", "a & b &amp"},
                    TextCase{"Adjacent", "&amp;&amp;", "&&"}),
    CaseName);

class DecodeTitleReferencesTable : public testing::TestWithParam<TextCase> {};

TEST_P(DecodeTitleReferencesTable, DecodesEachReferenceOnce) {
  EXPECT_EQ(DecodeTitleReferences(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeTitleReferencesTable,
    testing::Values(
        // Escaped twice: one level goes, what it gives is not read again.
        TextCase{"DoubleEscaped", "&amp;quot;x&amp;quot; &amp;lt;b&amp;gt; &amp;#65; &#38;lt;",
                 "&quot;x&quot; &lt;b&gt; &#65; &lt;"},
        TextCase{"AmpersandEscapes", "a &amp; b &AMP;Amp; c &amp;amp;amp;", "a & b & c &amp;"},
        // C0 controls, DEL and C1 show as blanks; their neighbours 0x20, 0x7E and 0xA0 do not.
        TextCase{"Controls", "&lt;a&#1;b&#xD;&#x1F;&#127;&#x9F;&#x20;&#x7E;&#xA0;",
                 "<a b     ~\xC2\xA0"},
        TextCase{"InvalidKept", "&#0; &#xD800; &LT; &bogus; &amp",
                 "&#0; &#xD800; &LT; &bogus; &amp"}),
    CaseName);

struct EscapeCase {
  const char* name;
  std::string input;
  bool decodeAmp;
  std::string expected;
};

void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }

class DecodeXmlEscapesTable : public testing::TestWithParam<EscapeCase> {};

TEST_P(DecodeXmlEscapesTable, DecodesValidReferencesOnce) {
  EXPECT_EQ(DecodeXmlEscapes(GetParam().input, GetParam().decodeAmp), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeXmlEscapesTable,
    testing::Values(
        EscapeCase{"Named", "&lt;b&gt; &quot;q&quot; &apos;s&apos;", false, "<b> \"q\" 's'"},
        EscapeCase{"AmpKeptWithoutFlag", "a&amp;b", false, "a&amp;b"},
        EscapeCase{"AmpWithFlag", "?a=1&amp;b=2", true, "?a=1&b=2"},
        // Decoded once: the "&" produced is not the start of a new reference.
        EscapeCase{"NoRescanAmp", "&amp;lt;", true, "&lt;"},
        EscapeCase{"NoRescanNumeric", "&#38;lt;", false, "&lt;"},
        // Names are case-sensitive, as in XML.
        EscapeCase{"NameCaseKept", "&LT; &Amp;", true, "&LT; &Amp;"},
        EscapeCase{"DecimalAscii", "&#65;&#066;", false, "AB"},
        EscapeCase{"HexLower", "&#x41;&#x4a;&#x4A;", false, "AJJ"},
        EscapeCase{"HexCapitalXNotAReference", "&#X41;", false, "&#X41;"},
        // UTF-8 length boundaries: 7F/80, 7FF/800, FFFF/10000, and the last code point.
        EscapeCase{"Utf8OneByteMax", "&#x7F;", false, "\x7F"},
        EscapeCase{"Utf8TwoByteMin", "&#x80;", false, "\xC2\x80"},
        EscapeCase{"Utf8TwoByteMax", "&#x7FF;", false, "\xDF\xBF"},
        EscapeCase{"Utf8ThreeByteMin", "&#x800;", false, "\xE0\xA0\x80"},
        EscapeCase{"EmDash", "&#8212;", false, "\xE2\x80\x94"},
        EscapeCase{"Utf8ThreeByteMax", "&#xFFFF;", false, "\xEF\xBF\xBF"},
        EscapeCase{"Utf8FourByteMin", "&#x10000;", false, "\xF0\x90\x80\x80"},
        EscapeCase{"LastCodePoint", "&#x10FFFF;", false, "\xF4\x8F\xBF\xBF"},
        EscapeCase{"LeadingZeros", "&#x0000041;&#00065;", false, "AA"},
        // Invalid references stay as written.
        EscapeCase{"Zero", "&#0;&#x0;", false, "&#0;&#x0;"},
        EscapeCase{"BeyondLastCodePoint", "&#x110000;&#1114112;", false, "&#x110000;&#1114112;"},
        EscapeCase{"SurrogateLow", "&#xD800;", false, "&#xD800;"},
        EscapeCase{"SurrogateHigh", "&#xDFFF;", false, "&#xDFFF;"},
        EscapeCase{"AroundSurrogates", "&#xD7FF;&#xE000;", false, "\xED\x9F\xBF\xEE\x80\x80"},
        // Digits that would overflow 32 bits must not wrap round to a valid code point.
        EscapeCase{"Overflow", "&#4294967361;&#x100000041;", false, "&#4294967361;&#x100000041;"},
        EscapeCase{"NoDigits", "&#; &#x;", false, "&#; &#x;"},
        EscapeCase{"NoSemicolon", "&#65 &lt", false, "&#65 &lt"},
        EscapeCase{"HexDigitInDecimal", "&#6A;", false, "&#6A;"},
        EscapeCase{"Unterminated", "&#65", false, "&#65"},
        EscapeCase{"UnknownName", "&nbsp;&copy;", true, "&nbsp;&copy;"},
        EscapeCase{"BareAmpersands", "& && &;", true, "& && &;"},
        EscapeCase{"AfterBareAmpersand", "&&lt;", false, "&<"}, EscapeCase{"Empty", "", true, ""}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return info.param.name; });

}  // namespace
