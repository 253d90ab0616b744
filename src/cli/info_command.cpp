#include <algorithm>
#include <nlohmann/json.hpp>

#include "cli.h"
#include "commands.h"
#include "util/gbk.h"

namespace qzt::cli {

// The paper's settings; never a password or an answer.
int infoCommand(const InfoArgs& args, std::ostream& out, std::ostream& err) {
  PaperHeader h;
  if (const int status = readTestedHeader(args.paper, h, err); status != kDone) return status;

  nlohmann::ordered_json info;
  info["title"] = gbkToUtf8(h.title());
  info["question_count"] = h.questionCount();
  info["time_limit"] = h.timeLimit();
  info["format_version"] = gbkToUtf8(h.formatVersion());
  info["paper_key"] = gbkToUtf8(h.paperKey());
  info["status_text"] = gbkToUtf8(h.statusText());
  info["about_caption"] = gbkToUtf8(h.aboutCaption());
  info["has_open_password"] = hasPassword(h.openPasswordBlock());
  info["has_grade_password"] = hasPassword(h.gradePasswordBlock());
  info["has_notes"] = h.notesGroupLen() > 0;
  info["has_comments"] = h.commentsLen() > 0;
  info["comments_by_percent"] = h.commentsByPercent();

  if (args.json) {
    out << info.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return kDone;
  }
  for (const auto& [key, value] : info.items()) {
    std::string name = key;
    std::replace(name.begin(), name.end(), '_', ' ');
    out << name << ": ";
    if (value.is_string()) {
      out << value.get<std::string>();
    } else if (value.is_boolean()) {
      out << (value.get<bool>() ? "yes" : "no");
    } else {
      out << value.dump();
    }
    out << '\n';
  }
  return kDone;
}

}  // namespace qzt::cli
