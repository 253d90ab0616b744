// RTF bytes as tokens: group marks, control words with their numeric
// parameter, control symbols, \'hh bytes and runs of plain text. Each token
// consumes at least one byte, so reading ends; \binN data is taken by the
// caller and never runs past the end of the input.
#pragma once

#include <QByteArrayView>

namespace qzt::rtf {

struct Token {
  enum class Kind { End, Open, Close, Word, Symbol, Hex, Text };
  Kind kind = Kind::End;
  QByteArrayView word;  // Word: the letters, at most kMaxWordLength of them
  bool hasParam = false;
  int param = 0;        // clamped to the int range
  char symbol = 0;      // Symbol: the character after the backslash
  int hex = -1;         // Hex: the byte, or -1 for fewer than two hex digits
  QByteArrayView text;  // Text: bytes up to the next brace or backslash
};

class Tokenizer {
 public:
  static constexpr qsizetype kMaxWordLength = 32;  // longer words are not ours

  // REQUIRES: the bytes outlive the tokenizer and its tokens.
  explicit Tokenizer(QByteArrayView in) : in_(in) {}

  // The code page of the text that follows: a two-byte character in raw
  // text stays whole even where its second byte is a brace or backslash.
  void setCodePage(int codePage) { codePage_ = codePage; }
  Token next();
  // Up to count raw bytes (fewer where the input ends); none for count <= 0.
  QByteArrayView takeBytes(qint64 count);

 private:
  Token readEscape();
  void readWord(Token& t);
  void readHex(Token& t);

  QByteArrayView in_;
  qsizetype pos_ = 0;
  int codePage_ = 0;
};

}  // namespace qzt::rtf
