// The RTF reader (window side, QtCore and QtGui only) on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "page/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray rtf(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  (void)rtfToHtml(rtf);
  return 0;
}
