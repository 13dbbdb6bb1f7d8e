#pragma once
// The main window as the start-up makes it, on a serial port, dialogs and settings folder of the
// test's choosing, with a program state of its own.

#include "app/MainWindow.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "viewer/ProgramState.h"

#include <QLineEdit>
#include <QPushButton>
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
    template <typename T = QWidget> T *get(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    // "Mise à l'heure" to Wednesday 28/02/2007 14:07:35, whose command is kClockCommand.
    void sendClock() const
    {
        for (const QString f : {"heure=14", "minutes=07", "seconde=35", "jour=28", "mois=02",
                                "annee=2007", "numero_jour=Mercredi"})
            get<QLineEdit>(f.section(u'=', 0, 0))->setText(f.section(u'=', 1));
        get<QPushButton>(QStringLiteral("Command1"))->click();
    }
    static inline const QByteArray kClockCommand = QByteArray::fromHex("4114073528020704");
};

} // namespace platine::test
