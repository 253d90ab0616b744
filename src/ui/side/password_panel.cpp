#include "side/password_panel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

#include "gbk_text.h"
#include "page/text_view.h"
#include "page/web_address_marks.h"

namespace {

constexpr int kPanelWidth = 329;
constexpr int kPanelHeight = 217;
constexpr int kMaxPasswordLength = 40;
constexpr char kLinkScheme[] = "hint";

}  // namespace

PasswordPanel::PasswordPanel(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Panel2"));
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
  setAutoFillBackground(true);
  setFixedSize(kPanelWidth, kPanelHeight);
  buildControls();
  hide();
}

void PasswordPanel::buildControls() {
  captionLabel_ = new QLabel(QStringLiteral("输入密码"), this);
  captionLabel_->setObjectName(QStringLiteral("Label9"));
  captionLabel_->setGeometry(16, 10, 297, 18);
  setAccessibleName(captionLabel_->text());  // a panel a screen reader names

  passwordEdit_ = new QLineEdit(this);
  passwordEdit_->setObjectName(QStringLiteral("Edit2"));
  passwordEdit_->setGeometry(16, 30, 297, 24);
  passwordEdit_->setMaxLength(kMaxPasswordLength);
  passwordEdit_->setEchoMode(QLineEdit::Password);
  passwordEdit_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // "*"
  captionLabel_->setBuddy(passwordEdit_);  // the entry is read by its caption

  hint_ = new QTextBrowser(this);
  hint_->setObjectName(QStringLiteral("RichEdit3"));
  hint_->setAccessibleName(QStringLiteral("密码提示"));
  hint_->setGeometry(16, 62, 297, 108);
  hint_->setOpenLinks(false);
  hint_->setOpenExternalLinks(false);

  ok_ = new QPushButton(QStringLiteral("确定"), this);
  ok_->setObjectName(QStringLiteral("Button1"));
  ok_->setGeometry(76, 180, 75, 25);

  cancel_ = new QPushButton(QStringLiteral("取消"), this);
  cancel_->setObjectName(QStringLiteral("Button2"));
  cancel_->setGeometry(178, 180, 75, 25);

  connect(ok_, &QPushButton::clicked, this, &PasswordPanel::confirmed);
  connect(passwordEdit_, &QLineEdit::returnPressed, this, &PasswordPanel::confirmed);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    hide();
    emit cancelled();
  });
  connect(hint_, &QTextBrowser::anchorClicked, this, &PasswordPanel::onAnchorClicked);
}

void PasswordPanel::ask() {
  passwordEdit_->clear();
  show();
  raise();
  passwordEdit_->setFocus(Qt::OtherFocusReason);
}

QByteArray PasswordPanel::typedGbk() const {
  return toGbk(passwordEdit_->text());
}

void PasswordPanel::setHint(const QByteArray& gbk) {
  showTextBytes(hint_, gbk);
  links_ = markWebAddresses(hint_->document(), QString::fromLatin1(kLinkScheme));
}

// QTextBrowser reports left clicks only; other buttons open nothing.
void PasswordPanel::onAnchorClicked(const QUrl& url) {
  const QString address = markedAddress(links_, QString::fromLatin1(kLinkScheme), url.toString());
  if (!address.isEmpty()) emit linkActivated(address);
}
