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
  const std::filesystem::path folder = options_.programFile.parent_path();
  Result<Catalogue> loaded = qzt::loadCatalogue(folder);
  if (!loaded) {
    reportFileFailure(folder / kCatalogueFileName, loaded.error());
    return;
  }
  if (!loaded->present) {
    catalogueSplitter_->hide();
    return;
  }
  for (const CatalogueEntry& entry : loaded->entries) {
    catalogue_.push_back(entry.path);
    catalogueList_->addItem(QString::fromStdString(entry.displayName));
  }
  if (catalogueList_->count() > 0) {
    catalogueButton_->show();
    catalogueList_->show();
  }
}

void MainWindow::toggleCatalogue() {
  if (!catalogueList_->isHidden()) {
    catalogueList_->hide();
    return;
  }
  if (catalogueList_->width() < kNarrowestShownList) catalogueList_->setFixedWidth(kNarrowestShownList);
  catalogueList_->show();
}

void MainWindow::openCatalogueEntry() {
  const int row = catalogueList_->currentRow();
  if (row < 0 || row >= static_cast<int>(catalogue_.size())) return;
  openPaper(catalogue_[static_cast<std::size_t>(row)], 0);
}

}  // namespace qzt::ui
