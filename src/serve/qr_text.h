// A QR code for the terminal, drawn with block characters two modules per
// character row, dark on the terminal's light or dark background alike.
#pragma once

#include <string>

namespace qzt::serve {

// The QR code of `text` as lines of UTF-8 block characters with a quiet
// zone; empty when it cannot be encoded.
std::string qrText(const std::string& text);

}  // namespace qzt::serve
