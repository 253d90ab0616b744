#include "gbk_text.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextDocument>
#include <QtGlobal>
#include <string_view>

#include "util/gbk.h"

namespace {

constexpr char kCodec[] = "GB18030";

}  // namespace

QString fromGbk(const QByteArray& gbk) {
  // GB18030 keeps ASCII as it is; a page in ASCII needs no converter.
  if (qzt::isAscii(std::string_view(gbk.constData(), static_cast<std::size_t>(gbk.size())))) {
    return QString::fromLatin1(gbk);
  }
  QStringDecoder decoder(kCodec, QStringDecoder::Flag::Stateless);
  if (!decoder.isValid()) qFatal("This Qt has no %s codec; paper text cannot be shown.", kCodec);
  return decoder.decode(gbk);
}

QString fromGbk(const std::string& gbk) {
  return fromGbk(QByteArray::fromStdString(gbk));
}

QByteArray toGbk(const QString& text) {
  QStringEncoder encoder(kCodec, QStringEncoder::Flag::Stateless);
  if (!encoder.isValid()) qFatal("This Qt has no %s codec; typed text cannot be kept.", kCodec);
  return encoder.encode(text);
}

std::string toGbkString(const QString& text) {
  return toGbk(text).toStdString();
}

QString plainToolTip(const QString& text) {
  return text.isEmpty() ? QString() : Qt::convertFromPlainText(text);
}
