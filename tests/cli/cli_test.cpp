// Arguments, and the header refusals every paper command shares.
#include "cli_fixture.h"
#include "paper/format.h"
#include "sheet/exam_session.h"

namespace qzt::cli::testing {
namespace {

namespace f = qzt::format;

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
};

class UsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageTest, IsAUsageError) {
  const Outcome r = qzt(GetParam().args);
  EXPECT_EQ(r.status, kUsage);
  EXPECT_FALSE(r.err.empty());
  EXPECT_TRUE(r.out.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cli, UsageTest,
    ::testing::Values(UsageCase{"NoCommand", {}}, UsageCase{"UnknownCommand", {"frobnicate", "x.qzt"}},
                      UsageCase{"MissingPaper", {"info"}}, UsageCase{"MissingDir", {"extract", "p.qzt"}},
                      UsageCase{"NegativeOffset", {"info", "p.qzt", "--offset", "-1"}},
                      UsageCase{"OffsetNotANumber", {"info", "p.qzt", "--offset", "ten"}},
                      UsageCase{"UnknownGroup", {"extract", "p.qzt", "d", "--group", "answers"}},
                      UsageCase{"UnknownOption", {"info", "p.qzt", "--verbose"}},
                      UsageCase{"ExtraArgument", {"pack", "m.json", "out.qzt", "more"}},
                      UsageCase{"MissingAnswers", {"grade", "p.qzt"}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Cli, HelpListsTheCommandsAndSucceeds) {
  const Outcome r = qzt({"--help"});
  EXPECT_EQ(r.status, kDone);
  for (const char* command : {"info", "extract", "pack", "grade", "attach"}) {
    EXPECT_NE(r.out.find(command), std::string::npos) << command;
  }
}

// ---- Header refusals, the same for every command that reads a paper ----------

enum class Damage { Missing, Short, BadMagic, NewerVersion, Altered, OffsetPastEnd };

struct RefusalCase {
  const char* name;
  Damage damage;
  int status;
};

// One paper per damage; every command must refuse it the same way.
class RefusalTest : public CliTest, public ::testing::WithParamInterface<std::tuple<RefusalCase, const char*>> {
 protected:
  std::vector<std::string> paperArgs(const std::string& paper, std::vector<std::string> extra) {
    std::vector<std::string> args{std::get<1>(GetParam()), paper};
    const std::string command = args[0];
    if (command == "extract") args.push_back(arg("out"));
    if (command == "grade") args.push_back(writeBytes("KEY-1\r\n\r\n", "a.da"));
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
};

std::string damaged(Damage d) {
  writer::PaperSpec spec;
  spec.questions = {{"1", 1, 4, "A", 1, 7}};
  if (d == Damage::NewerVersion) spec.formatVersion = "1.0.1";
  std::string bytes = writer::buildPaper(spec).bytes;
  if (d == Damage::Short) bytes.resize(f::kHeaderSize - 1);
  if (d == Damage::BadMagic) {
    bytes[f::kMagic.offset + 4] = 'Z';
    PaperHeader::Bytes h{};
    std::copy_n(bytes.begin(), h.size(), h.begin());
    writer::sealHeader(h);
    bytes[f::kChecksum] = static_cast<char>(h[f::kChecksum]);
  }
  if (d == Damage::Altered) bytes[f::kTitle.offset + 1] ^= 0x01;
  return bytes;
}

TEST_P(RefusalTest, ExitsWithTheStateAndItsMessage) {
  const RefusalCase& c = std::get<0>(GetParam());
  std::string paper = arg("missing.qzt");
  std::vector<std::string> extra;
  if (c.damage != Damage::Missing) paper = writeBytes(damaged(c.damage), "paper.qzt");
  if (c.damage == Damage::OffsetPastEnd) extra = {"--offset", "4000"};

  const Outcome r = qzt(paperArgs(paper, extra));
  EXPECT_EQ(r.status, c.status);
  EXPECT_TRUE(r.out.empty());
  if (c.status >= f::kStateReaderTooOld) {
    EXPECT_EQ(r.err, ExamSession::messageForState(c.status) + "\n");
  } else {
    EXPECT_NE(r.err.find("qzt: "), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(path("out"))) << "nothing is unpacked from a refused paper";
}

INSTANTIATE_TEST_SUITE_P(
    Cli, RefusalTest,
    ::testing::Combine(::testing::Values(RefusalCase{"Missing", Damage::Missing, kUnreadable},
                                         RefusalCase{"Short", Damage::Short, kUnreadable},
                                         RefusalCase{"OffsetPastEnd", Damage::OffsetPastEnd, kUnreadable},
                                         RefusalCase{"BadMagic", Damage::BadMagic, f::kStateNotAPaper},
                                         RefusalCase{"NewerVersion", Damage::NewerVersion, f::kStateReaderTooOld},
                                         RefusalCase{"Altered", Damage::Altered, f::kStateAltered}),
                       ::testing::Values("info", "extract", "grade")),
    [](const auto& p) { return std::string(std::get<0>(p.param).name) + "_" + std::get<1>(p.param); });

}  // namespace
}  // namespace qzt::cli::testing
