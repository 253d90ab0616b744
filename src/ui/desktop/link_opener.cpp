#include "desktop/link_opener.h"

#include <QDesktopServices>

#include <string>

#include "side/link.h"

namespace {

std::function<void(const QUrl&)>& opener() {
  static std::function<void(const QUrl&)> replaced;
  return replaced;
}

}  // namespace

void ielinknewwindows(const QString& address) {
  const std::string full = qzt::linkAddress(address.toStdString());
  const QUrl url(QString::fromStdString(full), QUrl::TolerantMode);
  if (opener()) {
    opener()(url);
  } else {
    QDesktopServices::openUrl(url);
  }
}

void setLinkOpenerForTesting(std::function<void(const QUrl&)> replacement) {
  opener() = std::move(replacement);
}
