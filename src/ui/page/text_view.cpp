#include "page/text_view.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTextOption>
#include <QUrl>

#include <array>
#include <optional>

#include "desktop/link_opener.h"
#include "gbk_text.h"
#include "page/rtf_reader.h"

namespace {

constexpr qreal kPlainTabStop = 80;  // Qt's own; an RTF page sets its document's

struct ByteOrderMark {
  QByteArrayView bytes;
  QStringConverter::Encoding encoding;
};

constexpr std::array kMarks{
    ByteOrderMark{"\xEF\xBB\xBF", QStringConverter::Utf8},
    ByteOrderMark{"\xFF\xFE", QStringConverter::Utf16LE},
    ByteOrderMark{"\xFE\xFF", QStringConverter::Utf16BE},
};

}  // namespace

bool isRtf(const QByteArray& bytes) {
  return bytes.startsWith("{\\rtf");
}

QString plainText(const QByteArray& bytes) {
  for (const ByteOrderMark& mark : kMarks) {
    if (bytes.startsWith(mark.bytes)) {
      QStringDecoder decoder(mark.encoding, QStringDecoder::Flag::Stateless);
      return decoder.decode(QByteArrayView(bytes).sliced(mark.bytes.size()));
    }
  }
  return fromGbk(bytes);
}

namespace {

QString pageLines(const QByteArray& bytes) {
  QString text = plainText(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');  // a lone CR ends a line too
  return text;
}

std::optional<QByteArray> readWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return bytes;
}

}  // namespace

void showTextBytes(QTextEdit* view, const QByteArray& bytes) {
  view->clear();
  if (isRtf(bytes)) {
    readRtf(bytes, view->document());
    return;
  }
  view->setTabStopDistance(kPlainTabStop);
  view->setPlainText(pageLines(bytes));
}

bool loadTextFile(QTextEdit* view, const QString& path) {
  const std::optional<QByteArray> bytes = readWholeFile(path);
  if (!bytes) return false;
  showTextBytes(view, *bytes);
  return true;
}

std::unique_ptr<QTextDocument> readTextDocument(const QString& path) {
  const std::optional<QByteArray> bytes = readWholeFile(path);
  if (!bytes) return nullptr;
  auto document = std::make_unique<QTextDocument>();
  document->setUndoRedoEnabled(false);  // zoom steps are no edits to undo
  if (isRtf(*bytes)) {
    readRtf(*bytes, document.get());
    return document;
  }
  QTextOption option = document->defaultTextOption();
  option.setTabStopDistance(kPlainTabStop);
  document->setDefaultTextOption(option);
  document->setPlainText(pageLines(*bytes));
  return document;
}

void openLinksInBrowser(QTextBrowser* view) {
  view->setOpenLinks(false);
  QObject::connect(view, &QTextBrowser::anchorClicked, view, [view](const QUrl& url) {
    // "#name" is a place on the page (an RTF bookmark), never an address.
    if (url.isRelative() && url.path().isEmpty() && url.hasFragment()) {
      view->scrollToAnchor(url.fragment());
    } else {
      ielinknewwindows(url.toString());
    }
  });
}

QFont cjkFont(int pixelSize) {
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPixelSize(pixelSize);
  return font;
}

void scaleTextSizes(QTextDocument* document, double ratio, qreal unsizedPointSize) {
  QTextCursor cursor(document);
  cursor.beginEditBlock();
  qreal runSize = 0;  // the size the run [runStart, runEnd) gets
  int runStart = 0;
  int runEnd = 0;
  const auto flush = [&] {
    if (runEnd <= runStart) return;
    cursor.setPosition(runStart);
    cursor.setPosition(runEnd, QTextCursor::KeepAnchor);
    QTextCharFormat sized;
    sized.setFontPointSize(runSize);
    cursor.mergeCharFormat(sized);
  };
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QTextCharFormat format = fragment.charFormat();
      const qreal size = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() * ratio
                                                                         : unsizedPointSize;
      if (size != runSize) {  // a run goes on over line ends while the size holds
        flush();
        runSize = size;
        runStart = fragment.position();
      }
      runEnd = fragment.position() + fragment.length();
    }
  }
  flush();
  cursor.endEditBlock();
}
