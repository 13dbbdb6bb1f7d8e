#pragma once
// The running program: what the start-up creates and what it owns until the end.

#include "platform/DesktopDialogs.h"
#include "platform/SettingsDir.h"
#include "viewer/ProgramState.h"

#include <memory>

class QApplication;
class QCoreApplication;

namespace platine {

class MainWindow;

class Program
{
public:
    // Chooses the settings directory once, creates the program's state and loads the main window
    // on the machine's serial port (start-up sequence, window shown); with a file, the viewer is
    // shown over it with that acquisition file loaded.
    explicit Program(const QString &acquisitionFile = {});
    ~Program();

    MainWindow &mainWindow() { return *m_window; }

private:
    DesktopDialogs m_dialogs;
    SettingsFiles m_files;
    std::unique_ptr<ProgramState> m_state; // large: kept off the stack
    std::unique_ptr<MainWindow> m_window;
};

// Qt's own dialogs, buttons and messages in French ("Enregistrer sous", "Annuler"): the
// translations Qt ships (qtbase_fr.qm, Debian package qt6-translations-l10n), from Qt's
// translations folder. False, and Qt's English kept, when they are not installed.
bool installFrenchQtTranslations(QCoreApplication &app);

// The program, then the event loop; the program's exit code. The first argument after the
// program's name (Qt's own options removed) is an acquisition file to show. Closing the main
// window while the viewer is open leaves the viewer open: the program ends when its last window
// is closed, or at once with "Quitter".
int runProgram(QApplication &app);

} // namespace platine
