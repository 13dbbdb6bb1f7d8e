// Guards against: a load dropped or crashed by re-entry from a dialog, reports told twice or out
// of order, a file without rows changing what is shown or stopping the load that runs.
#include "chart/ChartInputs.h"
#include "model/DemoData.h"
#include "support/Fetch.h"
#include "support/Files.h"
#include "viewer/FileSession.h"

#include <QtTest>

using namespace platine;
using platine::test::fetch;
using namespace Qt::StringLiterals;

namespace {

// `count` rows whose temperature is the row number.
QByteArray rows(qint64 count)
{
    QByteArray bytes;
    for (qint64 r = 0; r < count; ++r)
        bytes += QByteArray::number(r) + ";1;2;3;4;0;1;0;1;\r\n";
    return bytes;
}

// What a message box does while it is open: runs the event loop, the session's timer too.
void nestedEventLoop()
{
    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

class TestFileSession : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    FileSession *m_session = nullptr;
    QStringList m_reports; // the file of each report taken

    QString put(const QString &name, const QByteArray &bytes)
    {
        return test::putFile(m_dir.filePath(name), bytes) ? m_dir.filePath(name) : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(!put(u"big"_s, rows(500'000)).isEmpty()); // its load runs long after its opening
        QVERIFY(!put(u"binary"_s, QByteArray::fromHex("7f454c46023b0001")).isEmpty());
        // 1.5 MB without a row, read in the background.
        QVERIFY(
            !put(u"lines"_s, QByteArray(QByteArray(98, 'x') + "\r\n").repeated(15'000)).isEmpty());
    }
    void init()
    {
        m_session = new FileSession(this);
        m_reports.clear();
        connect(m_session, &FileSession::reportsDue, this, [this] {
            for (const SessionReport &r : m_session->takeReports())
                m_reports << QFileInfo(r.path).fileName();
            nestedEventLoop(); // as the viewer's message box does
        });
    }
    void cleanup() { delete m_session; }

    // A message box open on a report, in which the session's timer goes on, finds the session
    // whole, and each load is told once: a file opened twice in a row, as by hand.
    void boxOpenOnAReport_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("without rows, read at once") << "binary";
        QTest::newRow("without rows, read in the background") << "lines";
    }
    void boxOpenOnAReport()
    {
        for (int i = 0; i < 2; ++i) {
            m_session->open(m_dir.filePath(fetch<QString>("file")));
            QTRY_VERIFY(!m_session->loading());
        }
        QTest::qWait(100); // a look left over would tell again
        QCOMPARE(m_reports, QStringList(2, fetch<QString>("file")));
    }

    // A file without a complete row, opened while another loads, changes nothing: the load goes
    // on to the end of its file, the store and the window stay.
    void fileWithoutRowsChangesNothing()
    {
        QSignalSpy moved(m_session, &FileSession::windowMoved);
        m_session->open(m_dir.filePath(u"big"_s));
        QTRY_COMPARE(moved.size(), 1);
        QVERIFY(m_session->moveWindow(500, 100));
        const AcquisitionData before = m_session->store();
        const AcquisitionFile *browsed = m_session->file();
        m_session->open(m_dir.filePath(u"lines"_s));
        QTRY_COMPARE(m_reports, QStringList{u"lines"_s});
        QCOMPARE(m_session->file(), browsed);
        QVERIFY(m_session->store() == before);
        QCOMPARE(m_session->windowStart(), 500);
        QTRY_COMPARE(m_reports, (QStringList{u"lines"_s, u"big"_s}));
        QCOMPARE(m_session->fileRows(), 500'000); // read whole: not cancelled
    }

    // A load that ends while a newer file is pending is not told after it: dropped when the newer
    // file replaces it, told before the newer one's end when that one changes nothing.
    void olderEndNotToldAfterNewer_data()
    {
        QTest::addColumn<QByteArray>("newerRows");
        QTest::addColumn<QString>("reports");
        QTest::newRow("newer file adopted") << rows(3000) << "newer";
        QTest::newRow("newer file without rows") << QByteArray() << "older newer";
    }
    void olderEndNotToldAfterNewer()
    {
        const QString older = put(u"older"_s, rows(200'000));
        // A gigabyte without a line end (sparse, long to go through), then the rows if any.
        QFile newer(m_dir.filePath(u"newer"_s));
        QVERIFY(newer.open(QIODevice::WriteOnly) && newer.seek(1 << 30));
        QVERIFY(newer.write("\r\n" + fetch<QByteArray>("newerRows")) > 0);
        newer.close();
        QSignalSpy moved(m_session, &FileSession::windowMoved);
        m_session->open(older);
        QTRY_COMPARE(moved.size(), 1);
        m_session->open(newer.fileName());
        QVERIFY(QFile::resize(older, 0)); // the older load ends now, the newer file pending
        QTRY_VERIFY(!m_session->file()->progress().running());
        QTest::qWait(100); // looked at, and not told
        QVERIFY2(m_reports.isEmpty(), qPrintable(m_reports.join(u'|')));
        QTRY_VERIFY_WITH_TIMEOUT(!m_session->loading(), 30000);
        QTEST(m_reports.join(u' '), "reports");
    }

    // "Aléatoire" or "RAZ tableaux" over a window of the file: the rows are numbered from 0 until
    // a page key or an overview click shows the file's window again, at once.
    void editedRowsAreNotTheFile_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::addColumn<int>("key"); // -1: a click on the overview at row 1000
        QTest::addColumn<qint64>("back");
        QTest::newRow("demo, then page down") << true << chart::kKeyPageDown << 3101LL;
        QTest::newRow("zeros, then the overview") << false << -1 << 1000LL;
    }
    void editedRowsAreNotTheFile()
    {
        m_session->open(put(u"file"_s, rows(5000)));
        QVERIFY(m_session->moveWindow(3000, 100));
        DemoGenerator demo;
        fetch<bool>("demo") ? m_session->fillWithDemoData(100, demo) : m_session->zeroRows(100);
        QCOMPARE(m_session->firstShownRow(), 0);
        QSignalSpy moved(m_session, &FileSession::windowMoved);
        const int key = fetch<int>("key");
        QVERIFY(key < 0 ? m_session->moveWindow(1000, 100) : m_session->moveByKey(key, 100));
        QCOMPARE(moved.size(), 1);
        QCOMPARE(m_session->firstShownRow(), fetch<qint64>("back"));
        QCOMPARE(m_session->store().at(Channel::Temperature, 0), double(fetch<qint64>("back")));
    }
};

QTEST_GUILESS_MAIN(TestFileSession)
#include "tst_filesession.moc"
