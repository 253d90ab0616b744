// Start-up waits the reader fills with work it needs anyway: the font
// configuration is read while Qt starts, and the window's faces load while
// the session bus connects.
#pragma once

#include <QFont>
#include <thread>

namespace qzt::ui {

// Reads the system's font configuration on another thread; Qt, reading it
// on its first font, then finds it read. Call first thing in main().
std::jthread readFontConfiguration();

// Connects to the session bus on another thread. The accessibility bridge
// makes the same connection with the window's first widget and waits for
// it; where a bus has to be started first, that wait is long.
// REQUIRES: the QCoreApplication exists.
std::jthread connectSessionBus();

// Loads the faces `font` draws with, regular and bold, before the window's
// first widget waits for the bus.
void loadFaces(QFont font);

}  // namespace qzt::ui
