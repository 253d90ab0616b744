#include "classroom/file_names.h"

#include <gtest/gtest.h>

namespace qzt::classroom {
namespace {

struct StemCase {
  const char* name;
  const char* number;
  const char* stem;
};

class FileStemTest : public ::testing::TestWithParam<StemCase> {};

TEST_P(FileStemTest, SafeOnEverySystem) {
  EXPECT_EQ(fileStem(GetParam().name, GetParam().number), GetParam().stem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileStemTest,
    ::testing::Values(StemCase{"张三", "07", "07-张三"},
                      StemCase{"a/b\\c", "1", "1-a_b_c"},
                      StemCase{"..", "..", "__-"},
                      StemCase{"x<>:\"|?*", "2", "2-x_______"},
                      StemCase{"tab\there", "3", "3-tab_here"},
                      StemCase{"dots...", "4", "4-dots"},
                      StemCase{"a", "CON.1", "_CON.1-a"},
                      StemCase{"a", "nul.txt", "_nul.txt-a"},
                      StemCase{"a", "com1.", "_com1.-a"},
                      StemCase{"a", "com12.", "com12.-a"}));

TEST(FileStem, LongNamesAreCutAtACharacterBoundary) {
  std::string name;
  for (int i = 0; i < 60; ++i) name += "张";
  const std::string stem = fileStem(name, "1");
  EXPECT_LE(stem.size(), 96u);
  EXPECT_EQ((stem.size() - 2) % 3, 0u) << "a whole number of three-byte characters";
}

}  // namespace
}  // namespace qzt::classroom
