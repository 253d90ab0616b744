#include "page/rtf/picture.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace qzt::rtf {
namespace {

constexpr double kTwipsPerPixel = 15;                 // 1440 per inch, 96 pixels per inch
constexpr double kHundredthsMmPerPixel = 2540 / 96.0;  // metafile sizes
constexpr double kUnknownSide = 48;
constexpr int kSharedSide = 16;

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One side on screen: the goal in twips, else the decoded image's own, else
// \picw/\pich (the picture's own size as the writer states it); then scaled.
double side(int goal, int stated, bool metafile, int natural, int scale) {
  double pixels = kUnknownSide;
  if (goal > 0) pixels = goal / kTwipsPerPixel;
  else if (natural > 0) pixels = natural;
  else if (stated > 0) pixels = metafile ? stated / kHundredthsMmPerPixel : stated;
  if (scale > 0) pixels = pixels * scale / 100.0;
  return std::clamp(pixels, 1.0, PictureMaker::kMaxSide);
}

// A light box with a frame and its diagonals: where a picture would be.
QImage framed(QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(0xf2, 0xf2, 0xf2));
  QPainter painter(&image);
  painter.setPen(QColor(0x80, 0x80, 0x80));
  const QRect frame = image.rect().adjusted(0, 0, -1, -1);
  painter.drawRect(frame);
  painter.drawLine(frame.topLeft(), frame.bottomRight());
  painter.drawLine(frame.bottomLeft(), frame.topRight());
  return image;
}

// The format the bytes are in, whatever the picture's label says: writers
// have put PNG bytes under \jpegblip.
const char* formatOf(const QByteArray& data) {
  if (data.startsWith("\x89PNG\r\n\x1a\n")) return "png";
  if (data.startsWith("\xff\xd8\xff")) return "jpeg";
  return nullptr;
}

}  // namespace

void PictureData::addHex(QByteArrayView text) {
  for (const char c : text) {
    const int v = hexValue(c);
    if (v < 0) continue;
    if (highNibble_ < 0) {
      highNibble_ = v;
    } else {
      bytes_.append(static_cast<char>(highNibble_ * 16 + v));
      highNibble_ = -1;
    }
  }
}

void PictureData::addBinary(QByteArrayView bytes) { bytes_.append(bytes); }

bool PictureMaker::spend(qint64 pixels) {
  if (pixels > pixelsLeft_) return false;
  pixelsLeft_ -= pixels;
  return true;
}

QImage PictureMaker::decode(const QByteArray& data) {
  const char* format = formatOf(data);
  if (!format) return {};
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  const QSize size = reader.size();  // from the header, before any pixel is allocated
  if (size.isEmpty() || !spend(qint64(size.width()) * size.height())) return {};
  return reader.read();
}

QImage PictureMaker::placeholder(QSizeF size) {
  const QSize pixels = size.toSize().expandedTo(QSize(1, 1));
  if (spend(qint64(pixels.width()) * pixels.height())) return framed(pixels);
  if (sharedPlaceholder_.isNull()) sharedPlaceholder_ = framed(QSize(kSharedSide, kSharedSide));
  return sharedPlaceholder_;
}

Picture PictureMaker::make(const PictureProps& props, const QByteArray& data) {
  Picture picture;
  picture.image = decode(data);
  const bool metafile = props.kind == PictureKind::Metafile;
  picture.size = QSizeF(side(props.goalWidth, props.width, metafile, picture.image.width(), props.scaleX),
                        side(props.goalHeight, props.height, metafile, picture.image.height(), props.scaleY));
  if (picture.image.isNull()) {
    picture.placeholder = true;
    picture.image = placeholder(picture.size);
  }
  return picture;
}

}  // namespace qzt::rtf
