// Opening and loading a paper from arbitrary bytes: header tests, support
// group, question table, page group.
#include <cstddef>
#include <cstdint>

#include "fuzz_scratch.h"
#include "paper/opening.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto paper = qzt::fuzz::inputFile(data, size);
  const auto work = qzt::fuzz::emptyFolder();
  const auto opened = qzt::openPaper(paper, 0, work);
  if (opened.ioError || opened.stateCode != 0) return 0;
  auto loaded = qzt::readPaper(paper, 0);
  if (!loaded.ok()) return 0;
  (void)qzt::unpackPaper(loaded.value(), work);
  return 0;
}
