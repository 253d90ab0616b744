// Unpacking a file group and packed data from arbitrary bytes into a
// scratch folder.
#include <cstddef>
#include <cstdint>

#include "fuzz_scratch.h"
#include "paper/format.h"
#include "paper/unpack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = qzt::fuzz::inputFile(data, size);
  const auto work = qzt::fuzz::emptyFolder();
  // A group's entries start after its 4 unread bytes, as the seeds do.
  (void)qzt::unpackGroup(file, work, 0, qzt::format::kGroupSkip);
  (void)qzt::unpackPacked(file, work / "packed", static_cast<std::int32_t>(size), 0);
  return 0;
}
