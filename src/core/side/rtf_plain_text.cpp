#include "side/rtf_plain_text.h"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "util/gbk.h"

namespace qzt {
namespace {

// Destinations whose text is not the document's.
bool skippedDestination(std::string_view word) {
  static constexpr std::string_view kSkipped[] = {"fonttbl", "colortbl", "stylesheet", "info", "pict",
                                                  "fldinst", "header", "footer", "object", "listtable",
                                                  "listoverridetable", "themedata", "datastore", "xmlnstbl"};
  for (std::string_view s : kSkipped) {
    if (word == s) return true;
  }
  return false;
}

void appendCodePoint(std::string& out, long cp) {
  if (cp < 0) cp += 65536;
  const auto c = static_cast<unsigned long>(cp);
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

struct Reader {
  std::string_view in;
  std::size_t at = 0;
  std::string out;
  ByteString pending;  // code-page bytes not yet converted
  std::vector<bool> skipStack{false};
  int skipAfterUnicode = 0;  // \ucN: characters that stand in for a \u

  void flushBytes() {
    if (pending.empty()) return;
    out += gbkToUtf8(pending);
    pending.clear();
  }
  void text(char c) {
    if (skipStack.back()) return;
    if (skipAfterUnicode > 0) {
      --skipAfterUnicode;
      return;
    }
    pending += c;
  }
  void emit(const std::string& utf8) {
    if (skipStack.back()) return;
    flushBytes();
    out += utf8;
  }

  void controlWord() {
    const std::size_t start = at;
    while (at < in.size() && std::isalpha(static_cast<unsigned char>(in[at]))) ++at;
    const std::string_view word = in.substr(start, at - start);
    const std::size_t numStart = at;
    if (at < in.size() && (in[at] == '-' || std::isdigit(static_cast<unsigned char>(in[at])))) ++at;
    while (at < in.size() && std::isdigit(static_cast<unsigned char>(in[at])) && at - numStart < 10) ++at;
    const long number = at > numStart ? std::strtol(std::string(in.substr(numStart, at - numStart)).c_str(), nullptr, 10) : 0;
    if (at < in.size() && in[at] == ' ') ++at;
    if (skippedDestination(word)) skipStack.back() = true;
    if (word == "par" || word == "line" || word == "row") emit("\n");
    if (word == "tab" || word == "cell") emit("\t");
    if (word == "u" && !skipStack.back()) {
      flushBytes();
      appendCodePoint(out, number);
      skipAfterUnicode = 1;
    }
  }

  void run() {
    while (at < in.size()) {
      const char c = in[at++];
      if (c == '{') {
        skipStack.push_back(skipStack.back());
      } else if (c == '}') {
        flushBytes();
        if (skipStack.size() > 1) skipStack.pop_back();
      } else if (c == '\\') {
        if (at >= in.size()) break;  // cut short after a backslash
        const char next = in[at];
        if (next == '\'' && at + 2 >= in.size()) break;  // cut short inside \'hh
        if (next == '*') {
          skipStack.back() = true;
          ++at;
        } else if (next == '\'' && at + 2 < in.size()) {
          const std::string hex(in.substr(at + 1, 2));
          at += 3;
          text(static_cast<char>(std::strtol(hex.c_str(), nullptr, 16)));
        } else if (std::isalpha(static_cast<unsigned char>(next))) {
          controlWord();
        } else {
          ++at;
          if (next == '\\' || next == '{' || next == '}') text(next);
        }
      } else if (c != '\r' && c != '\n') {
        text(c);
      }
    }
    flushBytes();
  }
};

}  // namespace

std::string rtfPlainText(std::string_view rtf) {
  Reader r;
  r.in = rtf;
  r.run();
  return r.out;
}

}  // namespace qzt
