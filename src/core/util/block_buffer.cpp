#include "util/block_buffer.h"

#include <new>

#include "util/platform.h"

namespace qzt {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSmallAlignment = 64;

}  // namespace

BlockBuffer::BlockBuffer(std::size_t size) {
  // Smaller buffers stay on ordinary pages: a whole huge page cleared for
  // a few kilobytes would cost more than the faults it saves.
  const bool huge = size >= kHugePage;
  capacity_ = huge ? (size + kHugePage - 1) / kHugePage * kHugePage : size;
  const std::align_val_t align{huge ? kHugePage : kSmallAlignment};
  void* p = ::operator new(capacity_, align);
  if (huge) platform::preferHugePages(p, capacity_);
  bytes_ = {static_cast<unsigned char*>(p), Free{align}};
}

void BlockBuffer::Free::operator()(unsigned char* p) const { ::operator delete(p, align); }

}  // namespace qzt
