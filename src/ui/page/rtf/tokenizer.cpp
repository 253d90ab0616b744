#include "page/rtf/tokenizer.h"

#include "page/rtf/code_pages.h"

#include <algorithm>
#include <cstdint>

namespace qzt::rtf {
namespace {

constexpr int kMaxParamDigits = 10;

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Token Tokenizer::next() {
  Token t;
  if (pos_ >= in_.size()) return t;
  const char c = in_[pos_];
  if (c == '{' || c == '}') {
    ++pos_;
    t.kind = c == '{' ? Token::Kind::Open : Token::Kind::Close;
    return t;
  }
  if (c == '\\') return readEscape();
  const qsizetype start = pos_;
  while (pos_ < in_.size() && in_[pos_] != '{' && in_[pos_] != '}' && in_[pos_] != '\\') {
    const bool pair = isLeadByte(codePage_, static_cast<unsigned char>(in_[pos_])) && pos_ + 1 < in_.size() &&
                      static_cast<unsigned char>(in_[pos_ + 1]) >= 0x40;
    pos_ += pair ? 2 : 1;
  }
  t.kind = Token::Kind::Text;
  t.text = in_.sliced(start, pos_ - start);
  return t;
}

QByteArrayView Tokenizer::takeBytes(qint64 count) {
  const qsizetype n = static_cast<qsizetype>(std::clamp<qint64>(count, 0, in_.size() - pos_));
  const QByteArrayView bytes = in_.sliced(pos_, n);
  pos_ += n;
  return bytes;
}

Token Tokenizer::readEscape() {
  Token t;
  ++pos_;  // the backslash
  if (pos_ >= in_.size()) return t;  // a lone backslash at the end
  const char c = in_[pos_];
  if (isLetter(c)) {
    readWord(t);
    return t;
  }
  ++pos_;
  if (c == '\'') {
    readHex(t);
    return t;
  }
  t.kind = Token::Kind::Symbol;
  t.symbol = c;
  return t;
}

void Tokenizer::readWord(Token& t) {
  t.kind = Token::Kind::Word;
  const qsizetype start = pos_;
  while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
  t.word = in_.sliced(start, std::min(pos_ - start, kMaxWordLength));
  bool negative = false;
  if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
    negative = true;
    ++pos_;
  }
  std::int64_t value = 0;
  int digits = 0;
  while (pos_ < in_.size() && isDigit(in_[pos_])) {
    if (digits < kMaxParamDigits) value = value * 10 + (in_[pos_] - '0');
    ++digits;
    ++pos_;
  }
  if (digits > 0) {
    t.hasParam = true;
    t.param = static_cast<int>(std::clamp<std::int64_t>(negative ? -value : value, INT32_MIN, INT32_MAX));
  }
  if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiter belongs to the word
}

void Tokenizer::readHex(Token& t) {
  t.kind = Token::Kind::Hex;
  int value = 0;
  int digits = 0;
  while (digits < 2 && pos_ < in_.size() && hexValue(in_[pos_]) >= 0) {
    value = value * 16 + hexValue(in_[pos_]);
    ++digits;
    ++pos_;
  }
  t.hex = digits == 2 ? value : -1;
}

}  // namespace qzt::rtf
