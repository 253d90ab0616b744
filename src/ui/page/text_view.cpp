#include "page/text_view.h"

#include <QFile>
#include <QTextEdit>

#include "gbk_text.h"
#include "page/rtf_reader.h"

bool isRtf(const QByteArray& bytes) {
  return bytes.startsWith("{\\rtf");
}

void showTextBytes(QTextEdit* view, const QByteArray& bytes) {
  if (isRtf(bytes)) {
    view->setHtml(rtfToHtml(bytes));
  } else {
    QString text = fromGbk(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');  // a lone CR ends a line too
    view->setPlainText(text);
  }
}

bool loadTextFile(QTextEdit* view, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return false;
  showTextBytes(view, bytes);
  return true;
}

QFont cjkFont(int pixelSize) {
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPixelSize(pixelSize);
  return font;
}
