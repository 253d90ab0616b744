// Unpacking embedded files: file groups and packed data.
//
// A file group is a run of entries, each a 10-byte head (byte 0: 1 folder,
// 2 file), an int32 name length and the GBK name; a file entry adds an
// int32 packed size and that many bytes of packed data. Packed data is one
// block, or a run of blocks each behind the 8-byte block marker and an
// int32 block size. A block is the int32 unpacked length U and a zlib
// stream that inflates to at least U bytes; exactly U are kept.
//
// Names are refused when they could write outside the target folder (empty,
// absolute, drive letter, "..", NUL, through a symbolic link). "\" is the
// separator in stored names.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "paper/unpack_limits.h"
#include "util/result.h"

namespace qzt {

struct GroupResult {
  // Full path of the last file unpacked directly into the target folder;
  // empty when the group had none (callers then keep their previous anchor).
  std::optional<std::filesystem::path> anchor;
  // Set when the group ended early; step is the stage reached (80..87).
  std::optional<Error> failure;
  // Targets that existed but could not be replaced: the reader shows
  // "文件正被打开或调用!请先关闭!" for each and the group goes on.
  std::vector<std::filesystem::path> busyTargets;
};

// What the reader shows for each busy target.
inline constexpr char kBusyTargetText[] = "文件正被打开或调用!请先关闭!";

// getallfile: unpacks the group whose first entry head is at `start` of
// `paper` into `target`. `budget` 0 = no budget; 1..10 or negative unpacks
// nothing. A missing paper file returns an empty result.
GroupResult unpackGroup(const std::filesystem::path& paper, const std::filesystem::path& target,
                        std::int32_t budget, std::int32_t start, const UnpackLimits& limits = {});

// The entries of the same group read without writing or inflating
// anything: names are checked as unpacking checks them, and the anchor is
// where unpacking would put its file. Busy targets and inflate failures
// only unpacking can find.
GroupResult walkGroupNames(const std::filesystem::path& paper, const std::filesystem::path& target,
                           std::int32_t budget, std::int32_t start);

// DeCompressionfile: unpacks the packed data of `size` bytes at `pos` into
// the file `out` (replaced). Size 0 touches nothing. An inflate or read
// failure is an Error with step kStepInflate; a target that cannot be
// created or replaced is an Io error with kBusyTargetText and step 0.
Status unpackPacked(const std::filesystem::path& paper, const std::filesystem::path& out,
                    std::int32_t size, std::int32_t pos, const UnpackLimits& limits = {});

// getfilelen: size of a file, 0 when it does not exist.
std::int64_t fileLength(const std::filesystem::path& path);

// The error box text: "异常Y<step>，" (only for step > 0), then
// "请与软件作者联系!E-mail:" + contact + "!", then CR LF + extra if any.
std::string errorBoxText(int step, const std::string& extraUtf8 = {});

// The contact address and download site the build was configured with.
const char* contactEmail();
const char* downloadSite();

}  // namespace qzt
