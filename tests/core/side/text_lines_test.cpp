#include "side/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace qzt {
namespace {

TEST(SplitLines, EveryLineEndAndTheLastTerminator) {
  const struct {
    std::string text;
    std::vector<ByteString> lines;
  } cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\rb\n\nc", {"a", "", "b", "", "c"}},
      {std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitLines(c.text), c.lines) << c.text;
}

}  // namespace
}  // namespace qzt
