// Value tables: the text of each table, the caption cycle with its program-wide counter, and
// "RAZ tableaux".

#include "viewer/AcquisitionData.h"
#include "viewer/Tables.h"

#include <QLocale>
#include <QTest>

#include <memory>

using namespace platine;

class TestTables : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void firstClickOnEmptyStore();
    void captionCycle_data();
    void captionCycle();
    void seventhClickShowsTemperatureAgain();
    void logicTableHasFourNPlusOneLines();
    void valuesUseTheLocaleSeparator_data();
    void valuesUseTheLocaleSeparator();
    void clearTablesZeroesShownRowsOnly();

private:
    std::unique_ptr<AcquisitionData> m_store;
};

void TestTables::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestTables::init()
{
    m_store = std::make_unique<AcquisitionData>();
    setTableCounter(0);
}

void TestTables::firstClickOnEmptyStore()
{
    QCOMPARE(tableButtonDesignerCaption(), QStringLiteral("Tableau analogique N° 1"));
    const ShownTable shown = nextTable(*m_store, 10);
    QString expected;
    for (int k = 0; k <= 10; ++k)
        expected += QString::number(k) + QStringLiteral(":\r\n");
    QCOMPARE(shown.text, expected);
    QCOMPARE(shown.caption, QStringLiteral("Tableau température"));
    QCOMPARE(tableCounter(), 1);
}

void TestTables::captionCycle_data()
{
    QTest::addColumn<int>("t");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("firstValue"); // value put in slot 0 of the listed array

    QTest::newRow("0 temperature") << 0 << QStringLiteral("Tableau température") << 10;
    QTest::newRow("1 ana1") << 1 << QStringLiteral("Tableau analogique N°1") << 11;
    QTest::newRow("2 ana2") << 2 << QStringLiteral("Tableau analogique N°2") << 12;
    QTest::newRow("3 ana3") << 3 << QStringLiteral("Tableau analogique N°3") << 13;
    QTest::newRow("4 ana4") << 4 << QStringLiteral("Tableau analogique N°4") << 14;
    QTest::newRow("5 logique") << 5 << QStringLiteral("Tableau logique") << 15;
}

// Each counter value lists its own array and names it; the counter then advances.
void TestTables::captionCycle()
{
    QFETCH(int, t);
    QFETCH(QString, caption);
    QFETCH(int, firstValue);

    m_store->temperature[0] = 10;
    m_store->ana1[0] = 11;
    m_store->ana2[0] = 12;
    m_store->ana3[0] = 13;
    m_store->ana4[0] = 14;
    m_store->logique[0] = 15;
    setTableCounter(t);
    const ShownTable shown = nextTable(*m_store, 10);
    QCOMPARE(shown.caption, caption);
    QVERIFY2(shown.text.startsWith(QStringLiteral("0:%1\r\n1:\r\n").arg(firstValue)),
             qPrintable(shown.text.left(20)));
    QCOMPARE(tableCounter(), t == 5 ? 0 : t + 1);
}

void TestTables::seventhClickShowsTemperatureAgain()
{
    QStringList captions;
    for (int click = 0; click < 7; ++click)
        captions << nextTable(*m_store, 10).caption;
    QCOMPARE(captions.first(), QStringLiteral("Tableau température"));
    QCOMPARE(captions.at(5), QStringLiteral("Tableau logique"));
    QCOMPARE(captions.last(), QStringLiteral("Tableau température"));
    QCOMPARE(tableCounter(), 1);
}

void TestTables::logicTableHasFourNPlusOneLines()
{
    m_store->logique[40] = 1;
    m_store->logique[41] = 1;
    const QString text = tableText(*m_store, 5, 10);
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 41);
    QCOMPARE(lines.first(), QStringLiteral("0:"));
    QCOMPARE(lines.last(), QStringLiteral("40:1"));
}

void TestTables::valuesUseTheLocaleSeparator_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("line");
    QTest::newRow("French") << QLocale(QLocale::French, QLocale::France) << QStringLiteral("0:21,5");
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates)
                             << QStringLiteral("0:21.5");
}

void TestTables::valuesUseTheLocaleSeparator()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, line);
    QLocale::setDefault(locale);
    m_store->temperature[0] = 21.5;
    m_store->temperature[1] = 250.0;
    m_store->temperature[2] = -0.0;
    const QStringList lines = tableText(*m_store, 0, 2).split(QStringLiteral("\r\n"));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QCOMPARE(lines.at(0), line);
    QCOMPARE(lines.at(1), QStringLiteral("1:250"));
    QCOMPARE(lines.at(2), QStringLiteral("2:0"));
}

void TestTables::clearTablesZeroesShownRowsOnly()
{
    for (int r = 0; r <= 12; ++r) {
        m_store->temperature[std::size_t(r)] = 20.5 + r;
        m_store->ana3[std::size_t(r)] = 100 + r;
    }
    m_store->logique[41] = 1;
    clearTables(*m_store, 10);

    const QStringList lines = tableText(*m_store, 0, 11).split(QStringLiteral("\r\n"));
    for (int k = 0; k <= 10; ++k)
        QCOMPARE(lines.at(k), QStringLiteral("%1:0").arg(k));
    QCOMPARE(lines.at(11), QStringLiteral("11:31,5")); // loaded earlier, beyond N
    QCOMPARE(m_store->ana3[10], 0.0);
    QCOMPARE(m_store->ana3[11], 111.0);
    QCOMPARE(m_store->logique[40], 0.0); // was empty, now 0
    QCOMPARE(m_store->logique[41], 1.0);
    QVERIFY(!m_store->logique[42].has_value());
    QCOMPARE(tableCounter(), 0); // not touched
}

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
