// Qt's own Chinese catalogues: the window is Chinese whatever the system
// locale, so its standard buttons and file dialogs must be too. Qt's texts
// are translated, never relabelled by hand.
#pragma once

#include <QString>
#include <QStringList>

namespace qzt::ui {

// Installs Qt's Chinese catalogues from `folder` (the system's is
// QLibraryInfo::path(QLibraryInfo::TranslationsPath)) into the running
// application; returns the files that could not be loaded, none when all
// are in place. REQUIRES: the QCoreApplication exists.
QStringList installQtTranslations(const QString& folder);

}  // namespace qzt::ui
