// The character decoding of a fetched document: DecodeWith decides, MultiByteToWideChar turns
// the bytes into UTF-16 and WideCharToMultiByte into UTF-8.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "platform/services/DocumentEncoding.h"
#include "platform/services/Inet.h"
#include "platform/win32/Gb18030.h"
#include "platform/win32/WideText.h"

namespace platform {
namespace {

struct CodePageName {
  std::string_view label;
  UINT codePage;
};

// Encoding labels (as the WHATWG list names them) and the code pages that decode them.
constexpr CodePageName kCodePages[] = {
    {"iso-8859-2", 28592},
    {"latin2", 28592},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},
    {"cyrillic", 28595},
    {"arabic", 28596},
    {"asmo-708", 28596},
    {"csiso88596e", 28596},
    {"csiso88596i", 28596},
    {"csisolatinarabic", 28596},
    {"ecma-114", 28596},
    {"iso-8859-6", 28596},
    {"iso-8859-6-e", 28596},
    {"iso-8859-6-i", 28596},
    {"iso-ir-127", 28596},
    {"iso8859-6", 28596},
    {"iso88596", 28596},
    {"iso_8859-6", 28596},
    {"iso_8859-6:1987", 28596},
    {"iso-8859-7", 28597},
    {"greek", 28597},
    {"csiso88598e", 28598},
    {"csisolatinhebrew", 28598},
    {"hebrew", 28598},
    {"iso-8859-8", 28598},
    {"iso-8859-8-e", 28598},
    {"iso-ir-138", 28598},
    {"iso8859-8", 28598},
    {"iso88598", 28598},
    {"iso_8859-8", 28598},
    {"iso_8859-8:1988", 28598},
    {"visual", 28598},
    // ISO-8859-8-I is the same characters stored in logical order (code page 38598, which Wine 8
    // lacks): for decoding it is ISO-8859-8.
    {"csiso88598i", 28598},
    {"iso-8859-8-i", 28598},
    {"logical", 28598},
    {"iso-8859-9", 28599},
    {"latin5", 28599},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
    {"latin-9", 28605},
    {"koi8-r", 20866},
    {"koi8-u", 21866},
    {"windows-1250", 1250},
    {"cp1250", 1250},
    {"windows-1251", 1251},
    {"cp1251", 1251},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"cp1255", 1255},
    {"windows-1255", 1255},
    {"x-cp1255", 1255},
    {"cp1256", 1256},
    {"windows-1256", 1256},
    {"x-cp1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    // TIS-620 and ISO-8859-11 are read as Windows-874, their superset, as browsers do.
    {"dos-874", 874},
    {"iso-8859-11", 874},
    {"iso8859-11", 874},
    {"iso885911", 874},
    {"tis-620", 874},
    {"windows-874", 874},
    {"csshiftjis", 932},
    {"ms932", 932},
    {"ms_kanji", 932},
    {"shift-jis", 932},
    {"shift_jis", 932},
    {"sjis", 932},
    {"windows-31j", 932},
    {"x-sjis", 932},
    {"cseucpkdfmtjapanese", 20932},
    {"euc-jp", 20932},
    {"x-euc-jp", 20932},
    {"iso-2022-jp", 50220},
    {"chinese", 936},
    {"csgb2312", 936},
    {"csiso58gb231280", 936},
    {"gb2312", 936},
    {"gb_2312", 936},
    {"gb_2312-80", 936},
    {"gbk", 936},
    {"iso-ir-58", 936},
    {"x-gbk", 936},
    {"gb18030", 54936},
    {"big5", 950},
    {"big5-hkscs", 950},
    {"cn-big5", 950},
    {"csbig5", 950},
    {"x-x-big5", 950},
    {"cseuckr", 949},
    {"csksc56011987", 949},
    {"euc-kr", 949},
    {"iso-ir-149", 949},
    {"korean", 949},
    {"ks_c_5601-1987", 949},
    {"ks_c_5601-1989", 949},
    {"ksc5601", 949},
    {"ksc_5601", 949},
    {"windows-949", 949},
    {"ibm866", 866},
    {"cp866", 866},
    {"macintosh", 10000},
    {"x-mac-roman", 10000},
    {"x-mac-cyrillic", 10007},
};

// GB18030's code page, decoded here where the system lacks it.
constexpr UINT kGb18030 = 54936;

bool OwnGb18030(UINT codePage) { return codePage == kGb18030 && !::IsValidCodePage(codePage); }

UINT CodePageOf(const std::string& label) {
  for (const CodePageName& entry : kCodePages) {
    if (entry.label != label) continue;
    const bool decodable =
        OwnGb18030(entry.codePage) ? win32::CanDecodeGb18030() : ::IsValidCodePage(entry.codePage);
    return decodable ? entry.codePage : 0;
  }
  return 0;
}

std::wstring ToWide(std::string_view bytes, UINT codePage) {
  if (OwnGb18030(codePage)) return win32::Gb18030ToWide(bytes);
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring(1, L'\xFFFD');
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, bytes.data(), size, out.data(), length);
  return out;
}

// UTF-16 bytes in the given order; an odd trailing byte becomes U+FFFD.
std::wstring Utf16Units(std::string_view bytes, bool littleEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2 + 1);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    out += static_cast<wchar_t>(littleEndian ? first | (second << 8) : (first << 8) | second);
  }
  if (bytes.size() % 2 != 0) out += L'\xFFFD';
  return out;
}

}  // namespace

std::string DecodeDocument(std::string bytes, const std::string& contentType) {
  return DecodeWith(
      std::move(bytes), contentType,
      [](const std::string& label) { return CodePageOf(label) != 0; },
      [](std::string_view body, const DocumentEncoding& encoding) {
        switch (encoding.family) {
          case EncodingFamily::Utf16Le:
          case EncodingFamily::Utf16Be:
            return win32::Narrow(Utf16Units(body, encoding.family == EncodingFamily::Utf16Le));
          case EncodingFamily::Other:
            return win32::Narrow(ToWide(body, CodePageOf(encoding.label)));
          default:
            return win32::Narrow(ToWide(body, CP_UTF8));
        }
      });
}

}  // namespace platform
