// Guards against: a wrong value table (caption, lines, bounds), "RAZ tableaux", demo fill bounds

#include "model/AcquisitionData.h"
#include "model/DemoData.h"
#include "model/Tables.h"

#include "support/Fetch.h"

#include <QtTest>

using namespace platine;
using platine::test::fetch;
using namespace Qt::StringLiterals;

namespace {

// Row 1: TEMP 21.5, ANA 1, 2 and 4 1, 2 and 4; logic slots 1 = 5, 2 = 7, 4 = 9, 5 = 7 and 9 = 7.
std::unique_ptr<AcquisitionData> sampleStore()
{
    auto s = std::make_unique<AcquisitionData>();
    s->at(Channel::Temperature, 1) = 21.5;
    s->at(Channel::Analog1, 1) = 1;
    s->at(Channel::Analog2, 1) = 2;
    s->at(Channel::Analog4, 1) = 4;
    for (auto [slot, value] : {std::pair{1, 5}, {2, 7}, {4, 9}, {5, 7}, {9, 7}})
        s->logicSlot(slot) = value;
    return s;
}

} // namespace

class TestTables : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Tables of N = 1, and of an N past the end of the store: what each shows, from its end.
    void table_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("temperature") << 0 << 1 << "Tableau température" << "0:\r\n1:21.5\r\n";
        QTest::newRow("logic: slots 0 to 4N") << 5 << 1 << "Tableau logique" << "0:\r\n1:5\r\n2:7\r\n3:\r\n4:9\r\n";
        QTest::newRow("no such table") << 6 << 1 << "" << "";
        QTest::newRow("temperature, store end") << 0 << 30000 << "Tableau température" << "1999:\r\n2000:\r\n";
        QTest::newRow("logic, store end") << 5 << 30000 << "Tableau logique" << "7999:\r\n8000:\r\n";
        // clang-format on
    }
    void table()
    {
        QFETCH(int, table);
        QFETCH(QString, text);
        const auto store = sampleStore();
        QCOMPARE(tableCaption(table), fetch<QString>("caption"));
        const QString shown = tableText(*store, table, fetch<int>("n"));
        QCOMPARE(shown.right(text.size()), text);
        QCOMPARE(shown.startsWith(u"0:"_s), !text.isEmpty());
    }

    // A window of three rows from the file's row 5000: file numbers, nothing past its rows.
    void tableOfAWindow_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<QString>("text");
        QTest::newRow("analog 1") << 1 << "5000:\r\n5001:1\r\n5002:\r\n";
        QTest::newRow("logic") << 5
                               << "20000:\r\n20001:5\r\n20002:7\r\n20003:\r\n20004:9\r\n"
                                  "20005:7\r\n20006:\r\n20007:\r\n20008:\r\n20009:7\r\n"
                                  "20010:\r\n20011:\r\n";
    }
    void tableOfAWindow()
    {
        const auto store = sampleStore();
        store->rows = 3;
        QTEST(tableText(*store, fetch<int>("table"), 10, 5000), "text");
    }

    // "RAZ tableaux" with N = 2: rows 0..2 and logic slots 0..8 become 0, the rest is kept.
    void clearShownRows()
    {
        auto s = sampleStore();
        s->at(Channel::Analog2, 3) = 6;
        clearTables(*s, 2);
        QCOMPARE(tableText(*s, 2, 3), u"0:0\r\n1:0\r\n2:0\r\n3:6\r\n"_s);
        QCOMPARE(tableText(*s, 5, 3),
                 u"0:0\r\n1:0\r\n2:0\r\n3:0\r\n4:0\r\n5:0\r\n6:0\r\n7:0\r\n"
                 "8:0\r\n9:7\r\n10:\r\n11:\r\n12:\r\n"_s);
    }

    // An N past the end of the store clears or fills up to its end, and not one slot beyond.
    void clearAndDemoStopAtTheStore()
    {
        auto s = std::make_unique<AcquisitionData>();
        clearTables(*s, 30000);
        QCOMPARE(s->logicSlot(AcquisitionData::kLogicSlots - 1), 0.0);
        QCOMPARE(s->at(Channel::Temperature, AcquisitionData::kRows - 1), 0.0);
        auto demo = std::make_unique<AcquisitionData>();
        DemoGenerator g;
        fillDemoData(*demo, 30000, g);
        QVERIFY(demo->at(Channel::Analog4, AcquisitionData::kRows - 1).has_value());
        QVERIFY(demo->logicSlot(AcquisitionData::kLogicSlots - 1).has_value());
    }
};

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
