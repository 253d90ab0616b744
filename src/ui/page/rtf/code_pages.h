// Which code page a document's \'hh bytes are in, and their text. The
// document states one (\ansicpg; 936, GBK, when it does not, as papers are
// written for it); a font's \fcharset overrides it for that font's text.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <map>

namespace qzt::rtf {

constexpr int kDefaultCodePage = 936;
constexpr int kSymbolCodePage = 42;  // symbol fonts: their own glyphs, not a code page

// The code page of a font's bytes. Charset 0 (ANSI) is Western 1252 even in
// a Chinese document, as word processors write Latin fonts; 1 (default),
// unknown ones and none at all mean the document's code page.
int codePageOfCharset(int charset, int documentCodePage);

// Whether a byte starts a two-byte character in a code page; its second
// byte may then be any byte from 0x40 on, "\", "{" and "}" among them.
bool isLeadByte(int codePage, unsigned char byte);

class TextDecoder {
 public:
  // The text of bytes in a code page. A code page this system cannot decode
  // is read as GBK; bytes that are not valid become U+FFFD.
  QString decode(QByteArrayView bytes, int codePage);

 private:
  QStringDecoder& decoder(int codePage);

  std::map<int, QStringDecoder> decoders_;
};

}  // namespace qzt::rtf
