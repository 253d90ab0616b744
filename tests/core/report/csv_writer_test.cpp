#include "report/csv_writer.h"

#include <gtest/gtest.h>

namespace qzt::report {
namespace {

struct FieldCase {
  const char* name;
  std::string text;
  std::string field;
};

class CsvFields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvFields, QuotesOnlyWhatNeedsIt) { EXPECT_EQ(csvField(GetParam().text), GetParam().field); }

INSTANTIATE_TEST_SUITE_P(
    Csv, CsvFields,
    ::testing::Values(FieldCase{"Plain", "班级/张三.da", "班级/张三.da"},
                      FieldCase{"Empty", "", ""},
                      FieldCase{"Blanks", " a b ", " a b "},
                      FieldCase{"Comma", "a,b", "\"a,b\""},
                      FieldCase{"Quote", "say \"hi\"", "\"say \"\"hi\"\"\""},
                      FieldCase{"LineFeed", "a\nb", "\"a\nb\""},
                      FieldCase{"CarriageReturn", "a\rb", "\"a\rb\""}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace qzt::report
