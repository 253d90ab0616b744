#include "side/comments_panel.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

#include "page/text_view.h"

namespace {

constexpr int kPanelWidth = 329;
constexpr int kPanelHeight = 249;

}  // namespace

CommentsPanel::CommentsPanel(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Panel5"));
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setAutoFillBackground(true);
  setFixedSize(kPanelWidth, kPanelHeight);

  captionLabel_ = new QLabel(QStringLiteral("评语"), this);
  captionLabel_->setObjectName(QStringLiteral("Label8"));
  captionLabel_->setGeometry(8, 6, 313, 18);
  setAccessibleName(captionLabel_->text());  // a panel a screen reader names

  text_ = new QTextBrowser(this);
  text_->setObjectName(QStringLiteral("pyedit"));
  text_->setGeometry(8, 28, 313, 177);
  text_->setFont(cjkFont(15));
  text_->setOpenLinks(false);
  captionLabel_->setBuddy(text_);  // the comment is read by its caption

  close_ = new QPushButton(QStringLiteral("关闭"), this);
  close_->setObjectName(QStringLiteral("Button9"));
  close_->setGeometry((kPanelWidth - 49) / 2, 214, 49, 25);
  connect(close_, &QPushButton::clicked, this, &QWidget::hide);

  hide();
}

void CommentsPanel::showComment(const std::vector<QByteArray>& gbkLines) {
  QByteArray text;
  for (std::size_t i = 0; i < gbkLines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += gbkLines[i];
  }
  showTextBytes(text_, text);
  show();
  raise();
}

QString CommentsPanel::commentText() const { return text_->toPlainText(); }
