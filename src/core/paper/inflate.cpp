#include "paper/inflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "paper/format.h"

namespace qzt {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
// Output goes out in large writes: one system call per 1 MiB, not per 64 KiB.
constexpr std::size_t kOutputChunk = 1024 * 1024;

// Owns a z_stream for inflating; ends it on every path out.
class Inflater {
 public:
  Inflater() { ok_ = inflateInit(&z_) == Z_OK; }
  ~Inflater() {
    if (ok_) inflateEnd(&z_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  bool ok() const { return ok_; }
  z_stream& z() { return z_; }

 private:
  z_stream z_{};
  bool ok_ = false;
};

struct DecompressorFree {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// One per thread: a decompressor is not shared between calls in flight.
libdeflate_decompressor* threadDecompressor() {
  thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFree> d(libdeflate_alloc_decompressor());
  return d.get();
}

}  // namespace

std::int64_t maxUnpackedLength(std::int64_t streamLen) {
  // One extra round of the ratio covers the stream's own header and trailer.
  return (std::max<std::int64_t>(streamLen, 0) + 1) * format::kMaxInflateRatio;
}

Status inflateTo(PaperFile& in, std::int64_t pos, std::int64_t streamLen, std::int64_t want,
                 platform::PositionedFile& out, std::int64_t outPos, int step) {
  if (want == 0) return Status::success();
  Inflater inflater;
  if (!inflater.ok()) return Error::io("cannot start inflating", step);
  z_stream& z = inflater.z();
  std::vector<unsigned char> input(kChunk);
  std::vector<unsigned char> output(kOutputChunk);
  std::int64_t inputLeft = streamLen;
  std::int64_t written = 0;
  while (written < want) {
    const auto room = static_cast<std::size_t>(std::min<std::int64_t>(want - written, kOutputChunk));
    z.next_out = output.data();
    z.avail_out = static_cast<uInt>(room);
    int rc = Z_OK;
    // The output chunk fills over as many input chunks as it takes.
    while (rc == Z_OK && z.avail_out > 0) {
      if (z.avail_in == 0 && inputLeft > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(inputLeft, kChunk));
        if (!in.read(pos, input.data(), n)) return Error::io("packed data runs past the end", step);
        pos += static_cast<std::int64_t>(n);
        inputLeft -= static_cast<std::int64_t>(n);
        z.next_in = input.data();
        z.avail_in = static_cast<uInt>(n);
      }
      rc = inflate(&z, Z_NO_FLUSH);
    }
    const std::size_t produced = room - z.avail_out;
    if (!out.writeAt(outPos + written, output.data(), produced)) {
      return Error::io("cannot write an unpacked file", step);
    }
    written += static_cast<std::int64_t>(produced);
    if (written == want) break;
    if (rc == Z_STREAM_END) return Error::corrupt("packed data is shorter than it claims", step);
    if (rc == Z_BUF_ERROR && z.avail_in == 0 && inputLeft == 0) {
      return Error::corrupt("packed data ends inside its stream", step);
    }
    if (rc != Z_OK && rc != Z_BUF_ERROR) return Error::corrupt("packed data is not a zlib stream", step);
  }
  return Status::success();
}

bool inflateWhole(std::span<const unsigned char> stream, std::span<unsigned char> out) {
  libdeflate_decompressor* d = threadDecompressor();
  // No actual-length argument: anything but exactly out.size() bytes fails.
  return d != nullptr && libdeflate_zlib_decompress(d, stream.data(), stream.size(), out.data(), out.size(),
                                                    nullptr) == LIBDEFLATE_SUCCESS;
}

}  // namespace qzt
