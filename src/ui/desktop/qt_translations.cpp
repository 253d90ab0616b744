#include "desktop/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

namespace qzt::ui {
namespace {

// Standard buttons and dialogs; the web view's own menu.
const char* const kCatalogues[] = {"qtbase_zh_CN", "qtwebengine_zh_CN"};

}  // namespace

QStringList installQtTranslations(const QString& folder) {
  QStringList missing;
  for (const char* catalogue : kCatalogues) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString name = QLatin1String(catalogue);
    if (translator->load(name, folder) && QCoreApplication::installTranslator(translator)) continue;
    delete translator;
    missing.append(QDir(folder).filePath(name + QLatin1String(".qm")));
  }
  return missing;
}

}  // namespace qzt::ui
