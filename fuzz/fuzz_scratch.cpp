#include "fuzz_scratch.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include <unistd.h>

namespace qzt::fuzz {
namespace {

// Never destroyed, so the exit handler below can still use it.
const std::filesystem::path& base() {
  static const std::filesystem::path& dir = *[] {
    auto* d = new std::filesystem::path(std::filesystem::temp_directory_path() /
                                        ("qzt-fuzz-" + std::to_string(static_cast<long>(::getpid()))));
    std::filesystem::create_directories(*d);
    // Gone when the fuzzer ends normally; a crash leaves it for a look.
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(base(), ec);
    });
    return d;
  }();
  return dir;
}

}  // namespace

std::filesystem::path inputFile(const std::uint8_t* data, std::size_t size) {
  auto path = base() / "input.qzt";
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

std::filesystem::path emptyFolder(const char* name) {
  auto dir = base() / name;
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::filesystem::create_directories(dir, ec);
  return dir;
}

std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace qzt::fuzz
