// The one routine through which the reader opens web addresses in the
// browser: the hint box's links, the about window's link labels and the
// download site of the too-old-reader message.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Opens the address in the web browser; an address without "http://"
// gets it in front. Failures are not reported.
void ielinknewwindows(const QString& address);

// Replaces what opens the final URL (the desktop's browser by default);
// tests record the URL instead of starting a browser. An empty function
// restores the default.
void setLinkOpenerForTesting(std::function<void(const QUrl&)> opener);
