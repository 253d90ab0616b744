// Paper passwords: unscrambling a 31-byte password block.
#pragma once

#include <array>
#include <optional>

#include "paper/format.h"
#include "util/bytes.h"

namespace qzt {

using PasswordBlock = std::array<unsigned char, format::kPasswordBlockSize>;

// The stored password: empty text means the paper has none. A block whose
// password bytes would lie outside it (S + N > 31) yields std::nullopt: a
// password that no typed text can match.
std::optional<ByteString> unscramblePassword(const PasswordBlock& block);

// Whether the block asks for a password at all.
bool hasPassword(const PasswordBlock& block);

// Byte-for-byte comparison of typed GBK text with the stored password.
bool passwordMatches(const PasswordBlock& block, const ByteString& typed);

}  // namespace qzt
