// SHA-256, for keeping secrets (session tokens, resume codes) only as
// their digests on disk and in memory.
#pragma once

#include <string>
#include <string_view>

namespace qzt {

// The digest of `data` as 64 lower-case hex digits.
std::string sha256Hex(std::string_view data);

// Equal strings, compared in time that depends only on their lengths.
bool constantTimeEqual(std::string_view a, std::string_view b);

}  // namespace qzt
