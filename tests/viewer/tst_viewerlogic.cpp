// The viewer's logic without a window: coefficient presets and channel flags, value tables with
// their cycle, the demonstration data and the load reports.

#include "model/AcquisitionData.h"
#include "model/DemoData.h"
#include "model/Tables.h"
#include "viewer/Channels.h"
#include "viewer/LoadReport.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <memory>

using namespace platine;
using namespace Qt::StringLiterals;
using End = AcquisitionReadResult::End;

using Flags = std::array<bool, kChannelCount>;
using Captions = std::array<QString, kGraduationCount>;
Q_DECLARE_METATYPE(Flags)
Q_DECLARE_METATYPE(Captions)
Q_DECLARE_METATYPE(End)

class TestViewerLogic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void presets_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("coeff");
        QTest::addColumn<Captions>("graduations");
        QTest::addColumn<Flags>("selected");
        const Captions ones{"1", "2", "3", "4", "5"}, tens{"10", "20", "30", "40", "50"};
        const Flags all{true, true, true, true, true, true, true, true, true};
        const Flags tempOnly{false, false, false, false, true, true, true, true, true};
        QTest::newRow("0-5v") << QList<int>{0} << "0.492" << ones << all;
        QTest::newRow("0-10v") << QList<int>{1} << "0.246" << Captions{"2", "4", "6", "8", "10"}
                               << all;
        QTest::newRow("Temp") << QList<int>{2} << "5" << tens << tempOnly;
        QTest::newRow("Temp twice") << QList<int>{2, 2} << "5" << tens << tempOnly;
        QTest::newRow("Temp, 0-5v keeps flags") << QList<int>{2, 0} << "0.492" << ones << tempOnly;
        QTest::newRow("0-10v, Temp") << QList<int>{1, 2} << "5" << tens << tempOnly;
    }
    void presets()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, coeff);
        QFETCH(Captions, graduations);
        QFETCH(Flags, selected);
        ChannelControls controls;
        controls.coeff = u"typed 3.3"_s;
        for (int i : clicks)
            applyPreset(i, controls);
        QCOMPARE(controls.coeff, coeff);
        QCOMPARE(controls.graduations, graduations);
        QCOMPARE(controls.selected, selected);
    }

    // An unselected label becomes selected; a selected one unselected, but LOG 1..4 stay.
    void toggle()
    {
        for (int i = 0; i < kChannelCount; ++i) {
            QVERIFY(toggledSelection(i, false));
            QCOMPARE(toggledSelection(i, true), i >= 4 && i <= 7);
        }
    }

    // Each table lists its array for N = 1 (logic slots 0..4N), values in the locale's form, an
    // empty slot as nothing; a click shows the table of the counter and advances it.
    void tables_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("t");
        QTest::addColumn<double>("value"); // in the table's slot 1
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        const QLocale fr(QLocale::French, QLocale::France), en(QLocale::English);
        QTest::newRow("0 French") << fr << 0 << 21.5 << u"Tableau température"_s
                                  << "0:\r\n1:21,5\r\n";
        QTest::newRow("1 English") << en << 1 << 21.5 << u"Tableau analogique N°1"_s
                                   << "0:\r\n1:21.5\r\n";
        QTest::newRow("2 -0") << fr << 2 << -0.0 << u"Tableau analogique N°2"_s
                              << "0:\r\n1:0\r\n";
        QTest::newRow("3 large") << fr << 3 << 1e20 << u"Tableau analogique N°3"_s
                                 << "0:\r\n1:1E+20\r\n";
        QTest::newRow("4 whole") << fr << 4 << 250.0 << u"Tableau analogique N°4"_s
                                 << "0:\r\n1:250\r\n";
        QTest::newRow("5 logic, wraps") << fr << 5 << 1.0 << u"Tableau logique"_s
                                        << "0:\r\n1:1\r\n2:\r\n3:\r\n4:7\r\n";
    }
    void tables()
    {
        QFETCH(QLocale, locale);
        QFETCH(int, t);
        QFETCH(double, value);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QLocale::setDefault(locale);
        auto s = std::make_unique<AcquisitionData>();
        const std::array arrays{&s->temperature, &s->analog1, &s->analog2, &s->analog3,
                                &s->analog4};
        for (int k = 0; k < 5; ++k)
            (*arrays[k])[2] = 7; // beyond N
        s->logic[4] = 7;
        s->logic[5] = 7; // beyond 4N
        (t == 5 ? s->logic[1] : (*arrays[t])[1]) = value;
        TableCycle cycle;
        cycle.setCounter(t);
        const ShownTable shown = cycle.showNext(*s, 1);
        QCOMPARE(shown.caption, caption);
        QCOMPARE(shown.text, text);
        QCOMPARE(cycle.counter(), (t + 1) % 6);
    }

    // "RAZ tableaux": rows 0..N and logic slots 0..4N become 0, the rest is left alone.
    void razTableaux()
    {
        auto store = std::make_unique<AcquisitionData>();
        store->analog3[10] = store->analog3[11] = 111;
        store->logic[41] = 1;
        clearTables(*store, 10);
        QCOMPARE(store->temperature[10], 0.0); // was empty
        QCOMPARE(store->analog3[10], 0.0);
        QCOMPARE(store->analog3[11], 111.0);
        QCOMPARE(store->logic[40], 0.0);
        QCOMPARE(store->logic[41], 1.0);
        QVERIFY(!store->temperature[11]);
    }

    // The draws, written out independently (x <- (x * 1140671485 + 12820163) mod 2^24 from
    // 327680; the first three worked out by hand), go rows first (temperature then analog1..analog4),
    // then logic slots 0..4N; nothing else is touched. Whole numbers: temperatures 0..49, analog
    // values 0..511, logic values 0 or 1 about evenly.
    void demoDrawsInOrder()
    {
        constexpr std::size_t n = 1000;
        std::vector<double> r;
        for (long long x = 327680; r.size() < 5 * (n + 1) + 4 * n + 1;) {
            x = (x * 1140671485LL + 12820163LL) % 16777216LL;
            r.push_back(double(x) / 16777216.0);
        }
        QCOMPARE(r[0] * 16777216, 11837123.0); // 373775245024963 mod 2^24
        QCOMPARE(r[1] * 16777216, 8949370.0);
        QCOMPARE(r[2] * 16777216, 9722709.0);
        auto store = std::make_unique<AcquisitionData>();
        store->analog4[n + 1] = store->logic[4 * n + 1] = 7;
        DemoGenerator g;
        fillDemoData(*store, n, g);
        QCOMPARE(store->temperature[0], 35.0); // int(0.7055... * 50)
        std::size_t i = 0;
        double maxTemp = 0, maxAna = 0, ones = 0;
        for (std::size_t k = 0; k <= n; ++k) {
            QCOMPARE(store->temperature[k], std::floor(r[i++] * 50));
            maxTemp = std::max(maxTemp, *store->temperature[k]);
            for (const auto *a :
                 {&store->analog1, &store->analog2, &store->analog3, &store->analog4}) {
                QCOMPARE((*a)[k], std::floor(r[i++] * 512));
                maxAna = std::max(maxAna, *(*a)[k]);
            }
        }
        for (std::size_t k = 0; k <= 4 * n; ++k) {
            QCOMPARE(store->logic[k], std::floor(r[i++] * 10) >= 5 ? 1.0 : 0.0);
            ones += *store->logic[k];
        }
        QCOMPARE(maxTemp, 49.0);
        QCOMPARE(maxAna, 511.0);
        QVERIFY2(ones > 1800 && ones < 2200, qPrintable(QString::number(ones)));
        QCOMPARE(store->analog4[n + 1], 7.0);
        QCOMPARE(store->logic[4 * n + 1], 7.0);
        QVERIFY(!store->temperature[n + 1]);
    }

    // What the help line says after a load, and which loads deserve a message of their own.
    void loadReports_data()
    {
        QTest::addColumn<int>("rows"); // -1: the file could not be opened; -2: no data line
        QTest::addColumn<End>("end");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("warning");
        using QTest::newRow;
        newRow("complete") << 400 << End::EndOfFile << u"« a.txt » : 400 acquisitions chargées."_s
                           << false;
        newRow("one") << 1 << End::EndOfFile << u"« a.txt » : 1 acquisition chargée."_s << false;
        newRow("short line") << 56 << End::ShortLine
                             << u"« a.txt » : 56 acquisitions chargées ; chargement arrêté à la "
                                "ligne 57, qui a moins de neuf champs."_s
                             << true;
        newRow("capacity") << 2000 << End::Capacity
                           << u"« a.txt » : 2001 acquisitions chargées ; le graphique en contient "
                              "au plus 2001, la suite du fichier (à partir de la ligne 57) n'est "
                              "pas chargée."_s
                           << true;
        newRow("read error") << 0 << End::ReadError
                             << u"« a.txt » : 0 acquisition chargée ; erreur de lecture à la ligne "
                                "57 (Input/output error), la suite n'est pas chargée."_s
                             << true;
        newRow("no data line") << -2 << End::EndOfFile
                               << u"« a.txt » ne contient aucune ligne d'acquisition : rien n'a "
                                  "été chargé, le graphique garde ses données."_s
                               << true;
        newRow("not opened") << -1 << End::EndOfFile
                             << u"Impossible d'ouvrir « /d/a.txt » : Permission denied"_s << true;
    }
    void loadReports()
    {
        QFETCH(int, rows);
        QFETCH(End, end);
        QFETCH(QString, text);
        QFETCH(bool, warning);
        std::optional<AcquisitionReadResult> result;
        if (rows != -1) {
            result.emplace();
            result->rowsStored = std::max(rows, 0);
            result->dataLineSeen = rows != -2;
            result->end = end;
            result->endLine = end == End::EndOfFile ? 0 : 57;
            result->error = u"Input/output error"_s;
        }
        const LoadReport report = loadReport(u"/d/a.txt"_s, result, u"Permission denied"_s);
        QCOMPARE(report.text, text);
        QCOMPARE(report.warning, warning);
    }
};

QTEST_GUILESS_MAIN(TestViewerLogic)
#include "tst_viewerlogic.moc"
