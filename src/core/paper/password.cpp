#include "paper/password.h"

namespace qzt {

std::optional<ByteString> unscramblePassword(const PasswordBlock& block) {
  const unsigned key = block[format::kPasswordKey];
  const unsigned start = block[format::kPasswordStart];
  const unsigned length =
      (block[format::kPasswordLengthA] - block[format::kPasswordLengthB]) & 0xFFu;
  if (length == 0) return ByteString();
  // Bytes outside the block are not a password anyone could type.
  if (start + length > block.size()) return std::nullopt;
  ByteString password;
  for (unsigned i = 0; i < length; ++i) {
    const unsigned b = block[start + i];
    password.push_back(static_cast<char>((b - key + format::kPasswordOffset) & 0xFFu));
  }
  return password;
}

bool hasPassword(const PasswordBlock& block) {
  const auto password = unscramblePassword(block);
  return !password || !password->empty();
}

bool passwordMatches(const PasswordBlock& block, const ByteString& typed) {
  const auto password = unscramblePassword(block);
  return password && *password == typed;
}

}  // namespace qzt
