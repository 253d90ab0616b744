#include "side/about_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qzt {
namespace {

std::vector<int> heights(std::size_t n, int h) { return std::vector<int>(n, h); }

std::size_t labelCount(const std::vector<AboutItem>& items) {
  std::size_t n = 0;
  for (const AboutItem& item : items) n += item.gap ? 0 : 1;
  return n;
}

TEST(AboutText, EmptyLinesAreGapsAndBlankLinesAreLabels) {
  const auto items = parseAboutText("word\r\n\r\nanother\n   \rlast");
  ASSERT_EQ(items.size(), 5u);
  EXPECT_FALSE(items[0].gap);
  EXPECT_EQ(items[0].caption, "word");
  EXPECT_TRUE(items[1].gap);
  EXPECT_EQ(items[2].caption, "another");
  EXPECT_FALSE(items[3].gap);
  EXPECT_EQ(items[3].caption, "   ");
  EXPECT_EQ(items[4].caption, "last");

  // Label tops: 10, then + height + 6 per label and + 4 per gap.
  EXPECT_EQ(aboutLabelTops(items, {13, 20, 13, 13}), (std::vector<int>{10, 10 + 13 + 6 + 4, 59, 78}));
}

TEST(AboutText, AtMost96LabelsAreRead) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\r\n\r\n";
  const auto items = parseAboutText(text);
  EXPECT_EQ(labelCount(items), 96u);
  const auto last = std::find_if(items.rbegin(), items.rend(), [](const AboutItem& i) { return !i.gap; });
  EXPECT_EQ(last->caption, "line 95");
  EXPECT_TRUE(parseAboutText("").empty());
  EXPECT_EQ(labelCount(parseAboutText("\r\n\r\n\n")), 0u);
}

struct LinkCase {
  const char* line;
  const char* target;  // nullptr: not a link
};

class AboutLink : public ::testing::TestWithParam<LinkCase> {};

TEST_P(AboutLink, TargetIsLowerCasedFromHttpOn) {
  const auto items = parseAboutText(GetParam().line);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].caption, GetParam().line);  // shown as written
  if (GetParam().target == nullptr) {
    EXPECT_FALSE(items[0].link.has_value());
  } else {
    ASSERT_TRUE(items[0].link.has_value());
    EXPECT_EQ(*items[0].link, GetParam().target);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AboutLink,
    // Found in any letter case, the address is kept as written.
    ::testing::Values(LinkCase{"Site: HTTP://Example.COM/Path/Page.HTML", "HTTP://Example.COM/Path/Page.HTML"},
                      LinkCase{"http://a.example/ and http://b.example/", "http://a.example/ and http://b.example/"},
                      LinkCase{"https://secure.example/", nullptr},
                      LinkCase{"www.example.com", nullptr},
                      LinkCase{"Http:/missing.example", nullptr},
                      // GBK text before and in the address keeps its bytes (0x41 'A').
                      LinkCase{"\x81\x41 http://X.example/\x81\x41Z", "http://X.example/\x81\x41Z"}));

TEST(AboutText, WindowHeightAndScreenFit) {
  // One label: 37 + 10 + height + 40.
  const auto one = parseAboutText("only");
  const auto tops = aboutLabelTops(one, {15});
  ASSERT_EQ(tops.size(), 1u);
  EXPECT_EQ(aboutWindowHeight(tops[0], 15), 37 + 10 + 15 + 40);

  // 200 lines on a screen 600 high: cut to 598.
  std::string text;
  for (int i = 0; i < 200; ++i) text += "x\r\n";
  const auto many = parseAboutText(text);
  const auto manyTops = aboutLabelTops(many, heights(labelCount(many), 13));
  ASSERT_EQ(manyTops.size(), 96u);
  const int height = aboutWindowHeight(manyTops.back(), 13);
  EXPECT_GT(height, 600);
  EXPECT_EQ(fitToScreen(height, 600), 598);
  EXPECT_EQ(fitToScreen(281, 600), 281);
  EXPECT_EQ(fitToScreen(600, 600), 600);
}

}  // namespace
}  // namespace qzt
