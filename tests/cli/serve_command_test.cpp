#include "cli_fixture.h"

namespace qzt::cli::testing {
namespace {

// What `qzt serve` refuses before it listens (its running is tested over
// HTTP in tests/serve).
TEST_F(CliTest, ServeRefusesBeforeListening) {
  writer::PaperSpec spec;
  spec.openPassword = "open";
  const std::string paper = writePaper(spec);
  const std::string answers = arg("answers");
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"serve", paper}, kUsage},
      {{"serve", paper, "--answers", answers, "--results", "sometimes"}, kUsage},
      {{"serve", paper, "--answers", answers, "--listen", "nowhere"}, kUsage},
      {{"serve", paper, "--answers", answers, "--listen", "127.0.0.1:70000"}, kUsage},
      {{"serve", arg("missing.qzt"), "--answers", answers}, kUnreadable},
      {{"serve", paper, "--answers", answers, "--password", "wrong"}, kWrongPassword},
      {{"serve", paper, "--answers", answers, "--password", "open", "--roster", arg("none.csv")}, kUnreadable},
  };
  for (const Case& c : cases) {
    const Outcome r = qzt(c.args);
    EXPECT_EQ(r.status, c.status) << c.args.back() << ": " << r.err;
  }
  EXPECT_FALSE(fs::exists(path("answers"))) << "nothing is written before the server starts";
}

}  // namespace
}  // namespace qzt::cli::testing
