#include "util/file_bytes.h"

#include <fstream>

namespace qzt {

Result<std::string> readFileBytes(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return Error::io("cannot read");
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return Error::io("cannot read");
  const std::streamoff size = in.tellg();
  if (size < 0) return Error::io("cannot read");
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  in.read(bytes.data(), size);
  // A file that changed size since it was measured reads as what was there.
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return Error::io("cannot read");
  return bytes;
}

}  // namespace qzt
