#include "platform/DesktopDialogs.h"

#include "common/Files.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace platine;
using namespace Qt::StringLiterals;

class TestDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What the desktop service shows, how the dialog is answered, and what the caller gets.
    void desktop_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("answer"); // typed into the dialog; "" cancels
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("result"); // "-" for nothing chosen
        using QTest::newRow;
        newRow("open") << "open" << "ok" << "open *.txt (*.txt)" << "<file>";
        newRow("save asks before replacing") << "save" << "" << "save *.txt (*.txt) confirm" << "-";
        newRow("input") << "input" << "4" << "Changement du port|Port de communication|1" << "4";
        newRow("input accepted empty")
            << "input" << "ok:" << "Changement du port|Port de communication|1" << "";
        newRow("input cancelled") << "input" << "" << "Changement du port|Port de communication|1"
                                  << "-";
        newRow("information") << "information" << "ok" << "1 Port COM|Impossible" << "-";
        newRow("warning") << "warning" << "ok" << "2 Port COM|Impossible" << "-";
        newRow("critical") << "critical" << "ok" << "3 Port COM|Impossible" << "-";
    }

    void desktop()
    {
        QFETCH(QString, call);
        QFETCH(QString, answer);
        QFETCH(QString, shown);
        QFETCH(QString, result);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("sched.txt"));
        QVERIFY(test::putFile(file, "x"));
        QString seen;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget *w = QApplication::activeModalWidget();
            if (auto *d = qobject_cast<QFileDialog *>(w)) {
                const bool save = d->acceptMode() == QFileDialog::AcceptSave;
                const bool confirms = save && !d->testOption(QFileDialog::DontConfirmOverwrite);
                seen = (save ? u"save "_s : u"open "_s) + d->nameFilters().value(0)
                       + (confirms ? u" confirm"_s : u""_s);
                d->selectFile(file);
            } else if (auto *d = qobject_cast<QInputDialog *>(w)) {
                seen = d->windowTitle() + u'|' + d->labelText() + u'|' + d->textValue();
                d->setTextValue(answer.startsWith(u"ok:") ? answer.mid(3) : answer);
            } else if (auto *d = qobject_cast<QMessageBox *>(w)) {
                seen = QString::number(d->icon()) + u' ' + d->windowTitle() + u'|' + d->text();
            } else {
                return;
            }
            poll.stop();
            auto *dialog = static_cast<QDialog *>(w);
            answer.isEmpty() ? dialog->reject() : dialog->accept();
        });
        poll.start(10);
        DesktopDialogs desktopDialogs;
        DialogService &desktop = desktopDialogs;
        std::optional<QString> got;
        const QString txt = QStringLiteral("*.txt");
        const QStringList icons{"information", "warning", "critical"}; // MessageIcon's order
        if (call == u"open")
            got = desktop.openFile(nullptr, txt);
        else if (call == u"save")
            got = desktop.saveFile(nullptr, txt);
        else if (call == u"input")
            got = desktop.inputBox(nullptr, QStringLiteral("Port de communication"),
                                   QStringLiteral("Changement du port"), QStringLiteral("1"));
        else
            desktop.message(nullptr, MessageIcon(icons.indexOf(call)), QStringLiteral("Port COM"),
                            QStringLiteral("Impossible"));
        QCOMPARE(seen, shown);
        QCOMPARE(got.value_or(u"-"_s), result == u"<file>" ? file : result);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
