#include "cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "commands.h"

namespace qzt::cli {
namespace {

void addPaper(CLI::App& cmd, PaperArgs& paper) {
  cmd.add_option("PAPER", paper.paper, "the paper file")->required();
}

void addOffset(CLI::App& cmd, PaperArgs& paper) {
  cmd.add_option("--offset", paper.offset, "byte position of the paper header in its file")
      ->check(CLI::NonNegativeNumber);
}

struct PasswordOptions {
  std::string open, grade;
  CLI::Option* openOption = nullptr;
  CLI::Option* gradeOption = nullptr;

  void add(CLI::App& cmd) {
    openOption = cmd.add_option("--password", open, "the opening password");
    gradeOption = cmd.add_option("--grade-password", grade, "the grading password");
  }
  PasswordArgs given() const {
    PasswordArgs p;
    if (openOption->count() > 0) p.open = open;
    if (gradeOption->count() > 0) p.grade = grade;
    return p;
  }
};

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"Inspect, unpack, grade and write exam papers.", "qzt"};
  app.require_subcommand(1);

  InfoArgs info;
  auto* infoCmd = app.add_subcommand("info", "show the paper's settings");
  addPaper(*infoCmd, info.paper);
  addOffset(*infoCmd, info.paper);
  infoCmd->add_flag("--json", info.json, "print one JSON object");

  ExtractArgs extract;
  PasswordOptions extractPasswords;
  auto* extractCmd = app.add_subcommand("extract", "unpack one group of the paper into DIR");
  addPaper(*extractCmd, extract.paper);
  extractCmd->add_option("DIR", extract.dir, "target folder")->required();
  extractCmd->add_option("--group", extract.group, "page, support, notes or comments")
      ->check(CLI::IsMember({"page", "support", "notes", "comments"}));
  addOffset(*extractCmd, extract.paper);
  extractPasswords.add(*extractCmd);

  PackArgs pack;
  auto* packCmd = app.add_subcommand("pack", "write a paper from a JSON manifest");
  packCmd->add_option("MANIFEST", pack.manifest, "the manifest (.json)")->required();
  packCmd->add_option("OUT", pack.out, "the paper to write")->required();

  GradeArgs grade;
  PasswordOptions gradePasswords;
  auto* gradeCmd = app.add_subcommand("grade", "import an answer file, hand in and grade");
  addPaper(*gradeCmd, grade.paper);
  gradeCmd->add_option("ANSWERS", grade.answers, "the answer file (.da)")->required();
  addOffset(*gradeCmd, grade.paper);
  gradePasswords.add(*gradeCmd);
  gradeCmd->add_flag("--json", grade.json, "print one JSON object");

  ReportArgs report;
  PasswordOptions reportPasswords;
  std::string reportCsv, reportHtml;
  auto* reportCmd = app.add_subcommand("report", "grade a class's answer files and report on the class");
  addPaper(*reportCmd, report.paper);
  reportCmd->add_option("ANSWERS", report.answers, "answer files (.da) or folders searched for them")
      ->required();
  addOffset(*reportCmd, report.paper);
  reportPasswords.add(*reportCmd);
  reportCmd->add_flag("--json", report.json, "print one JSON object");
  auto* csvOption = reportCmd->add_option("--csv", reportCsv, "write one line per graded file to FILE");
  auto* htmlOption = reportCmd->add_option("--html", reportHtml, "write the report as a web page to FILE");
  reportCmd->add_option("--pass", report.cutoffs.pass, "及格 at or above this percent of full marks (60)")
      ->check(CLI::Range(0.0, 100.0));
  reportCmd->add_option("--excellent", report.cutoffs.excellent, "优秀 at or above this percent (85)")
      ->check(CLI::Range(0.0, 100.0));
  reportCmd->add_option("--low", report.cutoffs.low, "低分 below this percent (40)")->check(CLI::Range(0.0, 100.0));

  ServeArgs serve;
  PasswordOptions servePasswords;
  std::string serveRoster;
  auto* serveCmd = app.add_subcommand("serve", "serve the paper to the browsers of a classroom");
  addPaper(*serveCmd, serve.paper);
  serveCmd->add_option("--answers", serve.answers, "the folder that keeps every candidate's answers")
      ->required();
  serveCmd->add_option("--listen", serve.listen, "ADDR:PORT to listen on (default 0.0.0.0:8080)");
  addOffset(*serveCmd, serve.paper);
  servePasswords.add(*serveCmd);
  auto* rosterOption = serveCmd->add_option("--roster", serveRoster, "the class list (CSV with a header)");
  serveCmd->add_option("--results", serve.results, "when candidates see their results")
      ->check(CLI::IsMember({"now", "after-close", "never"}));

  AttachArgs attach;
  auto* attachCmd = app.add_subcommand("attach", "copy a reader with a paper attached to it");
  attachCmd->add_option("READER", attach.reader, "the reader program")->required();
  attachCmd->add_option("PAPER", attach.paper, "the paper to attach")->required();
  attachCmd->add_option("OUT", attach.out, "the copy to write")->required();

  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e, out, err);
    return code == 0 ? kDone : kUsage;
  }

  if (*infoCmd) return infoCommand(info, out, err);
  if (*extractCmd) {
    extract.passwords = extractPasswords.given();
    return extractCommand(extract, out, err);
  }
  if (*packCmd) return packCommand(pack, out, err);
  if (*gradeCmd) {
    grade.passwords = gradePasswords.given();
    return gradeCommand(grade, out, err);
  }
  if (*reportCmd) {
    report.passwords = reportPasswords.given();
    if (csvOption->count() > 0) report.csv = reportCsv;
    if (htmlOption->count() > 0) report.html = reportHtml;
    return reportCommand(report, out, err);
  }
  if (*attachCmd) return attachCommand(attach, out, err);
  if (*serveCmd) {
    serve.passwords = servePasswords.given();
    if (rosterOption->count() > 0) serve.roster = serveRoster;
    return serveCommand(serve, out, err);
  }
  return kUsage;
}

}  // namespace qzt::cli
