#include "util/file_bytes.h"

#include <fstream>

namespace qzt {

Result<std::string> readFileBytes(const std::filesystem::path& path, std::uintmax_t limit) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) return Error::file(FileFault::Missing, "cannot read");
  const Error unreadable = Error::file(FileFault::Unreadable, "cannot read");
  if (status.type() != std::filesystem::file_type::regular) return unreadable;
  const std::uintmax_t measured = std::filesystem::file_size(path, ec);
  if (ec) return unreadable;
  if (measured > limit) return Error::file(FileFault::TooLarge, "too large");
  std::ifstream in(path, std::ios::binary);
  if (!in) return unreadable;
  std::string bytes(static_cast<std::size_t>(measured), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(measured));
  // A file that changed size since it was measured reads as what was there.
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return unreadable;
  return bytes;
}

}  // namespace qzt
