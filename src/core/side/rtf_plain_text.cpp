#include "side/rtf_plain_text.h"

#include "side/rtf_tokens.h"

namespace qzt {
namespace {

class PlainTextSink : public RtfSink {
 public:
  std::string out;

  void controlWord(std::string_view word, std::optional<long>) override {
    if (word == "par" || word == "line" || word == "row") out += '\n';
    if (word == "tab" || word == "cell") out += '\t';
  }
  void text(std::string_view utf8) override { out += utf8; }
};

}  // namespace

std::string rtfPlainText(std::string_view rtf) {
  PlainTextSink sink;
  walkRtf(rtf, sink);
  return std::move(sink.out);
}

}  // namespace qzt
