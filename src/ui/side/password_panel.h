// The password panel: asks for the opening or the grading password over the
// page, with the paper's hint below the entry. The comparison itself is the
// exam session's; this panel only collects the text and says when.
#pragma once

#include <QByteArray>
#include <QFrame>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;
class QUrl;

class PasswordPanel : public QFrame {
  Q_OBJECT

 public:
  explicit PasswordPanel(QWidget* parent = nullptr);

  // Shows the panel in front, with an empty entry that has the focus.
  void ask();
  // The typed text as GBK bytes, compared byte for byte with the password.
  QByteArray typedGbk() const;
  // The hint (GBK bytes; RTF shown formatted). Web addresses in it become
  // links.
  void setHint(const QByteArray& gbk);
  // The addresses marked in the hint, in text order.
  const QStringList& hintLinks() const { return links_; }

 signals:
  // Button1 or Return/Enter in Edit2.
  void confirmed();
  // Button2; the panel has hidden itself.
  void cancelled();
  // A left click on a web address of the hint, as it stands in the text.
  void linkActivated(const QString& address);

 private:
  void buildControls();
  void onAnchorClicked(const QUrl& url);

  QLabel* captionLabel_ = nullptr;
  QLineEdit* passwordEdit_ = nullptr;
  QTextBrowser* hint_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QStringList links_;
};
