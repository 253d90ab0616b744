// The RTF reader (window side, QtCore and QtGui only) on arbitrary bytes,
// laid out as a page view would: tables, pictures and formats all reach
// Qt's layout.
#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include "page/rtf_reader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray rtf(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QTextDocument document;
  readRtf(rtf, &document);
  document.setTextWidth(600);
  (void)document.size();
  return 0;
}
