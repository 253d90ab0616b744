// The few things the reader asks of the operating system directly. Every
// system call of the window program lives in platform.cpp.
#pragma once

#include <QString>

namespace qzt::ui::platform {

// QtWebEngine's sandbox cannot start as root; turn it off then, and only
// then. Web pages are read by assistive technology unless the user said
// otherwise. REQUIRES: called before the QApplication exists.
void prepareWebEngine();

// A name that tells this user's readers apart from another user's.
QString userKey();

// Ends a child process at once (a page renderer that no longer answers).
// False when there was nothing to end.
bool endProcess(qint64 pid);

}  // namespace qzt::ui::platform
