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

// Loads a shared library by path, or by file name as the system searches
// for libraries; null when it cannot be loaded, with the reason in `error`.
void* loadLibrary(const char* fileName, QString* error);
// A function the loaded library exports by that name, or null.
void* librarySymbol(void* library, const char* name);

// Ends a child process at once (a page renderer that no longer answers).
// False when there was nothing to end.
bool endProcess(qint64 pid);

}  // namespace qzt::ui::platform
