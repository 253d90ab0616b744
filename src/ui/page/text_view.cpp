#include "page/text_view.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
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

void scaleTextSizes(QTextDocument* document, double ratio) {
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QFont font = fragment.charFormat().font();
      QTextCharFormat sized;
      if (font.pointSizeF() > 0) {
        sized.setFontPointSize(font.pointSizeF() * ratio);
      } else if (font.pixelSize() > 0) {
        QFont scaled = font;
        scaled.setPixelSize(qMax(1, qRound(font.pixelSize() * ratio)));
        sized.setFont(scaled, QTextCharFormat::FontPropertiesSpecifiedOnly);
      } else {
        continue;
      }
      QTextCursor cursor(document);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.mergeCharFormat(sized);
    }
  }
}
