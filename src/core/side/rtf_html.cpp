#include "side/rtf_html.h"

#include <algorithm>
#include <vector>

#include "report/html_writer.h"
#include "side/rtf_html_table.h"
#include "side/rtf_tokens.h"

namespace qzt {
namespace {

// Past this the rest of the page is left out: a hostile file of tiny runs
// could otherwise grow many times its size.
constexpr std::size_t kHtmlLimit = 64u << 20;
constexpr int kDefaultHalfPoints = 24;
constexpr std::size_t kColourLimit = 4096;

enum class Shift { None, Up, Down };

struct CharFormat {
  bool bold = false, italic = false, underline = false, strike = false;
  Shift shift = Shift::None;  // superscript and subscript, as in formulas
  int halfPoints = kDefaultHalfPoints;
  long colour = 0, highlight = 0;  // entries of the colour table; 0 the automatic one
  bool operator==(const CharFormat&) const = default;
};

std::string cssColour(unsigned long rgb) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string css = "#";
  for (int shift = 20; shift >= 0; shift -= 4) css += kHex[(rgb >> shift) & 0xF];
  return css;
}

std::string styleOf(const CharFormat& f, const std::vector<std::optional<unsigned long>>& colours) {
  std::string style;
  const auto colourAt = [&](long index) {
    return index > 0 && static_cast<std::size_t>(index) < colours.size() ? colours[static_cast<std::size_t>(index)]
                                                                          : std::nullopt;
  };
  if (const auto rgb = colourAt(f.colour)) style += "color:" + cssColour(*rgb) + ';';
  if (const auto rgb = colourAt(f.highlight)) style += "background-color:" + cssColour(*rgb) + ';';
  if (f.bold) style += "font-weight:bold;";
  if (f.italic) style += "font-style:italic;";
  if (f.underline || f.strike) {
    style += f.underline && f.strike ? "text-decoration:underline line-through;"
                                     : f.underline ? "text-decoration:underline;" : "text-decoration:line-through;";
  }
  if (f.shift != Shift::None) style += f.shift == Shift::Up ? "vertical-align:super;" : "vertical-align:sub;";
  if (f.halfPoints != kDefaultHalfPoints) {
    style += "font-size:" + std::to_string(f.halfPoints / 2) + (f.halfPoints % 2 ? ".5pt;" : "pt;");
  }
  return style;
}

std::string base64(const std::string& bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    unsigned v = 0;
    for (std::size_t k = 0; k < 3; ++k) v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 0x3F] : '=';
  }
  return out;
}

