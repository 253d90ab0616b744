// A web view for the paper's pages. The web engine is heavy to load and
// start (its libraries, its start-up code, a shared GL context), so it
// lives in a library of its own, libqztweb, loaded when the first web page
// is shown or expected: a paper with a text or RTF page never starts it.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace qzt::ui {

// One view confined to one root folder: pages see only the files under it
// (see confined_page.h). The view belongs to its parent widget; the pane
// goes with it.
class WebPane {
 public:
  virtual ~WebPane() = default;
  // The view itself, named "WebBrowser1".
  virtual QWidget* view() = 0;
  // Shows a file under the root; a file outside it shows the blank page.
  virtual void showFile(const QString& path) = 0;
  virtual void showBlank() = 0;
  virtual void setZoom(double factor) = 0;
};

struct WebPaneSetup {
  QString root;
  QWidget* parent = nullptr;
  double zoom = 1.0;
  // A page finished loading (ok = it loaded).
  std::function<void(bool)> loadFinished;
  // An address the page's reader clicked that leaves the paper; by
  // default the reader's link routine (ielinknewwindows).
  std::function<void(const QString&)> openAddress;
};

// The library's one entry point, by this name.
using MakeWebPane = WebPane* (*)(const WebPaneSetup& setup);
inline constexpr char kMakeWebPaneSymbol[] = "qzt_make_web_pane";

// A new pane, loading the library on first use; null when the library
// cannot be loaded (then said once on standard error).
WebPane* makeWebPane(const WebPaneSetup& setup);

}  // namespace qzt::ui
