#include "paper/paper_file.h"

#include "util/bytes.h"

namespace qzt {

Result<PaperFile> PaperFile::open(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Error::io("cannot open " + path.string());
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  if (end < 0) return Error::io("cannot find the size of " + path.string());
  return PaperFile(std::move(in), static_cast<std::int64_t>(end));
}

bool PaperFile::read(std::int64_t pos, void* dst, std::size_t n) {
  if (!contains(pos, static_cast<std::int64_t>(n))) return false;
  in_.clear();
  in_.seekg(pos);
  in_.read(static_cast<char*>(dst), static_cast<std::streamsize>(n));
  return in_.good() && in_.gcount() == static_cast<std::streamsize>(n);
}

std::optional<std::int32_t> PaperFile::int32At(std::int64_t pos) {
  unsigned char b[4];
  if (!read(pos, b, sizeof b)) return std::nullopt;
  return decodeInt32(b);
}

}  // namespace qzt
