// Memory for one whole block in flight: uninitialised, and in 2 MiB pages
// where the system gives them. Each page first touched is a fault (and,
// under a hypervisor, an exit), so a 4 MiB block costs 2 faults instead
// of 1,024, and inflating into it misses the TLB less.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace qzt {

class BlockBuffer {
 public:
  BlockBuffer() = default;
  // Room for at least `size` bytes; throws std::bad_alloc as new does.
  explicit BlockBuffer(std::size_t size);

  unsigned char* data() const { return bytes_.get(); }
  std::size_t capacity() const { return capacity_; }

 private:
  struct Free {
    std::align_val_t align;
    void operator()(unsigned char* p) const;
  };
  std::unique_ptr<unsigned char[], Free> bytes_{nullptr, Free{std::align_val_t{1}}};
  std::size_t capacity_ = 0;
};

}  // namespace qzt
