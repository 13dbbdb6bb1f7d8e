#pragma once
// The main window as the start-up makes it, on a serial port, dialogs and settings folder of the
// test's choosing, with a program state of its own.

#include "app/MainWindow.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "viewer/ProgramState.h"

#include <memory>

namespace platine::test {

struct Program {
    std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
    std::unique_ptr<MainWindow> window;

    Program(std::unique_ptr<SerialPort> port, DialogService &dialogs, const QString &settingsDir)
        : window(std::make_unique<MainWindow>(std::move(port), dialogs, SettingsFiles{settingsDir},
                                              *state))
    {
        window->show();
    }
    MainWindow *operator->() const { return window.get(); }
};

} // namespace platine::test