class HtmlSink : public RtfSink {
 public:
  void groupOpened() override { formats_.push_back(formats_.back()); }
  void groupClosed() override {
    if (formats_.size() > 1) formats_.pop_back();
  }
  void text(std::string_view utf8) override {
    if (full()) return;
    if (!spanOpen_ || spanFormat_ != formats_.back()) {
      closeSpan();
      const std::string style = styleOf(formats_.back(), colours_);
      if (!style.empty()) para_ += "<span style=\"" + style + "\">";
      spanOpen_ = true;
      spanFormat_ = formats_.back();
    }
    para_ += report::htmlEscape(utf8);
  }
  void colourDefined(std::optional<unsigned long> rgb) override {
    if (colours_.size() < kColourLimit) colours_.push_back(rgb);
  }
  void picture(std::string_view mimeType, const std::string& bytes, long widthTwips, long) override {
    if (full() || bytes.size() > kHtmlLimit / 2) return;
    closeSpan();
    para_ += "<img alt=\"\" src=\"data:" + std::string(mimeType) + ";base64," + base64(bytes) + "\"";
    if (widthTwips > 0) para_ += " style=\"width:" + std::to_string(widthTwips / 15) + "px\"";  // 15 twips a pixel
    para_ += ">";
  }
  void controlWord(std::string_view word, std::optional<long> number) override {
    const bool on = !number || *number != 0;
    CharFormat& f = formats_.back();
    if (word == "par") endParagraph();
    else if ((word == "page" || word == "sect") && !para_.empty()) endParagraph();  // a new page starts a new line
    else if (word == "line") lineBreak();
    else if (word == "tab") text("\t");
    else if (word == "b") f.bold = on;
    else if (word == "i") f.italic = on;
    else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "ulth") f.underline = on;
    else if (word == "ulnone") f.underline = false;
    else if (word == "strike") f.strike = on;
    else if (word == "super" || word == "up") f.shift = on ? Shift::Up : Shift::None;
    else if (word == "sub" || word == "dn") f.shift = on ? Shift::Down : Shift::None;
    else if (word == "nosupersub") f.shift = Shift::None;
    else if (word == "fs") f.halfPoints = static_cast<int>(std::clamp(number.value_or(kDefaultHalfPoints), 8L, 288L));
    else if (word == "cf") f.colour = number.value_or(0);
    else if (word == "highlight" || word == "cb") f.highlight = number.value_or(0);
    else if (word == "plain") f = CharFormat{};
    else tableOrParagraphWord(word, number);
  }
  std::string finish() {
    if (table_.hasCells() || !cell_.empty() || (inTable_ && !para_.empty())) {
      endCell();
      endRow();
    }
    closeTable();
    if (!para_.empty()) endParagraph();
    return std::move(body_);
  }

 private:
  bool full() const { return body_.size() + table_.size() + cell_.size() + para_.size() > kHtmlLimit; }

  void tableOrParagraphWord(std::string_view word, std::optional<long> number) {
    if (word == "pard") {
      align_ = nullptr;
      inTable_ = false;
    } else if (word == "qc") {
      align_ = "center";
    } else if (word == "qr") {
      align_ = "right";
    } else if (word == "qj") {
      align_ = "justify";
    } else if (word == "ql") {
      align_ = nullptr;
    } else if (word == "intbl") {
      inTable_ = true;
    } else if (word == "cell") {
      endCell();
    } else if (word == "row") {
      endRow();
    } else if (word == "trowd") {
      table_.clearDefinitions();
    } else if (word == "clmrg") {
      table_.mergeNextAcross();
    } else if (word == "clvmrg") {
      table_.mergeNextDown();
    } else if (word == "cellx") {
      table_.defineCell(number.value_or(0));
    } else if (word == "nestcell") {
      text(" ");  // cells of a table within a cell run on in that cell
    } else if (word == "nestrow") {
      lineBreak();
    }
  }

  void closeSpan() {
    if (spanOpen_ && !styleOf(spanFormat_, colours_).empty()) para_ += "</span>";
    spanOpen_ = false;
  }
  void lineBreak() {
    if (full()) return;
    closeSpan();
    para_ += "<br>";
  }
  std::string takeParagraph() {
    closeSpan();
    std::string p = align_ ? std::string("<p style=\"text-align:") + align_ + "\">" : std::string("<p>");
    p += para_.empty() ? "<br>" : para_;
    p += "</p>";
    para_.clear();
    return p;
  }
  void endParagraph() {
    if (full()) return;
    if (inTable_) {
      cell_ += takeParagraph();
      return;
    }
    closeTable();
    body_ += takeParagraph();
  }
  void endCell() {
    if (full()) return;
    if (!para_.empty() || cell_.empty()) cell_ += takeParagraph();
    table_.addCell(std::move(cell_));
    cell_.clear();
  }
  void endRow() {
    if (table_.hasCells()) table_.endRow();
  }
  void closeTable() { body_ += table_.take(); }

  std::vector<std::optional<unsigned long>> colours_;
  std::vector<CharFormat> formats_{CharFormat{}};
  bool spanOpen_ = false;
  CharFormat spanFormat_;
  const char* align_ = nullptr;
  bool inTable_ = false;
  RtfHtmlTable table_;
  std::string para_, cell_, body_;
};

}  // namespace

std::string rtfHtmlDocument(std::string_view rtf) {
  HtmlSink sink;
  walkRtf(rtf, sink);
  return "<!doctype html><html><head><meta charset=\"utf-8\"><style>"
         "body{font-family:sans-serif;white-space:pre-wrap;overflow-wrap:anywhere}p{margin:0 0 .2em}"
         "table{border-collapse:collapse;margin:.3em 0}td{border:1px solid #888;padding:2px 6px;vertical-align:top}"
         "td p{margin:0}img{max-width:100%;height:auto}</style></head><body>" +
         sink.finish() + "</body></html>";
}

}  // namespace qzt
