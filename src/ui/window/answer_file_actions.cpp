#include "window/answer_file_actions.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>

#include <cstdio>
#include <string>
#include <utility>

#include "gbk_text.h"
#include "window/message_box.h"
#include "side/answer_file.h"
#include "sheet/exam_session.h"
#include "util/file_bytes.h"
#include "util/file_report.h"

namespace {

const QString kCaption = QStringLiteral("提示1.0");
const QString kSaveTitle = QStringLiteral("保存试卷答案");
const QString kImportTitle = QStringLiteral("导入试卷答案");
const QString kFilter = QStringLiteral("试卷答案(*.da)");

AnswerFileUi& currentUi() {
  static AnswerFileUi ui = desktopAnswerFileUi();
  return ui;
}


QString runFileDialog(QWidget* parent, const QString& title, const QString& proposedName, const QString& filter,
                      QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, title, QString(), filter);
  dialog.setAcceptMode(mode);
  if (mode == QFileDialog::AcceptSave) {
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("da"));  // checked for overwriting with the suffix on
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  dialog.selectFile(proposedName);
  if (qzt::ui::execFileDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

// The paper's title as a file name: separators would name a folder.
QString proposedName(const qzt::ExamSession& session) {
  QString name = fromGbk(session.header().title());
  name.replace(u'/', u'_');
  name.replace(u'\\', u'_');
  return name;
}

// Why a save failed, in the window's language; Qt's own text is English
// and goes to standard error.
QString saveFailure(const QSaveFile& file) {
  if (file.error() != QFileDevice::NoError)
    std::fprintf(stderr, "qzt-reader: %s\n", qPrintable(file.errorString()));
  switch (file.error()) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
      return QStringLiteral("无法建立文件（文件夹不存在或没有写入权限）");
    case QFileDevice::RenameError:
      return QStringLiteral("无法替换原有的文件");
    default:
      return QStringLiteral("文件没有写完整（磁盘可能已满）");
  }
}

QString withExtension(const QString& path) {
  return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".da") : path;
}

}  // namespace

AnswerFileUi desktopAnswerFileUi() {
  AnswerFileUi desktop;
  desktop.getSaveFileName = [](QWidget* parent, const QString& title, const QString& name, const QString& filter) {
    return runFileDialog(parent, title, name, filter, QFileDialog::AcceptSave);
  };
  desktop.getOpenFileName = [](QWidget* parent, const QString& title, const QString& name, const QString& filter) {
    return runFileDialog(parent, title, name, filter, QFileDialog::AcceptOpen);
  };
  desktop.information = [](QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::information(parent, caption, text, QMessageBox::Ok);
  };
  desktop.failure = [](QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::critical(parent, caption, text, QMessageBox::Ok);
  };
  return desktop;
}

void setAnswerFileUiForTesting(AnswerFileUi replacement) {
  const AnswerFileUi desktop = desktopAnswerFileUi();
  if (!replacement.getSaveFileName) replacement.getSaveFileName = desktop.getSaveFileName;
  if (!replacement.getOpenFileName) replacement.getOpenFileName = desktop.getOpenFileName;
  if (!replacement.information) replacement.information = desktop.information;
  if (!replacement.failure) replacement.failure = desktop.failure;
  currentUi() = std::move(replacement);
}

void saveAnswers(QWidget* parent, qzt::ExamSession& session) {
  const qzt::ByteString key = session.header().paperKey();
  if (key.empty()) {
    currentUi().information(parent, kCaption, QString::fromUtf8(qzt::kSaveNeedsPaper));
    return;
  }
  QString path = currentUi().getSaveFileName(parent, kSaveTitle, proposedName(session), kFilter);
  if (path.isEmpty()) return;
  path = withExtension(path);

  const qzt::ByteString bytes = qzt::exportAnswers(key, session.table(), session.sheet());
  // commit() alone can miss a failed buffered write: writes go straight
  // through, each is checked, and a short one throws the new file away.
  QSaveFile file(path);
  bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                 file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
                 file.flush();
  QString reason;
  if (!written) {
    reason = saveFailure(file);
    file.cancelWriting();
  }
  written = file.commit() && written;
  if (!written) {
    if (reason.isEmpty()) reason = saveFailure(file);
    currentUi().failure(parent, kCaption, QStringLiteral("答案没有保存到 %1：%2\n原有的文件没有改动。").arg(path, reason));
  }
}

bool importAnswers(QWidget* parent, qzt::ExamSession& session) {
  const qzt::ByteString key = session.header().paperKey();
  if (key.empty()) {
    currentUi().information(parent, kCaption, QString::fromUtf8(qzt::kImportNeedsPaper));
    return false;
  }
  const QString path = currentUi().getOpenFileName(parent, kImportTitle, proposedName(session), kFilter);
  if (path.isEmpty()) return false;

  const qzt::Result<std::string> bytes = qzt::readFileBytes(path.toStdString(), qzt::kAnswerFileLimit);
  if (!bytes) {
    currentUi().failure(parent, kCaption,
                        QString::fromStdString(qzt::fileErrorReport(path.toStdString(), bytes.error().fault)));
    return false;
  }

  qzt::Result<qzt::AnswerSheet> imported =
      qzt::importAnswers(bytes.value(), key, session.table(), session.sheet());
  if (!imported) {
    currentUi().information(parent, kCaption, QString::fromStdString(imported.error().message));
    return false;
  }
  session.replaceAnswers(std::move(imported).value());
  return true;
}
