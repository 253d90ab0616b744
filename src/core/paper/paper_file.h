// A paper file opened for reading, with its size known up front so that
// every read is checked against the end before it is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>

#include "util/result.h"

namespace qzt {

class PaperFile {
 public:
  static Result<PaperFile> open(const std::filesystem::path& path);

  std::int64_t size() const { return size_; }
  // Whether n bytes at pos lie inside the file.
  bool contains(std::int64_t pos, std::int64_t n) const {
    return pos >= 0 && n >= 0 && pos <= size_ && n <= size_ - pos;
  }
  // Reads exactly n bytes at pos; false (and nothing read) when they do not
  // lie inside the file or the read fails.
  [[nodiscard]] bool read(std::int64_t pos, void* dst, std::size_t n);
  std::optional<std::int32_t> int32At(std::int64_t pos);

 private:
  PaperFile(std::ifstream in, std::int64_t size) : in_(std::move(in)), size_(size) {}

  std::ifstream in_;
  std::int64_t size_ = 0;
};

}  // namespace qzt
