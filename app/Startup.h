#pragma once

class QApplication;

namespace platine {

class MainWindow;

// Loads the main window (start-up sequence, window shown) and returns it; the application owns
// nothing else. Tests call this to start the program exactly as a user does.
MainWindow *startProgram();

// startProgram() then the event loop; the program's exit code.
int runProgram(QApplication &app);

} // namespace platine
