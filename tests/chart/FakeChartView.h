#pragma once
// A chart view over plain fields, for tests and benchmarks: controls to set, captions to read back.
// It draws on the surface given, or on a recording surface of its own.

#include "chart/ChartView.h"
#include "chart/RecordingSurface.h"
#include "model/AcquisitionData.h"

#include <memory>

namespace platine {

class FakeChartView : public ChartView
{
public:
    FakeChartView() { selected.fill(true); }
    explicit FakeChartView(DrawingSurface &surface) : FakeChartView() { m_surface = &surface; }

    bool analog = true;
    std::array<bool, 9> selected{};
    int n = 100;
    QString coeff = QStringLiteral("0.492"), table, logicZoom, rowReadout;
    QString valueReadoutText = QStringLiteral("old"), help = QStringLiteral("Aide");
    double cursorX = -1, cursorY = -1;

    AcquisitionData &data() { return *m_store; }
    RecordingSurface &recording() { return *m_recording; }

    bool analogMode() const override { return analog; }
    bool channelSelected(int i) const override { return selected.at(std::size_t(i)); }
    QString coefficientText() const override { return coeff; }
    int rowCount() const override { return n; }
    const AcquisitionData &store() const override { return *m_store; }
    DrawingSurface &surface() override { return *m_surface; }
    void setTableText(const QString &text) override { table = text; }
    void setLogicZoomCaption(const QString &caption) override { logicZoom = caption; }
    void setRowReadout(const QString &caption) override { rowReadout = caption; }
    QString valueReadout() const override { return valueReadoutText; }
    void setValueReadout(const QString &caption) override { valueReadoutText = caption; }
    void setHelpText(const QString &caption) override { help = caption; }
    void moveVerticalCursor(double x) override { cursorX = x; }
    void moveHorizontalCursor(double y) override { cursorY = y; }

private:
    std::unique_ptr<AcquisitionData> m_store = std::make_unique<AcquisitionData>();
    std::unique_ptr<RecordingSurface> m_recording = std::make_unique<RecordingSurface>();
    DrawingSurface *m_surface = m_recording.get();
};

} // namespace platine
