#include "util/file_report.h"

#include <gtest/gtest.h>

namespace qzt {
namespace {

TEST(FileReport, NamesTheFileAndTheReason) {
  const std::pair<FileFault, const char*> cases[] = {
      {FileFault::Missing, "文件“/试卷/unit 1.qzt”不存在。"},
      {FileFault::TooShort, "文件“/试卷/unit 1.qzt”太短，不是完整的试卷。"},
      {FileFault::Unreadable, "文件“/试卷/unit 1.qzt”无法读取。"},
      {FileFault::TooLarge, "文件“/试卷/unit 1.qzt”太大。"},
      {FileFault::None, "文件“/试卷/unit 1.qzt”无法读取。"},
  };
  const std::filesystem::path file(u8"/试卷/unit 1.qzt");
  for (const auto& [fault, text] : cases) EXPECT_EQ(fileErrorReport(file, fault), text);
}

}  // namespace
}  // namespace qzt
