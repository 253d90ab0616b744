#include "page/rtf_reader.h"

#include <QColor>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gbk_text.h"

namespace {

constexpr int kMaxDepth = 100;        // deeper groups share the deepest state
constexpr int kMaxWordLength = 32;    // longer control words are not ours
constexpr int kMaxParamDigits = 10;
constexpr int kMaxHalfPoints = 3276;  // Word's own limit (1638 pt)

enum class Destination { Text, Skip, ColourTable };
enum class Align { Left, Centre, Right, Justify };

struct CharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int halfPoints = 0;  // 0: the view's own size
  int colour = 0;      // index into the colour table; 0: automatic
  bool operator==(const CharFormat&) const = default;
};

struct GroupState {
  CharFormat format;
  Destination destination = Destination::Text;
  int unicodeSkip = 1;  // \ucN: fallback characters after each \uN
  Align align = Align::Left;
};

struct Run {
  CharFormat format;
  QString text;
};

struct Paragraph {
  std::vector<Run> runs;
  Align align = Align::Left;
};

// One control word as read: name, and its numeric parameter if any.
struct ControlWord {
  QByteArray name;
  bool hasParam = false;
  int param = 0;
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isSkippedDestination(const QByteArray& word) {
  static const char* const kSkipped[] = {
      "fonttbl", "stylesheet", "info",      "pict",       "object",     "header",
      "headerl", "headerr",    "headerf",   "footer",     "footerl",    "footerr",
      "footerf", "footnote",   "fldinst",   "listtable",  "listoverridetable",
      "rsidtbl", "generator",  "themedata", "colorschememapping", "latentstyles",
      "datastore", "xmlnstbl", "filetbl",   "revtbl",     "nonshppict", "private",
      "bkmkstart", "bkmkend"};
  return std::any_of(std::begin(kSkipped), std::end(kSkipped),
                     [&](const char* s) { return word == s; });
}

class RtfReader {
 public:
  explicit RtfReader(const QByteArray& in) : in_(in) { stack_.push_back(GroupState{}); }

  QString toHtml() {
    read();
    flushBytes();
    if (!current_.runs.empty()) {
      current_.align = stack_.back().align;
      paragraphs_.push_back(current_);
    }
    return html();
  }

 private:
  void read();
  void openGroup();
  bool closeGroup();  // false when the document's outer group has ended
  void readBackslash();
  ControlWord readWord();
  void applyWord(const ControlWord& w);
  bool applyCharWord(const ControlWord& w);
  bool applyParagraphWord(const ControlWord& w);
  void applySymbol(char c);
  void textByte(char c);
  void hexByte();
  void unicodeChar(int code);
  bool consumeFallback();
  void appendText(const QString& text);
  void flushBytes();
  void endParagraph();
  QString html() const;
  QString spanStyle(const CharFormat& f) const;

  GroupState& state() { return stack_.back(); }

  const QByteArray& in_;
  qsizetype pos_ = 0;
  std::vector<GroupState> stack_;
  int overflowDepth_ = 0;  // groups opened beyond kMaxDepth
  int fallbackLeft_ = 0;   // characters still to skip after a \uN
  bool nextIsIgnorable_ = false;
  QByteArray pendingBytes_;  // GBK bytes waiting to be decoded together
  std::vector<QColor> colours_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colourSet_ = false;
  Paragraph current_;
  std::vector<Paragraph> paragraphs_;
};

void RtfReader::read() {
  while (pos_ < in_.size()) {
    const char c = in_[pos_];
    if (c == '{') {
      ++pos_;
      openGroup();
    } else if (c == '}') {
      ++pos_;
      if (!closeGroup()) return;
    } else if (c == '\\') {
      readBackslash();
    } else {
      ++pos_;
      if (!consumeFallback()) textByte(c);
    }
  }
}

void RtfReader::openGroup() {
  fallbackLeft_ = 0;
  nextIsIgnorable_ = false;
  flushBytes();
  if (static_cast<int>(stack_.size()) >= kMaxDepth) {
    ++overflowDepth_;
    return;
  }
  stack_.push_back(stack_.back());
}

bool RtfReader::closeGroup() {
  fallbackLeft_ = 0;
  nextIsIgnorable_ = false;
  flushBytes();
  if (overflowDepth_ > 0) {
    --overflowDepth_;
    return true;
  }
  if (stack_.size() <= 2) return false;  // base state + the document's group
  stack_.pop_back();
  return true;
}

void RtfReader::readBackslash() {
  ++pos_;  // the backslash
  if (pos_ >= in_.size()) return;
  const char c = in_[pos_];
  if (isLetter(c)) {
    const ControlWord w = readWord();
    if (consumeFallback()) return;
    if (nextIsIgnorable_) {  // {\*\word ...}: a destination we may not know
      nextIsIgnorable_ = false;
      flushBytes();
      state().destination = Destination::Skip;
    }
    applyWord(w);
    return;
  }
  ++pos_;
  if (c == '\'') {
    hexByte();
    return;
  }
  if (consumeFallback()) return;
  applySymbol(c);
}

ControlWord RtfReader::readWord() {
  ControlWord w;
  while (pos_ < in_.size() && isLetter(in_[pos_])) {
    if (w.name.size() < kMaxWordLength) w.name.append(in_[pos_]);
    ++pos_;
  }
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
    w.hasParam = true;
    value = std::clamp<std::int64_t>(negative ? -value : value, INT32_MIN, INT32_MAX);
    w.param = static_cast<int>(value);
  }
  if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiter belongs to the word
  return w;
}

