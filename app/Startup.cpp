#include "app/Startup.h"

#include "app/MainWindow.h"
#include "platform/QtSerialPort.h"

#include <QApplication>

namespace platine {

Program::Program(const QString &acquisitionFile) : m_state(std::make_unique<ProgramState>())
{
    QCoreApplication::setApplicationName(QStringLiteral("platine"));
    m_files = chooseSettingsFiles(); // once, before anything reads or writes param.ini
    m_window = std::make_unique<MainWindow>(makeQtSerialPort(), m_dialogs, m_files, *m_state);
    m_window->show();
    if (!acquisitionFile.isEmpty())
        m_window->showFileInViewer(acquisitionFile);
}

Program::~Program() = default;

int runProgram(QApplication &app)
{
    Program program(app.arguments().value(1));
    return app.exec();
}

} // namespace platine
