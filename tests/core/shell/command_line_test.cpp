#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qzt {
namespace {

struct CommandCase {
  const char* name;
  std::vector<std::string> args;  // after the program name
  std::string paper;
};

class CommandLine : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandLine, PaperIsTheTextUpToOnePastQzt) {
  EXPECT_EQ(commandLinePaper(GetParam().args), GetParam().paper);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLine,
    ::testing::Values(
        // A quoted program path and an unquoted paper path: the shell hands
        // the paper over as one argument, its case kept.
        CommandCase{"WindowsStylePaper", {"D:\\Papers\\unit 1.qzt"}, "D:\\Papers\\unit 1.qzt"},
        CommandCase{"BlanksSplitIntoArguments", {"/home/me/My", "Papers/unit", "1.qzt"},
                    "/home/me/My Papers/unit 1.qzt"},
        CommandCase{"UpperCaseExtensionFoundCaseKept", {"/Exams/Unit1.QZT"}, "/Exams/Unit1.QZT"},
        CommandCase{"MixedCaseExtension", {"a.QzT"}, "a.QzT"},
        CommandCase{"OneCharacterAfterExtensionKept", {"unit.qztx"}, "unit.qztx"},
        CommandCase{"RestAfterThatDropped", {"unit.qzt", "--fullscreen"}, "unit.qzt"},
        CommandCase{"FirstQztWins", {"a.qzt.b.qzt"}, "a.qzt."},
        CommandCase{"QuotesKept", {"\"/p/unit.qzt\""}, "\"/p/unit.qzt\""},
        CommandCase{"BlanksAndControlsTrimmed", {"\t /p/unit.qzt \r\n"}, "/p/unit.qzt"},
        CommandCase{"NoExtension", {"/p/unit.txt"}, ""},
        CommandCase{"ExtensionWithoutDot", {"/p/unitqzt"}, ""},
        CommandCase{"NoArguments", {}, ""}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(CommandLineText, SameRuleOnJoinedText) {
  EXPECT_EQ(commandLinePaper(std::string_view("  x y.Qzt  z")), "x y.Qzt");
  EXPECT_EQ(commandLinePaper(std::string_view("")), "");
}

struct InfoCase {
  const char* name;
  std::vector<std::string> args;
  InfoRequest request;
};

class CommandLineInfo : public ::testing::TestWithParam<InfoCase> {};

TEST_P(CommandLineInfo, OnlyALoneOptionIsARequest) {
  EXPECT_EQ(infoRequest(GetParam().args), GetParam().request);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineInfo,
    ::testing::Values(
        InfoCase{"Help", {"--help"}, InfoRequest::Help},
        InfoCase{"Version", {"--version"}, InfoRequest::Version},
        InfoCase{"NoArguments", {}, InfoRequest::None},
        InfoCase{"Paper", {"unit.qzt"}, InfoRequest::None},
        // Beside other words the option is part of a paper path.
        InfoCase{"NotAlone", {"--help", "unit.qzt"}, InfoRequest::None},
        InfoCase{"TwoOptions", {"--help", "--version"}, InfoRequest::None},
        InfoCase{"CaseMatters", {"--HELP"}, InfoRequest::None},
        InfoCase{"PaperNamedLikeTheOption", {"--help.qzt"}, InfoRequest::None}),
    [](const auto& c) { return std::string(c.param.name); });

}  // namespace
}  // namespace qzt
