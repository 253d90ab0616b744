// The text page of the paper opened at start, unpacked and read into a
// document on another thread while the window is built: for a long page
// that reading is the biggest part of opening the paper.
#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <thread>

class QTextDocument;

namespace qzt::ui {

class EarlyPage {
 public:
  // Starts reading the page of a paper that opens without asking anything.
  // Its page is unpacked into `workFolder`, which is the thread's until
  // finish(); a page that turns out not to be text is left to opening.
  EarlyPage(std::filesystem::path paper, std::int64_t offset, std::filesystem::path workFolder);
  ~EarlyPage();  // waits for the thread
  EarlyPage(const EarlyPage&) = delete;
  EarlyPage& operator=(const EarlyPage&) = delete;

  // Waits for the thread: the work folder is the caller's again.
  void finish();
  // The document read from the page at `path`, moved to the thread that
  // started the reading; null when that page was not read. Given once.
  std::unique_ptr<QTextDocument> take(const QString& path);

 private:
  QString path_;
  std::unique_ptr<QTextDocument> document_;
  std::jthread reader_;  // last: joined before what it fills goes
};

}  // namespace qzt::ui
