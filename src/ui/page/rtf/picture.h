// Pictures in RTF: a {\pict} group states the format, the size to show and
// the bytes (hex digits or \bin data). PNG and JPEG are decoded, known by
// their bytes whatever the label says; metafiles
// and anything that does not decode become a framed placeholder of the
// size the picture would take, so nothing is silently blank. Decoded and
// drawn pixels are bounded per document: past the bound every picture shares
// one small placeholder, scaled.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSizeF>

namespace qzt::rtf {

enum class PictureKind { Unknown, Png, Jpeg, Metafile };

struct PictureProps {
  PictureKind kind = PictureKind::Unknown;
  int width = 0;  // \picw, \pich: pixels, or 0.01 mm for metafiles
  int height = 0;
  int goalWidth = 0;  // \picwgoal, \pichgoal: twips
  int goalHeight = 0;
  int scaleX = 100;  // percent
  int scaleY = 100;
};

// The bytes of one picture as they arrive.
class PictureData {
 public:
  // Hex digits; anything else (line ends, blanks) is passed over.
  void addHex(QByteArrayView text);
  void addBinary(QByteArrayView bytes);
  const QByteArray& bytes() const { return bytes_; }

 private:
  QByteArray bytes_;
  int highNibble_ = -1;
};

struct Picture {
  QImage image;
  QSizeF size;  // on screen, pixels
  bool placeholder = false;
};

class PictureMaker {
 public:
  static constexpr qint64 kPixelBudget = 32 * 1024 * 1024;  // per document
  static constexpr double kMaxSide = 4000;                   // pixels on screen

  Picture make(const PictureProps& props, const QByteArray& data);

 private:
  QImage decode(const QByteArray& data);
  QImage placeholder(QSizeF size);
  bool spend(qint64 pixels);

  qint64 pixelsLeft_ = kPixelBudget;
  QImage sharedPlaceholder_;
};

}  // namespace qzt::rtf
