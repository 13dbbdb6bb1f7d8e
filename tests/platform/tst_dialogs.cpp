#include "platform/Dialogs.h"

#include "common/FakeDialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

// Declared before the first QFETCH uses it (clang refuses a later declaration).
Q_DECLARE_METATYPE(platine::MessageIcon)

using namespace platine;

namespace {

// Runs `handle` on the modal dialog of type T once it is shown.
template<typename T>
void whenShown(std::function<void(T *)> handle, bool *seen)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, handle, seen] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            *seen = true;
            handle(dialog);
        }
    });
    poll->start();
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileDialogControl()
    {
        QWidget owner;
        FileDialog dialog(&owner);
        QCOMPARE(dialog.objectName(), QStringLiteral("Dialogue1"));
        QCOMPARE(dialog.parent(), &owner);

        test::FakeDialogs fake;
        fake.fileAnswers = {QStringLiteral("/x/a.txt"), std::nullopt, QStringLiteral("/y/b.txt")};
        QCOMPARE(dialog.showOpen(), std::optional<QString>(QStringLiteral("/x/a.txt")));
        QCOMPARE(dialog.showSave(), std::optional<QString>());
        QCOMPARE(dialog.showSave(QStringLiteral("*.csv")),
                 std::optional<QString>(QStringLiteral("/y/b.txt")));
        QCOMPARE(fake.fileRequests, (QStringList{QStringLiteral("open:*.txt"),
                                                 QStringLiteral("save:*.txt"),
                                                 QStringLiteral("save:*.csv")}));
    }

    void serviceCanBeReplacedAndRestored()
    {
        DialogService *desktop = &DialogService::instance();
        {
            test::FakeDialogs fake;
            QCOMPARE(&DialogService::instance(), static_cast<DialogService *>(&fake));
        }
        QCOMPARE(&DialogService::instance(), desktop);
    }

    void desktopOpenListsTheFilter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sched.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();

        bool seen = false;
        QStringList filters;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
        whenShown<QFileDialog>(
            [&](QFileDialog *d) {
                filters = d->nameFilters();
                mode = d->acceptMode();
                d->selectFile(path);
                static_cast<QDialog *>(d)->accept();
            },
            &seen);
        const auto chosen = DialogService::instance().openFile(nullptr, QStringLiteral("*.txt"));
        QVERIFY(seen);
        QVERIFY(!filters.isEmpty());
        QCOMPARE(filters.first(), QStringLiteral("*.txt (*.txt)"));
        QCOMPARE(mode, QFileDialog::AcceptOpen);
        QCOMPARE(chosen, std::optional<QString>(path));
    }

    void desktopSaveConfirmsOverwriteAndCancels()
    {
        bool seen = false;
        bool confirms = false;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        whenShown<QFileDialog>(
            [&](QFileDialog *d) {
                confirms = !d->testOption(QFileDialog::DontConfirmOverwrite);
                mode = d->acceptMode();
                d->reject();
            },
            &seen);
        const auto chosen = DialogService::instance().saveFile(nullptr, QStringLiteral("*.txt"));
        QVERIFY(seen);
        QVERIFY(confirms);
        QCOMPARE(mode, QFileDialog::AcceptSave);
        QCOMPARE(chosen, std::nullopt);
    }

    void desktopInputBox_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("accepted") << true << "4" << std::optional<QString>(QStringLiteral("4"));
        QTest::newRow("accepted empty") << true << "" << std::optional<QString>(QString());
        QTest::newRow("cancelled") << false << "4" << std::optional<QString>();
    }

    void desktopInputBox()
    {
        QFETCH(bool, accept);
        QFETCH(QString, typed);
        QFETCH(std::optional<QString>, expected);
        bool seen = false;
        QString title, label, initial;
        whenShown<QInputDialog>(
            [&](QInputDialog *d) {
                title = d->windowTitle();
                label = d->labelText();
                initial = d->textValue();
                d->setTextValue(typed);
                accept ? d->accept() : d->reject();
            },
            &seen);
        const auto answer = DialogService::instance().inputBox(
            nullptr, QStringLiteral("Port de communication"),
            QStringLiteral("Changement du port de communication"), QStringLiteral("1"));
        QVERIFY(seen);
        QCOMPARE(title, QStringLiteral("Changement du port de communication"));
        QCOMPARE(label, QStringLiteral("Port de communication"));
        QCOMPARE(initial, QStringLiteral("1"));
        QCOMPARE(answer.has_value(), expected.has_value());
        if (answer)
            QCOMPARE(*answer, *expected);
    }

    void desktopMessage_data()
    {
        QTest::addColumn<MessageIcon>("icon");
        QTest::addColumn<QMessageBox::Icon>("boxIcon");
        QTest::newRow("information") << MessageIcon::Information << QMessageBox::Information;
        QTest::newRow("warning") << MessageIcon::Warning << QMessageBox::Warning;
        QTest::newRow("critical") << MessageIcon::Critical << QMessageBox::Critical;
    }

    void desktopMessage()
    {
        QFETCH(MessageIcon, icon);
        QFETCH(QMessageBox::Icon, boxIcon);
        bool seen = false;
        QString title, text;
        QMessageBox::Icon shown = QMessageBox::NoIcon;
        whenShown<QMessageBox>(
            [&](QMessageBox *box) {
                title = box->windowTitle();
                text = box->text();
                shown = box->icon();
                box->accept();
            },
            &seen);
        DialogService::instance().message(nullptr, icon, QStringLiteral("Port COM"),
                                          QStringLiteral("Impossible d'ouvrir le port"));
        QVERIFY(seen);
        QCOMPARE(title, QStringLiteral("Port COM"));
        QCOMPARE(text, QStringLiteral("Impossible d'ouvrir le port"));
        QCOMPARE(shown, boxIcon);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
