#include "side/link.h"

#include <gtest/gtest.h>

namespace qzt {
namespace {

TEST(LinkAddress, HttpPutInFrontOnlyWhenMissing) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"www.example.com", "http://www.example.com"},
      {"http://example.com", "http://example.com"},
      {"HTTP://Example.com/A", "HTTP://Example.com/A"},
      {"see http://example.com", "see http://example.com"},
      {"https://example.com", "https://example.com"},
      {"HTTPS://Example.com", "HTTPS://Example.com"},
      {"see https://example.com", "http://see https://example.com"},
      {"ftp://example.com", "http://ftp://example.com"},
      {"", "http://"},
  };
  for (const auto& c : cases) EXPECT_EQ(linkAddress(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace qzt