void RtfReader::applyWord(const ControlWord& w) {
  const QByteArray& n = w.name;
  if (n == "bin") {  // raw bytes follow: skip them unread
    const qsizetype count = w.hasParam ? std::max(0, w.param) : 0;
    pos_ = std::min(in_.size(), pos_ + count);
    return;
  }
  if (isSkippedDestination(n)) {
    flushBytes();
    state().destination = Destination::Skip;
    return;
  }
  if (n == "colortbl") {
    flushBytes();
    state().destination = Destination::ColourTable;
    return;
  }
  if (state().destination == Destination::ColourTable) {
    const int v = std::clamp(w.param, 0, 255);
    if (n == "red") red_ = v, colourSet_ = true;
    if (n == "green") green_ = v, colourSet_ = true;
    if (n == "blue") blue_ = v, colourSet_ = true;
    return;
  }
  if (n == "uc") {
    state().unicodeSkip = std::clamp(w.param, 0, 16);
    return;
  }
  if (n == "u") {
    unicodeChar(w.param);
    return;
  }
  if (applyCharWord(w) || applyParagraphWord(w)) return;
  if (n == "tab") appendText(QStringLiteral("\t"));
  else if (n == "emdash") appendText(QString(QChar(0x2014)));
  else if (n == "endash") appendText(QString(QChar(0x2013)));
  else if (n == "bullet") appendText(QString(QChar(0x2022)));
  else if (n == "lquote") appendText(QString(QChar(0x2018)));
  else if (n == "rquote") appendText(QString(QChar(0x2019)));
  else if (n == "ldblquote") appendText(QString(QChar(0x201C)));
  else if (n == "rdblquote") appendText(QString(QChar(0x201D)));
}

bool RtfReader::applyCharWord(const ControlWord& w) {
  const QByteArray& n = w.name;
  const bool on = !w.hasParam || w.param != 0;
  CharFormat f = state().format;
  if (n == "plain") f = CharFormat{};
  else if (n == "b") f.bold = on;
  else if (n == "i") f.italic = on;
  else if (n == "ul" || n == "uld" || n == "uldb" || n == "ulw" || n == "uldash") f.underline = on;
  else if (n == "ulnone") f.underline = false;
  else if (n == "fs") f.halfPoints = w.hasParam ? std::clamp(w.param, 0, kMaxHalfPoints) : 0;
  else if (n == "cf") f.colour = w.hasParam ? std::max(0, w.param) : 0;
  else return false;
  if (!(f == state().format)) {
    flushBytes();
    state().format = f;
  }
  return true;
}

bool RtfReader::applyParagraphWord(const ControlWord& w) {
  const QByteArray& n = w.name;
  Align& align = state().align;
  if (n == "par" || n == "sect" || n == "page") endParagraph();
  else if (n == "line") appendText(QString(QChar::LineSeparator));
  else if (n == "pard" || n == "ql") align = Align::Left;
  else if (n == "qc") align = Align::Centre;
  else if (n == "qr") align = Align::Right;
  else if (n == "qj") align = Align::Justify;
  else return false;
  return true;
}

void RtfReader::applySymbol(char c) {
  switch (c) {
    case '\\': case '{': case '}': textByte(c); break;
    case '~': appendText(QString(QChar(0x00A0))); break;
    case '_': appendText(QString(QChar(0x2011))); break;
    case '*': nextIsIgnorable_ = true; break;
    case '\n': case '\r': endParagraph(); break;
    case '\t': appendText(QStringLiteral("\t")); break;
    default: break;  // \- optional hyphen, \: index entries, unknown symbols
  }
}

