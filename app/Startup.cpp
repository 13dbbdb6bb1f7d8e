#include "app/Startup.h"

#include "app/MainWindow.h"
#include "platform/Fonts.h"
#include "platform/QtSerialPort.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

bool installFrenchQtTranslations(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

int runProgram(QApplication &app)
{
    installFrenchQtTranslations(app); // without them the program works, with Qt's English
    makeApplicationFontsReadable();   // before any window
    Program program(app.arguments().value(1));
    return app.exec();
}

} // namespace platine
