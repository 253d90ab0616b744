// The catalogue of papers beside the program: a list at the left of the
// window, shown and hidden by its button, opened by a double-click.
#include <QListWidget>
#include <QPushButton>

#include "window/main_window.h"
#include "window/message_box.h"
#include "shell/catalogue.h"
#include "window/splitter_bar.h"

namespace qzt::ui {
namespace {

constexpr int kNarrowestShownList = 150;

}  // namespace

void MainWindow::loadCatalogue() {
  Result<Catalogue> loaded = qzt::loadCatalogue(options_.programFile.parent_path());
  if (!loaded) {
    showMessage(this, windowTitle(), QString::fromStdString(loaded.error().message));
    return;
  }
  if (!loaded->present) {
    splitter1_->hide();
    return;
  }
  for (const CatalogueEntry& entry : loaded->entries) {
    catalogue_.push_back(entry.path);
    listBox1_->addItem(QString::fromStdString(entry.displayName));
  }
  if (listBox1_->count() > 0) {
    button11_->show();
    listBox1_->show();
  }
}

void MainWindow::toggleCatalogue() {
  if (!listBox1_->isHidden()) {
    listBox1_->hide();
    return;
  }
  if (listBox1_->width() < kNarrowestShownList) listBox1_->setFixedWidth(kNarrowestShownList);
  listBox1_->show();
}

void MainWindow::openCatalogueEntry() {
  const int row = listBox1_->currentRow();
  if (row < 0 || row >= static_cast<int>(catalogue_.size())) return;
  openPaper(catalogue_[static_cast<std::size_t>(row)], 0);
}

}  // namespace qzt::ui
