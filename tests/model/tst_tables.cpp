// Guards against: a wrong value table (caption, lines, bounds, cycle), "RAZ tableaux" or demo data.

#include "model/AcquisitionData.h"
#include "model/DemoData.h"
#include "model/Tables.h"

#include <QtTest>

using namespace platine;
using Slots = QList<std::optional<double>>;

class TestTables : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The tables as clicks cycle through them, N = 1; "RAZ tableaux" for N = 2 (slots 0..4N).
    void tables()
    {
        auto s = std::make_unique<AcquisitionData>();
        s->temperature[1] = 21.5, s->analog1[1] = 1, s->analog2[1] = 2, s->analog3[1] = 3;
        s->analog4[1] = 4, s->logic[1] = 5, s->logic[2] = s->logic[5] = s->logic[9] = 7;
        s->temperature[2] = s->analog1[2] = s->analog2[2] = s->analog3[2] = s->analog4[2] = 7;
        s->logic[4] = 9;
        TableCycle cycle;
        cycle.setCounter(0);
        QStringList got;
        for (int t = 0; t < 6; ++t)
            got << cycle.showNext(*s, 1).caption + ' ' + tableText(*s, t, 1);
        QCOMPARE(got, (QStringList{"Tableau température 0:\r\n1:21.5\r\n",
            "Tableau analogique N°1 0:\r\n1:1\r\n", "Tableau analogique N°2 0:\r\n1:2\r\n",
            "Tableau analogique N°3 0:\r\n1:3\r\n", "Tableau analogique N°4 0:\r\n1:4\r\n",
            "Tableau logique 0:\r\n1:5\r\n2:7\r\n3:\r\n4:9\r\n"}));
        QCOMPARE(cycle.counter(), 0);
        clearTables(*s, 2);
        for (int t = 0; t < 6; ++t)
            got[t] = tableText(*s, t, 3);
        QCOMPARE(got, QStringList(5, "0:0\r\n1:0\r\n2:0\r\n3:\r\n")
                          << "0:0\r\n1:0\r\n2:0\r\n3:0\r\n4:0\r\n5:0\r\n6:0\r\n7:0\r\n8:0\r\n"
                             "9:7\r\n10:\r\n11:\r\n12:\r\n");
    }

    // "Aléatoire": x = (x * 1140671485 + 12820163) mod 2^24 from 327680, by rows, then logic.
    void demoData()
    {
        auto s = std::make_unique<AcquisitionData>();
        s->temperature[2] = s->logic[5] = 7;
        DemoGenerator g, fresh;
        fillDemoData(*s, 1, g);
        Slots got{s->temperature[2], s->logic[5]};
        for (int r : {0, 1})
            got << s->temperature[r] << s->analog1[r] << s->analog2[r] << s->analog3[r]
                << s->analog4[r];
        got << s->logic[0] << s->logic[1] << s->logic[2] << s->logic[3] << s->logic[4];
        QCOMPARE(got, (Slots{7, 7, 35, 273, 296, 148, 154, 38, 7, 389, 417, 363, 0, 0, 1, 1, 0}));
        fillDemoData(*s, 1000, fresh);
        const auto t = std::minmax_element(s->temperature.begin(), s->temperature.begin() + 1001);
        const auto a = std::minmax_element(s->analog4.begin(), s->analog4.begin() + 1001);
        const auto ones = std::count(s->logic.begin(), s->logic.begin() + 4001, 1.0);
        QCOMPARE((Slots{*t.first, *t.second, *a.first, *a.second}), (Slots{0, 49, 0, 511}));
        QVERIFY2(ones > 1900 && ones < 2100, qPrintable(QString::number(ones)));
    }
};

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
