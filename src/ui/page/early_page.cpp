#include "page/early_page.h"

#include <QTextDocument>
#include <QThread>
#include <utility>

#include "page/text_view.h"
#include "paper/opening.h"

namespace qzt::ui {

EarlyPage::EarlyPage(std::filesystem::path paper, std::int64_t offset, std::filesystem::path workFolder)
    : reader_([this, paper = std::move(paper), offset, workFolder = std::move(workFolder),
               home = QThread::currentThread()] {
        const std::optional<UnpackedPage> page = unpackPageAhead(paper, offset, workFolder);
        // Busy or broken files are loading's to report.
        if (!page || page->page.failure || !page->page.busyTargets.empty() || !page->page.anchor) return;
        if (!isTextPage(page->pageKind)) return;
        const QString path = QString::fromStdString(page->page.anchor->string());
        std::unique_ptr<QTextDocument> document = readTextDocument(path);
        if (!document) return;
        document->moveToThread(home);
        path_ = path;
        document_ = std::move(document);
      }) {}

EarlyPage::~EarlyPage() = default;

void EarlyPage::finish() {
  if (reader_.joinable()) reader_.join();
}

std::unique_ptr<QTextDocument> EarlyPage::take(const QString& path) {
  finish();
  if (!document_ || path != path_) return nullptr;
  return std::exchange(document_, nullptr);
}

}  // namespace qzt::ui
