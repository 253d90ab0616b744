#include "side/rtf_tokens.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "util/gbk.h"

namespace qzt {
namespace {

// Destinations whose text is not the document's.
bool skippedDestination(std::string_view word) {
  static constexpr std::string_view kSkipped[] = {"fonttbl", "colortbl", "stylesheet", "info", "pict",
                                                  "fldinst", "header", "footer", "object", "listtable",
                                                  "listoverridetable", "themedata", "datastore", "xmlnstbl",
                                                  "headerl", "headerr", "headerf", "footerl", "footerr",
                                                  "footerf", "bkmkstart", "bkmkend", "nonshppict", "sp", "shprslt"};
  for (std::string_view s : kSkipped) {
    if (word == s) return true;
  }
  return false;
}

// Control words that stand for one character.
std::string_view symbolOf(std::string_view word) {
  static constexpr std::pair<std::string_view, std::string_view> kSymbols[] = {
      {"emdash", "—"}, {"endash", "–"},  {"bullet", "•"},    {"lquote", "‘"},
      {"rquote", "’"}, {"ldblquote", "“"}, {"rdblquote", "”"}, {"emspace", "\u2003"},
      {"enspace", "\u2002"}};
  for (const auto& [w, s] : kSymbols) {
    if (word == w) return s;
  }
  return {};
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void appendCodePoint(std::string& out, unsigned long c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Past this a picture is dropped: no paper page needs more.
constexpr std::size_t kPictureLimit = 16u << 20;

// The picture whose group is being read.
struct Picture {
  std::size_t depth = 0;  // the group's depth; 0 when not in a picture
  std::string_view mimeType;
  std::string bytes;
  int nibble = -1;  // the high half of a byte whose low half is to come
  long width = 0, height = 0, scaleX = 100, scaleY = 100;

  void hex(int value) {
    if (nibble < 0) {
      nibble = value;
    } else if (bytes.size() < kPictureLimit) {
      bytes += static_cast<char>(nibble * 16 + value);
      nibble = -1;
    }
  }
  void word(std::string_view w, long number) {
    if (w == "pngblip") mimeType = "image/png";
    if (w == "jpegblip") mimeType = "image/jpeg";
    if (w == "picwgoal") width = number;
    if (w == "pichgoal") height = number;
    if (w == "picscalex") scaleX = number;
    if (w == "picscaley") scaleY = number;
  }
};

// The colour table being read: \red, \green and \blue, each entry ended by ';'.
struct ColourTable {
  std::size_t depth = 0;  // the table's group depth; 0 when not in it
  long red = -1, green = -1, blue = -1;

  void word(std::string_view w, long number) {
    const long value = std::clamp(number, 0L, 255L);
    if (w == "red") red = value;
    if (w == "green") green = value;
    if (w == "blue") blue = value;
  }
  std::optional<unsigned long> take() {
    std::optional<unsigned long> rgb;
    if (red >= 0 || green >= 0 || blue >= 0) {
      rgb = static_cast<unsigned long>((std::max(red, 0L) << 16) | (std::max(green, 0L) << 8) | std::max(blue, 0L));
    }
    red = green = blue = -1;
    return rgb;
  }
};

struct Walker {
  Walker(std::string_view rtf, RtfSink& to) : in(rtf), sink(to) {}

  std::string_view in;
  RtfSink& sink;
  std::size_t at = 0;
  ByteString pending;  // code-page bytes not yet converted
  struct Group {
    bool skip = false;  // not the document's text
    int standIns = 1;   // \ucN: characters after a \u that stand in for it
  };
  std::vector<Group> groups{Group{}};
  int deepGroups = 0;        // groups opened past the depth bound, not reported
  int skipAfterUnicode = 0;  // characters that stand in for a \u
  unsigned long highSurrogate = 0;
  Picture pict;
  ColourTable colours;
  // The name of the shape property being read (\sn), kept to its group's end:
  // a picture frame's picture ("pib") is shown though shape properties are not.
  std::string shapeProperty;
  std::size_t shapeNameDepth = 0, shapePropertyDepth = 0;

  bool skipping() const { return groups.back().skip; }

  void flush() {
    if (highSurrogate != 0) {
      highSurrogate = 0;
      sink.text("\uFFFD");  // half a pair
    }
    if (pending.empty()) return;
    const std::string utf8 = gbkToUtf8(pending);
    pending.clear();
    sink.text(utf8);
  }
  void byte(char c) {
    if (groups.size() == shapeNameDepth) {
      if (shapeProperty.size() < 16) shapeProperty += c;
      return;
    }
    if (skipping()) return;
    if (skipAfterUnicode > 0) {
      --skipAfterUnicode;
      return;
    }
    if (highSurrogate != 0) flush();
    pending += c;
  }
  void unicode(long number) {
    unsigned long cp = static_cast<unsigned long>(number < 0 ? number + 65536 : number) & 0xFFFF;
    skipAfterUnicode = groups.back().standIns;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      flush();
      highSurrogate = cp;
      return;
    }
    if (cp >= 0xDC00 && cp <= 0xDFFF) {
      if (highSurrogate == 0) cp = 0xFFFD;
      else cp = 0x10000 + ((highSurrogate - 0xD800) << 10) + (cp - 0xDC00);
      highSurrogate = 0;
    }
    flush();
    std::string utf8;
    appendCodePoint(utf8, cp);
    sink.text(utf8);
  }

  void openGroup() {
    flush();
    if (groups.size() > kRtfGroupDepthLimit) {
      ++deepGroups;
      return;
    }
    groups.push_back(groups.back());
    sink.groupOpened();
  }
  void closeGroup() {
    flush();
    if (deepGroups > 0) {
      --deepGroups;
    } else if (groups.size() > 1) {
      if (groups.size() == pict.depth) endPicture();
      if (groups.size() == colours.depth) colours.depth = 0;
      if (groups.size() == shapeNameDepth) shapeNameDepth = 0;
      if (groups.size() == shapePropertyDepth) shapeProperty.clear();
      groups.pop_back();
      sink.groupClosed();
    }
  }
  void endPicture() {
    if (!pict.mimeType.empty() && !pict.bytes.empty() && pict.bytes.size() < kPictureLimit) {
      const auto scaled = [](long twips, long percent) { return std::clamp(twips, 0L, 100000L) * std::clamp(percent, 1L, 1000L) / 100; };
      sink.picture(pict.mimeType, pict.bytes, scaled(pict.width, pict.scaleX), scaled(pict.height, pict.scaleY));
    }
    pict = Picture{};
  }
  bool inColourTable() const { return colours.depth != 0 && groups.size() == colours.depth; }
  bool inPictureItself() const { return pict.depth != 0 && groups.size() == pict.depth; }

  void word() {
    const std::size_t start = at;
    while (at < in.size() && std::isalpha(static_cast<unsigned char>(in[at])) && at - start < 32) ++at;
    const std::string_view w = in.substr(start, at - start);
    const std::size_t numStart = at;
    if (at < in.size() && (in[at] == '-' || std::isdigit(static_cast<unsigned char>(in[at])))) ++at;
    while (at < in.size() && std::isdigit(static_cast<unsigned char>(in[at])) && at - numStart < 10) ++at;
    std::optional<long> number;
    if (at > numStart) number = std::strtol(std::string(in.substr(numStart, at - numStart)).c_str(), nullptr, 10);
    if (at < in.size() && in[at] == ' ') ++at;
    if (w == "bin") {  // raw bytes that may hold braces
      const std::size_t n = std::min(static_cast<std::size_t>(std::max(number.value_or(0), 0L)), in.size() - at);
      if (inPictureItself()) pict.bytes.append(in.substr(at, std::min(n, kPictureLimit)));
      at += n;
      return;
    }
    if (inPictureItself()) return pict.word(w, number.value_or(0));
    if (inColourTable()) return colours.word(w, number.value_or(0));
    // A shape and its picture are marked \* for readers that know no shapes, yet they are
    // the ones to show: a text box's text, where the stand-ins for them are skipped.
    if ((w == "shppict" || w == "shpinst") && groups.size() > 1 && !groups[groups.size() - 2].skip) {
      groups.back().skip = false;
    }
    if (w == "sn") {
      shapeNameDepth = groups.size();
      shapePropertyDepth = groups.size() - 1;
      shapeProperty.clear();
    }
    if (w == "pict" && (!skipping() || shapeProperty == "pib") && pict.depth == 0) pict.depth = groups.size();
    if (w == "colortbl" && !skipping() && colours.depth == 0) colours.depth = groups.size();
    if (skippedDestination(w)) groups.back().skip = true;
    if (skipping()) return;
    if (w == "u") return unicode(number.value_or(0));
    if (w == "uc") {
      groups.back().standIns = static_cast<int>(std::clamp(number.value_or(1), 0L, 8L));
      return;
    }
    flush();
    if (const std::string_view symbol = symbolOf(w); !symbol.empty()) return sink.text(symbol);
    sink.controlWord(w, number);
  }

  void escape() {
    const char next = in[at];
    if (next == '\'') {
      if (at + 2 >= in.size()) {  // cut short inside \'hh
        at = in.size();
        return;
      }
      const int hi = hexValue(in[at + 1]), lo = hexValue(in[at + 2]);
      at += 3;
      if (hi >= 0 && lo >= 0) byte(static_cast<char>(hi * 16 + lo));
    } else if (std::isalpha(static_cast<unsigned char>(next))) {
      word();
    } else {
      ++at;
      if (next == '*') groups.back().skip = true;
      if (next == '\\' || next == '{' || next == '}') byte(next);
      if (next == '~' && !skipping()) {
        flush();
        sink.text("\u00A0");
      }
    }
  }

  void run() {
    while (at < in.size()) {
      const char c = in[at++];
      if (c == '{') {
        openGroup();
      } else if (c == '}') {
        closeGroup();
      } else if (c == '\\') {
        if (at < in.size()) escape();
      } else if (inColourTable()) {
        if (c == ';') sink.colourDefined(colours.take());
      } else if (inPictureItself()) {
        if (const int h = hexValue(c); h >= 0) pict.hex(h);
      } else if (c != '\r' && c != '\n') {
        byte(c);
      }
    }
    flush();
    while (groups.size() > 1) {  // unclosed groups still close for the sink
      groups.pop_back();
      sink.groupClosed();
    }
  }
};

}  // namespace

void walkRtf(std::string_view rtf, RtfSink& sink) {
  Walker w(rtf, sink);
  w.run();
}

}  // namespace qzt
