#include "app/Startup.h"

#include "app/MainWindow.h"
#include "platform/SerialPort.h"
#include "platform/SettingsDir.h"

#include <QApplication>

#include <memory>

namespace platine {

MainWindow *startProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("platine"));
    settingsDir(); // chosen once, before anything reads or writes param.ini

    auto *window = new MainWindow(makeQtSerialPort());
    window->show();
    return window;
}

int runProgram(QApplication &app)
{
    // Closing the main window while the viewer is open leaves the viewer open: the program ends
    // when its last window is closed, or at once with "Quitter".
    std::unique_ptr<MainWindow> window(startProgram());
    return app.exec();
}

} // namespace platine
