// Demonstration data: the portable generator, the order of the draws, the ranges, and what is
// left alone.

#include "viewer/AcquisitionData.h"
#include "viewer/DemoData.h"

#include <QTest>

#include <cmath>
#include <memory>
#include <vector>

using namespace platine;

namespace {

// The generator's sequence, written out independently: x <- (x * 1140671485 + 12820163) mod 2^24.
std::vector<double> expectedDraws(int count)
{
    std::vector<double> r;
    long long x = 327680;
    for (int i = 0; i < count; ++i) {
        x = (x * 1140671485LL + 12820163LL) % 16777216LL;
        r.push_back(double(x) / 16777216.0);
    }
    return r;
}

} // namespace

class TestDemoData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstNumbers();
    void drawsInOrder();
    void writesRowsZeroToNOnly();
    void rangesAndBalance();
    void sameValuesOnEveryRun();
    void generatorIsNeverReseeded();
};

void TestDemoData::firstNumbers()
{
    DemoGenerator g;
    // 327680 * 1140671485 + 12820163 = 373775692075520 + 12820163; mod 2^24 = 11837123.
    QCOMPARE(g.next(), 11837123.0 / 16777216.0);
    QCOMPARE(g.state(), 11837123u);
    QCOMPARE(g.next(), 8949370.0 / 16777216.0);
    QCOMPARE(g.next(), 9722709.0 / 16777216.0);
}

// Rows first (temperature then ana1..ana4 for each row), then the logic slots.
void TestDemoData::drawsInOrder()
{
    constexpr int n = 10;
    const std::vector<double> r = expectedDraws(5 * (n + 1) + 4 * n + 1);
    DemoGenerator g;
    auto store = std::make_unique<AcquisitionData>();
    fillDemoData(*store, n, g);

    std::size_t i = 0;
    for (int k = 0; k <= n; ++k) {
        const auto row = std::size_t(k);
        QCOMPARE(store->temperature[row], std::floor(r[i++] * 50));
        QCOMPARE(store->ana1[row], std::floor(r[i++] * 512));
        QCOMPARE(store->ana2[row], std::floor(r[i++] * 512));
        QCOMPARE(store->ana3[row], std::floor(r[i++] * 512));
        QCOMPARE(store->ana4[row], std::floor(r[i++] * 512));
    }
    for (int k = 0; k <= 4 * n; ++k)
        QCOMPARE(store->logique[std::size_t(k)], std::floor(r[i++] * 10) >= 5 ? 1.0 : 0.0);
    QCOMPARE(i, r.size());
    // The first temperature: int(0.7055475... * 50) = 35.
    QCOMPARE(store->temperature[0], 35.0);
}

void TestDemoData::writesRowsZeroToNOnly()
{
    auto store = std::make_unique<AcquisitionData>();
    for (std::size_t k = 41; k <= 48; ++k)
        store->logique[k] = 7.0;
    store->temperature[11] = 7.0;
    store->ana4[11] = 7.0;
    DemoGenerator g;
    fillDemoData(*store, 10, g);

    for (std::size_t k = 0; k <= 10; ++k)
        QVERIFY(store->temperature[k].has_value() && store->ana4[k].has_value());
    for (std::size_t k = 0; k <= 40; ++k)
        QVERIFY(*store->logique[k] == 0.0 || *store->logique[k] == 1.0);
    for (std::size_t k = 41; k <= 48; ++k)
        QCOMPARE(store->logique[k], 7.0);
    QCOMPARE(store->temperature[11], 7.0);
    QCOMPARE(store->ana4[11], 7.0);
    QVERIFY(!store->ana1[11].has_value());
}

void TestDemoData::rangesAndBalance()
{
    auto store = std::make_unique<AcquisitionData>();
    DemoGenerator g;
    fillDemoData(*store, 1000, g);
    double maxTemp = 0, maxAna = 0;
    for (std::size_t k = 0; k <= 1000; ++k) {
        for (const auto *a : {&store->ana1, &store->ana2, &store->ana3, &store->ana4}) {
            const double v = *(*a)[k];
            QVERIFY(v >= 0 && v < 512 && v == std::floor(v));
            maxAna = std::max(maxAna, v);
        }
        const double t = *store->temperature[k];
        QVERIFY(t >= 0 && t < 50 && t == std::floor(t));
        maxTemp = std::max(maxTemp, t);
    }
    QCOMPARE(maxTemp, 49.0);
    QCOMPARE(maxAna, 511.0);
    int ones = 0;
    for (std::size_t k = 0; k <= 4000; ++k) {
        const double v = *store->logique[k];
        QVERIFY(v == 0.0 || v == 1.0);
        ones += int(v);
    }
    QVERIFY2(ones > 1800 && ones < 2200, qPrintable(QString::number(ones)));
    QVERIFY(!store->logique[4001].has_value());
}

void TestDemoData::sameValuesOnEveryRun()
{
    auto a = std::make_unique<AcquisitionData>();
    auto b = std::make_unique<AcquisitionData>();
    DemoGenerator ga, gb;
    fillDemoData(*a, 250, ga);
    fillDemoData(*b, 250, gb);
    QVERIFY(a->temperature == b->temperature);
    QVERIFY(a->ana3 == b->ana3);
    QVERIFY(a->logique == b->logique);
}

// A second press goes on with the sequence: it does not start it again.
void TestDemoData::generatorIsNeverReseeded()
{
    DemoGenerator &g = DemoGenerator::instance();
    const std::uint32_t start = g.state();
    auto store = std::make_unique<AcquisitionData>();
    fillDemoData(*store, 10, g);
    const auto first = store->temperature;
    fillDemoData(*store, 10, g);
    QVERIFY(store->temperature != first);
    QVERIFY(g.state() != start);
    QCOMPARE(&DemoGenerator::instance(), &g);
}

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
