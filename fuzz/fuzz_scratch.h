// A per-process scratch file and folder for fuzz targets that need real
// files, cleaned between inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace qzt::fuzz {

// Writes the input to this process's scratch file and returns its path.
std::filesystem::path inputFile(const std::uint8_t* data, std::size_t size);
// An empty folder for unpacking into; emptied on every call.
std::filesystem::path emptyFolder(const char* name = "unpack");
// The whole content of a file.
std::string fileBytes(const std::filesystem::path& path);

}  // namespace qzt::fuzz
