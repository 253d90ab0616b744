// Unpacking a file group and packed data from arbitrary bytes into a
// scratch folder, once with whole blocks inflated in one call on the worker
// pool and once through zlib streaming alone. Both must leave the same
// files, bytes and outcome; a difference stops the fuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "fuzz_scratch.h"
#include "paper/format.h"
#include "paper/unpack.h"

namespace {

namespace fs = std::filesystem;

// Every file and folder under `root` with its bytes (folders as "/").
std::map<std::string, std::string> tree(const fs::path& root) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(e.path(), root).generic_string();
    out[name] = e.is_directory() ? std::string("/") : qzt::fuzz::fileBytes(e.path());
  }
  return out;
}

std::string outcome(const qzt::GroupResult& r, const fs::path& root) {
  std::string s = r.anchor ? fs::relative(*r.anchor, root).generic_string() : "-";
  if (r.failure) s += " " + std::to_string(r.failure->step) + " " + r.failure->message;
  for (const auto& busy : r.busyTargets) s += " busy " + fs::relative(busy, root).generic_string();
  return s;
}

std::string outcome(const qzt::Status& s) { return s.ok() ? "ok" : s.error().message; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = qzt::fuzz::inputFile(data, size);
  const auto whole = qzt::fuzz::emptyFolder("whole");
  const auto streamed = qzt::fuzz::emptyFolder("streamed");
  const auto streaming = qzt::UnpackLimits::streamingOnly();
  // A group's entries start after its 4 unread bytes, as the seeds do.
  const auto start = qzt::format::kGroupSkip;
  const auto a = qzt::unpackGroup(file, whole, 0, start);
  const auto b = qzt::unpackGroup(file, streamed, 0, start, streaming);
  const auto len = static_cast<std::int32_t>(size);
  const auto c = qzt::unpackPacked(file, whole / "packed", len, 0);
  const auto d = qzt::unpackPacked(file, streamed / "packed", len, 0, streaming);
  if (outcome(a, whole) != outcome(b, streamed) || outcome(c) != outcome(d) || tree(whole) != tree(streamed)) {
    std::abort();
  }
  // Reading names alone ends, and finds the anchor a whole unpacking found.
  const auto names = qzt::walkGroupNames(file, whole, 0, start);
  if (!a.failure && names.anchor != a.anchor) std::abort();
  return 0;
}