void RtfReader::textByte(char c) {
  const Destination d = state().destination;
  if (d == Destination::Skip) return;
  if (d == Destination::ColourTable) {
    if (c != ';') return;
    colours_.push_back(colourSet_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colourSet_ = false;
    return;
  }
  if (c == '\t') {
    appendText(QStringLiteral("\t"));
    return;
  }
  if (static_cast<unsigned char>(c) < 0x20) return;  // line ends in the source mean nothing
  pendingBytes_.append(c);
}

void RtfReader::hexByte() {
  int value = 0;
  int digits = 0;
  while (digits < 2 && pos_ < in_.size() && hexValue(in_[pos_]) >= 0) {
    value = value * 16 + hexValue(in_[pos_]);
    ++digits;
    ++pos_;
  }
  if (consumeFallback() || digits < 2) return;
  if (state().destination != Destination::Text) return;
  if (value == '\t') appendText(QStringLiteral("\t"));
  else if (value >= 0x20) pendingBytes_.append(static_cast<char>(value));
}

void RtfReader::unicodeChar(int code) {
  if (code < 0) code += 65536;
  const char16_t unit = (code >= 0 && code <= 0xFFFF) ? static_cast<char16_t>(code) : char16_t(0xFFFD);
  appendText(QString(QChar(unit)));
  fallbackLeft_ = state().unicodeSkip;
}

// After \uN the next \ucN characters are the fallback for readers without
// Unicode; a control word, a symbol or a \'hh byte each count as one.
bool RtfReader::consumeFallback() {
  if (fallbackLeft_ <= 0) return false;
  --fallbackLeft_;
  return true;
}

void RtfReader::appendText(const QString& text) {
  if (text.isEmpty() || state().destination != Destination::Text) return;
  flushBytes();
  if (!current_.runs.empty() && current_.runs.back().format == state().format) {
    current_.runs.back().text += text;
  } else {
    current_.runs.push_back({state().format, text});
  }
}

void RtfReader::flushBytes() {
  if (pendingBytes_.isEmpty()) return;
  const QString text = fromGbk(pendingBytes_);
  pendingBytes_.clear();
  appendText(text);
}

void RtfReader::endParagraph() {
  if (state().destination != Destination::Text) return;
  flushBytes();
  current_.align = state().align;
  paragraphs_.push_back(std::move(current_));
  current_ = Paragraph{};
}

QString RtfReader::spanStyle(const CharFormat& f) const {
  QString style;
  if (f.bold) style += QStringLiteral("font-weight:700; ");
  if (f.italic) style += QStringLiteral("font-style:italic; ");
  if (f.underline) style += QStringLiteral("text-decoration: underline; ");
  if (f.halfPoints > 0) style += QStringLiteral("font-size:%1pt; ").arg(f.halfPoints / 2.0);
  if (f.colour > 0 && f.colour < static_cast<int>(colours_.size()) && colours_[f.colour].isValid()) {
    style += QStringLiteral("color:%1; ").arg(colours_[f.colour].name());
  }
  return style;
}

QString RtfReader::html() const {
  QString out = QStringLiteral("<html><body style=\"white-space:pre-wrap;\">");
  for (const Paragraph& p : paragraphs_) {
    const char* align = p.align == Align::Centre ? " align=\"center\""
                        : p.align == Align::Right ? " align=\"right\""
                        : p.align == Align::Justify ? " align=\"justify\""
                                                    : "";
    const bool empty = std::all_of(p.runs.begin(), p.runs.end(), [](const Run& r) { return r.text.isEmpty(); });
    out += QStringLiteral("<p%1 style=\"%2margin-top:0px; margin-bottom:0px; margin-left:0px; "
                          "margin-right:0px; text-indent:0px;\">")
               .arg(QLatin1String(align), empty ? QStringLiteral("-qt-paragraph-type:empty; ") : QString());
    if (empty) out += QStringLiteral("<br />");
    for (const Run& r : p.runs) {
      QString text = r.text.toHtmlEscaped();
      text.replace(QChar::LineSeparator, QStringLiteral("<br />"));
      const QString style = spanStyle(r.format);
      out += style.isEmpty() ? text : QStringLiteral("<span style=\"%1\">%2</span>").arg(style, text);
    }
    out += QStringLiteral("</p>");
  }
  out += QStringLiteral("</body></html>");
  return out;
}

}  // namespace

QString rtfToHtml(const QByteArray& rtf) {
  return RtfReader(rtf).toHtml();
}
