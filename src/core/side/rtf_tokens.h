// Walks RTF bytes for renditions of an RTF page outside the reader: text decoded
// to UTF-8 (\'hh bytes as GBK, the papers' code page; \uN as its character,
// the \ucN stand-in characters after it dropped), destinations that are not
// the document's text (font and colour tables, pictures, fields'
// instructions, anything marked \*) skipped, though colours and PNG and JPEG
// pictures are reported on their own; groups nested no deeper than a bound
// so a hostile file cannot make its reader's stacks grow.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qzt {

class RtfSink {
 public:
  virtual ~RtfSink() = default;
  // A group within the bound opened or closed; the pairs always balance.
  virtual void groupOpened() {}
  virtual void groupClosed() {}
  // A control word of the document's text, with its number if it has one.
  virtual void controlWord(std::string_view word, std::optional<long> number) = 0;
  virtual void text(std::string_view utf8) = 0;
  // The next entry of the colour table, as 0xRRGGBB; none for the
  // automatic colour.
  virtual void colourDefined(std::optional<unsigned long> /*rgb*/) {}
  // A PNG or JPEG picture of the text ("image/png" or "image/jpeg"), with
  // the size it is shown at in twips (0 where the file gives none).
  virtual void picture(std::string_view /*mimeType*/, const std::string& /*bytes*/, long /*widthTwips*/,
                       long /*heightTwips*/) {}
};

inline constexpr int kRtfGroupDepthLimit = 100;

// Never fails: what cannot be read is left out.
void walkRtf(std::string_view rtf, RtfSink& sink);

}  // namespace qzt
