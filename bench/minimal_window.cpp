// The start-up benchmark's baseline: the least a Qt Widgets program does to
// show a text under a title, maximised as the reader's window is.
//   minimal_window TITLE TEXT_FILE
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  QFile file(QString::fromLocal8Bit(argv[2]));
  if (!file.open(QIODevice::ReadOnly)) return 1;
  QPlainTextEdit view;
  view.setReadOnly(true);
  view.setPlainText(QString::fromUtf8(file.readAll()));
  view.setWindowTitle(QString::fromUtf8(argv[1]));
  view.showMaximized();
  return app.exec();
}
