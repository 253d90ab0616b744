#include "classroom/roster.h"

#include <gtest/gtest.h>

#include "util/gbk.h"

namespace qzt::classroom {
namespace {

TEST(Roster, ReadsUtf8GbkAndQuotedFields) {
  const std::string utf8 = "\xEF\xBB\xBF学号,姓名,班级\r\n1,张三,一班\r\n\r\n2,\"李, 四\",一班\r\n";
  const std::string gbk = utf8ToGbk(utf8.substr(3)).value();
  for (const std::string& bytes : {utf8, gbk}) {
    auto people = parseRoster(bytes);
    ASSERT_TRUE(people.ok());
    ASSERT_EQ(people.value().size(), 2u);
    EXPECT_EQ(people.value()[0].name, "张三");
    EXPECT_EQ(people.value()[0].number, "1");
    EXPECT_EQ(people.value()[1].name, "李, 四");
  }
}

TEST(Roster, EnglishHeaderInAnyCase) {
  auto people = parseRoster("Number,Name\n5,Ann\n");
  ASSERT_TRUE(people.ok());
  EXPECT_EQ(people.value()[0].name, "Ann");
  EXPECT_EQ(people.value()[0].number, "5");
}

TEST(Roster, RefusesWhatIsNotAClassList) {
  for (const char* bytes : {"", "\n\n", "a,b\n1,2\n", "name,number\n,1\n", "name,number\nAnn\n"}) {
    EXPECT_FALSE(parseRoster(bytes).ok()) << bytes;
  }
}

}  // namespace
}  // namespace qzt::classroom
