// The web start-up benchmark's baseline: the least a Qt program does to
// show a web page under a title, maximised as the reader's window is.
//   minimal_web_view TITLE PAGE_FILE
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  QWebEngineView view;
  view.setWindowTitle(QString::fromUtf8(argv[1]));
  view.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[2])));
  view.showMaximized();
  return app.exec();
}
