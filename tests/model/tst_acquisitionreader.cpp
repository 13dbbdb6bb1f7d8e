// Guards against: acquisitions in the wrong slots, lines lost or misread, reads stopping wrong.
#include "model/AcquisitionData.h"
#include "model/AcquisitionReader.h"
#include "model/LineSplitter.h"
#include "support/PieceDevice.h"
#include "support/SortedAsTheRule.h"

#include <QTest>

#include <memory>

using namespace platine;
using namespace Qt::StringLiterals;

namespace {

// "period|date|rows end@line", then " skipped N@line" when data lines were skipped, " no number
// N@line" when fields held no number, and " error" when a reason was given.
QString summary(const AcquisitionReadResult &r)
{
    const char *ends[] = {"eof", "full", "error"};
    QString text = u"%1|%2|%3 %4@%5"_s
                       .arg(r.periodLine.value_or(u"-"_s), r.dateLine.value_or(u"-"_s))
                       .arg(r.rowsStored)
                       .arg(QLatin1String(ends[int(r.end)]))
                       .arg(r.endLine);
    if (r.skippedLines)
        text += u" skipped %1@%2"_s.arg(r.skippedLines).arg(r.firstSkippedLine);
    if (r.fieldsWithoutNumber)
        text += u" no number %1@%2"_s.arg(r.fieldsWithoutNumber).arg(r.firstWithoutNumber);
    return text + (r.error.isEmpty() ? u""_s : u" error"_s);
}

// The stored rows from `from` on, up to the last one holding anything, as the nine fields of a
// data line ("" for an empty slot or one the store does not have).
QStringList rowsOf(const AcquisitionData &s, int from)
{
    QStringList out;
    for (int r = from; r < AcquisitionData::kRows; ++r) {
        QStringList fields;
        for (Channel c : kAllChannels) {
            const bool held = AcquisitionData::holds(c, r) && s.at(c, r).has_value();
            fields << (held ? QString::number(*s.at(c, r)) : QString());
        }
        out << fields.join(u';');
    }
    while (!out.isEmpty() && out.last() == u";;;;;;;;")
        out.removeLast();
    return out;
}

} // namespace

class TestAcquisitionReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("fails"); // the device fails after the bytes of the file
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("from"); // the first row compared
        QTest::addColumn<QStringList>("rows");
        const auto row = [](const char *name, const QByteArray &file, const QString &result,
                            const QStringList &rows, bool fails = false, int from = 0) {
            QTest::newRow(name) << file << fails << result << from << rows;
        };
        // "(s)" first, then "/", then ";"; the last period and date lines stay.
        row("classification",
            "12/03/2011;1;2;3;4;5;6;7;8;\r\nx (s);1;2;3;4;5;6;7;8;\r\nP\xe9riode (s) : 10 / 2\r\n"
            "bonjour\r\n(S)\r\n\r\ntemp;a;b;c;d;e;f;g;h;",
            u"Période (s) : 10 / 2|12/03/2011;1;2;3;4;5;6;7;8;|1 eof@0 no number 9@7"_s,
            {"0;0;0;0;0;0;0;0;0"});
        row("fields", "21.5;250V ;12,5;abc;;&HFFFF;1e2;-3.25; 2 45 7;\r\n6;6;6;6;6;0;1;0;1;99;98;",
            "-|-|2 eof@0 no number 2@1",
            {"21.5;250;12.5;0;0;-1;100;-3.25;2457", "6;6;6;6;6;0;1;0;1"});
        row("decimal commas", "29,9;,5;5,;1,2,3;1 ,5;-0,25;1,5e2;7, 5;1.5,2;\r\n",
            "-|-|1 eof@0 no number 1@1", {"29.9;0;5;1.2;1;-0.25;150;7;1.5"});
        row("UTF-8 headers", "P\xc3\xa9riode (s) : 10\r\nCapture : 01/02/2020 \xc3\r\n",
            u"Période (s) : 10|Capture : 01/02/2020 Ã|0 eof@0"_s, {}); // the date no UTF-8
        // A line cut short is skipped whole and the rows after it are read on.
        row("short lines skipped",
            "1;2;3;4;5;6;7;8;9;\r\n31;32;33;34;35;1;0;1;1\r\n01/01/"
            "2020\r\n7;7;7;\r\n2;2;2;2;2;0;0;0;0;",
            "-|01/01/2020|2 eof@0 skipped 2@2", {"1;2;3;4;5;6;7;8;9", "2;2;2;2;2;0;0;0;0"});
        QByteArray rows = "Periode (s) : 2\r\n";
        for (int r = 0; r < 2500; ++r)
            rows += QByteArray::number(r) + ";2;3;4;" + QByteArray::number(r + 0.5) + ';'
                + QByteArray::number(r % 2) + ";1;1;0;\r\n";
        row("capacity: row 2000 and slot 8000 stored", rows + "31/12/2020\r\n",
            "Periode (s) : 2|-|2001 full@2002",
            {"1999;2;3;4;1999.5;1;1;1;0", "2000;2;3;4;2000.5;0;;;"}, false, 1999);
        for (const QByteArray end : {"\r\n", "\r", "\n"}) {
            row(end.toPercentEncoding(),
                "Periode (s) : 2" + end + "01/02/2020" + end + "1;2;3;4;5;6;7;8;9;" + end
                    + "9;8;7;6;5;4;3;2;1;" + end + "7;",
                "Periode (s) : 2|01/02/2020|2 eof@0 skipped 1@5",
                {"1;2;3;4;5;6;7;8;9", "9;8;7;6;5;4;3;2;1"});
        }
        // Lines are kept up to the bound: the ";" of the second line lie beyond it.
        const QByteArray date = "01/02/2020 " + QByteArray(300 * 1024, 'z');
        row("over-long lines",
            date + "\r\n" + QByteArray(kMaxLineBytes, 'a') + "1;2;3;4;5;6;7;8;9;\n8;",
            u"-|"_s + QString::fromLatin1(date.left(kMaxLineBytes)) + u"|0 eof@0 skipped 1@3",
            QStringList{});
        // The device fails in the middle of a line: the cut line is not used.
        row("read error", "1;2;3;4;5;6;7;8;9;\n6;6;6;6;6;6;6;6;6;\n7;", "-|-|2 error@3 error",
            {"1;2;3;4;5;6;7;8;9", "6;6;6;6;6;6;6;6;6"}, true);
    }
    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, fails);
        QFETCH(QString, result);
        QFETCH(int, from);
        QFETCH(QStringList, rows);
        for (const qint64 piece : {qint64(1) << 16, qint64(1)}) { // whole chunks, byte by byte
            test::PieceDevice device;
            device.bytes = file;
            device.failAt = fails ? file.size() : -1;
            device.piece = piece;
            QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
            const auto store = std::make_unique<AcquisitionData>();
            QCOMPARE(summary(readAcquisition(device, *store)), result);
            QCOMPARE(rowsOf(*store, from), rows);
        }
    }

    // A line as the board writes it is read in one walk, any other by the general rule: both give
    // the same values, to the bit, and the same count of fields without a number.
    void sortedAsTheRule_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("row");
        QTest::newRow("board") << QByteArray("21.5;512;511;256;170;1;0;0;1;") << true;
        QTest::newRow("signs, points, zeros")
            << QByteArray("-3.25;.5;5.;-0;007;0.000;-.5;1;0;") << true;
        QTest::newRow("decimal commas")
            << QByteArray("29,9;-0,25;,5;5,;1,2,3;1.5,2;7;8;9;") << true;
        QTest::newRow("commas in fields read in one walk")
            << QByteArray("-,5;1,5;3;4;5;6;7;8;9;") << true;
        QTest::newRow("18 and 19 digits") << QByteArray(
            "123456789012345678;1234567890123456789;0.123456789012345678;4;5;6;7;8;9;")
                                          << true;
        QTest::newRow("2^53 and past")
            << QByteArray("9007199254740992;9007199254740993;3;4;5;6;7;8;9;") << true;
        QTest::newRow("leading zeros past 18 digits")
            << QByteArray("0000000000000000001;0.0000000000000000001;3;4;5;6;7;8;9;") << true;
        QTest::newRow("past 2^53 with decimals")
            << QByteArray("900719925474099.5;2;3;4;5;6;7;8;9;") << true;
        QTest::newRow("letters between digits") << QByteArray("1e3;2d1;1x5;4;5;6;7;8;9;") << true;
        QTest::newRow("an empty field") << QByteArray("1;;3;4;5;6;7;8;9;") << true;
        QTest::newRow("blanks, plus, letters, empty")
            << QByteArray("+1; 2;3 ;1.2.3;1e3;&H10;;x;1\xe9;") << true;
        QTest::newRow("a tenth field") << QByteArray("1;2;3;4;5;6;7;8;9;10;") << true;
        QTest::newRow("a period after the ninth") << QByteArray("1;2;3;4;5;6;7;8;9;(s)") << false;
        QTest::newRow("a date after the ninth") << QByteArray("1;2;3;4;5;6;7;8;9;1/2") << false;
        QTest::newRow("no ninth field end") << QByteArray("1;2;3;4;5;6;7;8;9") << false;
        QTest::newRow("cut short") << QByteArray("1;2;3;") << false;
    }
    void sortedAsTheRule()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, row);
        QCOMPARE(test::sortedAsTheRule(line), std::optional(row));
    }
};

QTEST_GUILESS_MAIN(TestAcquisitionReader)
#include "tst_acquisitionreader.moc"
