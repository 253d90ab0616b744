// Shared by the main-window tests: a fake program folder and work folder,
// papers written with the paper writer, and message boxes that are
// recorded and answered instead of shown.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>

#include "grid/answer_grid.h"
#include "window/main_window.h"
#include "window/message_box.h"
#include "author/paper_writer.h"

namespace fixture {

namespace fs = std::filesystem;
using qzt::writer::GroupEntry;
using qzt::writer::PaperSpec;
using qzt::writer::QuestionSpec;

struct Shown {
  QString caption;
  QString text;
};

// Every message box of the window lands here; questions take the next
// queued answer (Yes when none is queued).
class Messages {
 public:
  Messages() {
    qzt::ui::setMessageHandler([this](QWidget*, const QString& caption, const QString& text,
                                      qzt::ui::Buttons buttons) {
      shown.push_back({caption, text});
      if (buttons == qzt::ui::Buttons::Ok || answers.empty()) return true;
      const bool answer = answers.front();
      answers.pop_front();
      return answer;
    });
  }
  ~Messages() { qzt::ui::setMessageHandler({}); }
  QStringList texts() const {
    QStringList out;
    for (const Shown& s : shown) out << s.text;
    return out;
  }

  std::vector<Shown> shown;
  std::deque<bool> answers;
};

inline QuestionSpec question(const char* label, int kind, int options, const char* answer,
                             double marks = 1) {
  QuestionSpec q;
  q.label = label;
  q.kind = kind;
  q.optionCount = options;
  q.answer = answer;
  q.marks = marks;
  return q;
}

// A paper with a text page, a status line and four questions:
// single (A), multiple (A C), text (abc), single (B).
inline PaperSpec textPaper(const char* title = "Paper one") {
  PaperSpec spec;
  spec.title = title;
  spec.timeLimit = 90;
  spec.statusText = "status line";
  spec.page = {GroupEntry::file("page.txt", "the page text")};
  spec.questions = {question("1", 1, 4, "A", 2), question("2", 2, 4, "A C", 3),
                    question("3", 3, 0, "abc", 5), question("4", 1, 4, "B", 2)};
  return spec;
}

class Reader {
 public:
  Reader() {
    fs::create_directories(programFolder());
    std::ofstream(program()) << "program";
    fs::create_directories(workFolder());
  }

  fs::path root() const { return fs::path(dir.path().toStdString()); }
  fs::path programFolder() const { return root() / "program"; }
  fs::path program() const { return programFolder() / "qzt-reader"; }
  fs::path workFolder() const { return root() / "work"; }

  fs::path write(const std::string& name, const PaperSpec& spec) const {
    const fs::path path = root() / name;
    fs::create_directories(path.parent_path());
    if (!qzt::writer::writePaper(path, spec).ok()) return {};
    return path;
  }
  fs::path writeBytes(const std::string& name, const std::string& bytes) const {
    const fs::path path = root() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // The window, started (the paper at start has been handled).
  qzt::ui::MainWindow& start(const fs::path& commandLinePaper = {}) {
    qzt::ui::StartOptions options;
    options.programFile = program();
    options.workFolder = workFolder();
    options.commandLinePaper = commandLinePaper;
    options.dataFolder = dataFolder;
    window = std::make_unique<qzt::ui::MainWindow>(options);
    window->startUp();
    return *window;
  }

  template <typename T = QWidget>
  T* control(const char* name) const {
    return window->findChild<T*>(QString::fromLatin1(name));
  }
  QString text(const char* name) const { return control<QLabel>(name)->text(); }
  QPushButton* button(const char* name) const { return control<QPushButton>(name); }
  qzt::ui::AnswerGrid* grid() const { return window->answerGrid(); }

  QTemporaryDir dir;
  fs::path dataFolder;  // recovery copies; none kept when empty
  Messages messages;
  std::unique_ptr<qzt::ui::MainWindow> window;
};

}  // namespace fixture
