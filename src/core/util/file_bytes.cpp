#include "util/file_bytes.h"

#include <fstream>

namespace qzt {

Result<std::string> readFileBytes(const std::filesystem::path& path) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) return Error::file(FileFault::Missing, "cannot read");
  const Error unreadable = Error::file(FileFault::Unreadable, "cannot read");
  if (status.type() != std::filesystem::file_type::regular) return unreadable;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return unreadable;
  const std::streamoff size = in.tellg();
  if (size < 0) return unreadable;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  in.read(bytes.data(), size);
  // A file that changed size since it was measured reads as what was there.
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return unreadable;
  return bytes;
}

}  // namespace qzt
