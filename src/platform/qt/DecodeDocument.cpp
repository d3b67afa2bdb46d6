// The character decoding of a fetched document: DecodeWith decides, Qt's converters turn the
// bytes into UTF-8.
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <string>
#include <string_view>
#include <utility>

#include "platform/services/DocumentEncoding.h"
#include "platform/services/Inet.h"

namespace platform {
namespace {

QString Decode(std::string_view bytes, const DocumentEncoding& encoding) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  switch (encoding.family) {
    case EncodingFamily::Windows1252:
      return {};  // not reached: decoded by DecodeWith
    case EncodingFamily::Utf8: {
      QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
      return decoder.decode(view);
    }
    case EncodingFamily::Utf16Le:
    case EncodingFamily::Utf16Be: {
      QStringDecoder decoder(encoding.family == EncodingFamily::Utf16Le ? QStringDecoder::Utf16LE
                                                                        : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
      // Stateless: an odd trailing byte becomes U+FFFD instead of waiting for more.
      return decoder.decode(view);
    }
    case EncodingFamily::Other: {
      QStringDecoder decoder(encoding.label.c_str(), QStringDecoder::Flag::Stateless);
      return decoder.decode(view);
    }
  }
  return {};
}

// Lone surrogates (from broken UTF-16) become U+FFFD so that the result is valid UTF-8.
std::string ToUtf8(const QString& text) {
  QString clean = text;
  for (qsizetype i = 0; i < clean.size(); ++i) {
    const QChar c = clean.at(i);
    if (c.isHighSurrogate() && i + 1 < clean.size() && clean.at(i + 1).isLowSurrogate()) {
      ++i;
    } else if (c.isSurrogate()) {
      clean[i] = QChar::ReplacementCharacter;
    }
  }
  const QByteArray utf8 = clean.toUtf8();
  return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace

std::string DecodeDocument(std::string bytes, const std::string& contentType) {
  return DecodeWith(
      std::move(bytes), contentType,
      [](const std::string& label) { return QStringDecoder(label.c_str()).isValid(); },
      [](std::string_view body, const DocumentEncoding& encoding) {
        return ToUtf8(Decode(body, encoding));
      });
}

}  // namespace platform
