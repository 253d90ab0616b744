#include "qr_text.h"

#include <qrencode.h>

namespace qzt::serve {

std::string qrText(const std::string& text) {
  QRcode* code = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
  if (code == nullptr) return {};
  const int width = code->width, quiet = 2, size = width + 2 * quiet;
  auto dark = [&](int x, int y) {
    x -= quiet;
    y -= quiet;
    if (x < 0 || y < 0 || x >= width || y >= width) return false;
    return (code->data[y * width + x] & 1) != 0;
  };
  // Light modules drawn as blocks, so the code reads on a dark terminal.
  std::string out;
  for (int y = 0; y < size; y += 2) {
    for (int x = 0; x < size; ++x) {
      const bool top = !dark(x, y), bottom = y + 1 < size ? !dark(x, y + 1) : false;
      out += top && bottom ? "█" : top ? "▀" : bottom ? "▄" : " ";
    }
    out += '\n';
  }
  QRcode_free(code);
  return out;
}

}  // namespace qzt::serve
