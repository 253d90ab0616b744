#include "page/rtf/code_pages.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <iterator>

namespace qzt::rtf {
namespace {

struct CharsetCodePage {
  int charset;
  int codePage;
};

constexpr std::array kCharsets{
    CharsetCodePage{0, 1252},            CharsetCodePage{2, kSymbolCodePage},
    CharsetCodePage{77, 10000},
    CharsetCodePage{128, 932},           CharsetCodePage{129, 949},
    CharsetCodePage{134, 936},           CharsetCodePage{136, 950},
    CharsetCodePage{161, 1253},          CharsetCodePage{162, 1254},
    CharsetCodePage{163, 1258},          CharsetCodePage{177, 1255},
    CharsetCodePage{178, 1256},          CharsetCodePage{186, 1257},
    CharsetCodePage{204, 1251},          CharsetCodePage{222, 874},
    CharsetCodePage{238, 1250},          CharsetCodePage{254, 437},
    CharsetCodePage{255, 850},
};

// Codec names as Qt's ICU-backed decoders know them.
QByteArray codecName(int codePage) {
  switch (codePage) {
    case 936: return "GB18030";  // a superset of GBK
    case 950: return "Big5";
    case 932: return "Shift_JIS";
    case 949: return "windows-949";
    case 10000: return "macintosh";
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 65001: return "UTF-8";
    default: break;
  }
  if (codePage == 874 || (codePage >= 1250 && codePage <= 1258)) {
    return "windows-" + QByteArray::number(codePage);
  }
  return {};
}

// Symbol fonts draw their own glyphs for these bytes; lists use them as bullets.
QString symbolText(QByteArrayView bytes) {
  QString text;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text += b == 0xB7 ? QChar(0x2022) : b == 0xA7 ? QChar(0x25AA) : QChar(b);
  }
  return text;
}

}  // namespace

int codePageOfCharset(int charset, int documentCodePage) {
  const auto* found = std::find_if(kCharsets.begin(), kCharsets.end(),
                                   [&](const CharsetCodePage& c) { return c.charset == charset; });
  return found == kCharsets.end() ? documentCodePage : found->codePage;
}

bool isLeadByte(int codePage, unsigned char byte) {
  switch (codePage) {
    case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);  // A1-DF: half-width kana
    case 936: case 949: case 950: return byte >= 0x81 && byte <= 0xFE;
    default: return false;
  }
}

QStringDecoder& TextDecoder::decoder(int codePage) {
  if (codecName(codePage).isEmpty()) codePage = kDefaultCodePage;  // few decoders, whatever the input
  auto found = decoders_.find(codePage);
  if (found != decoders_.end()) return found->second;
  QStringDecoder made(codecName(codePage).constData(), QStringDecoder::Flag::Stateless);
  if (!made.isValid()) made = QStringDecoder(codecName(kDefaultCodePage).constData(), QStringDecoder::Flag::Stateless);
  return decoders_.emplace(codePage, std::move(made)).first->second;
}

QString TextDecoder::decode(QByteArrayView bytes, int codePage) {
  if (codePage == kSymbolCodePage) return symbolText(bytes);
  return decoder(codePage).decode(bytes);
}

}  // namespace qzt::rtf
