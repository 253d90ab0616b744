#include "util/file_report.h"

namespace qzt {
namespace {

const char* reason(FileFault fault) {
  switch (fault) {
    case FileFault::Missing:
      return "不存在";
    case FileFault::TooShort:
      return "太短，不是完整的试卷";
    case FileFault::TooLarge:
      return "太大";
    case FileFault::Unreadable:
    case FileFault::None:
      break;
  }
  return "无法读取";
}

}  // namespace

std::string fileErrorReport(const std::filesystem::path& file, FileFault fault) {
  const std::u8string name = file.u8string();
  return std::string("文件“") + std::string(name.begin(), name.end()) + "”" + reason(fault) + "。";
}

}  // namespace qzt
