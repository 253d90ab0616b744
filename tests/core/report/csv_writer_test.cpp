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
                      FieldCase{"CarriageReturn", "a\rb", "\"a\rb\""},
                      FieldCase{"Formula", "=1+1", "'=1+1"},
                      FieldCase{"FormulaWithQuotes", "=HYPERLINK(\"http://e.vil\",\"ok\")",
                                "\"'=HYPERLINK(\"\"http://e.vil\"\",\"\"ok\"\")\""},
                      FieldCase{"Plus", "+1+1.da", "'+1+1.da"},
                      FieldCase{"Minus", "-1+1.da", "'-1+1.da"},
                      FieldCase{"At", "@SUM(1+1).da", "'@SUM(1+1).da"},
                      FieldCase{"LeadingTab", "\t=1", "'\t=1"},
                      FieldCase{"LeadingCarriageReturn", "\r=1", "\"'\r=1\""},
                      FieldCase{"NegativeScoreStaysANumber", "-1.5", "-1.5"},
                      FieldCase{"InnerSignsStay", "a=1-2", "a=1-2"}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace qzt::report
