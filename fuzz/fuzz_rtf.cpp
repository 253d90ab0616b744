// The RTF reader (window side, QtCore and QtGui only) on arbitrary bytes,
// laid out as a page view would: tables, pictures and formats all reach
// Qt's layout.
#include <cstddef>
#include <cstdint>

#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include "page/rtf_reader.h"

// Fontconfig keeps what Qt asks of it when a page needs a fallback font; the
// leak check after each input would blame whichever input first needed it.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

// Layout needs fonts, and fonts a QGuiApplication; it sees none of the
// fuzzer's own arguments.
extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char* args[] = {(*argv)[0], nullptr};
  static QGuiApplication app(argc, args);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray rtf(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // Laid out before reading, as a view's document is: the layout sees every
  // change the reader makes, as it does in the window.
  QTextDocument document;
  document.setTextWidth(600);
  (void)document.documentLayout();
  readRtf(rtf, &document);
  (void)document.size();
  return 0;
}
