// Runs qzt in-process on papers written into a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "author/paper_writer.h"
#include "shell/work_folder.h"
#include "util/gbk.h"

namespace qzt::cli::testing {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

inline Outcome qzt(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Outcome r;
  r.status = run(args, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// UTF-8 text as the GBK bytes a paper holds.
inline ByteString gbk(const std::string& utf8) { return utf8ToGbk(utf8).value(); }

inline std::string utf8(const fs::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

inline fs::path u8path(const std::string& utf8Text) {
  return fs::path(std::u8string(utf8Text.begin(), utf8Text.end()));
}

inline std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = createWorkFolder().value(); }
  void TearDown() override { removeWorkFolder(dir_); }

  fs::path path(const std::string& name) const { return dir_ / u8path(name); }
  std::string arg(const std::string& name) const { return utf8(path(name)); }

  std::string writePaper(const writer::PaperSpec& spec, const std::string& name = "paper.qzt") {
    EXPECT_TRUE(writer::writePaper(path(name), spec).ok());
    return arg(name);
  }
  std::string writeBytes(const std::string& bytes, const std::string& name) {
    writeFile(path(name), bytes);
    return arg(name);
  }

  fs::path dir_;
};

}  // namespace qzt::cli::testing
