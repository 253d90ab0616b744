// The reader's general error report for a file it could not read: in the
// window's language, naming the file and the reason. The error's English
// message stays for `qzt` and standard error.
#pragma once

#include <filesystem>
#include <string>

#include "util/result.h"

namespace qzt {

// UTF-8, for example 文件“/papers/unit 1.qzt”不存在。
std::string fileErrorReport(const std::filesystem::path& file, FileFault fault);

}  // namespace qzt
