#pragma once
// A chart view over plain fields, for tests and benchmarks: the controls the chart reads are fields
// the test sets, the captions the chart writes are fields the test checks. It draws on a surface
// given by the caller, or on its own recording surface.

#include "chart/ChartView.h"
#include "chart/RecordingSurface.h"
#include "viewer/AcquisitionData.h"

#include <QString>

#include <array>
#include <memory>

namespace platine {

class FakeChartView : public ChartView
{
public:
    FakeChartView()
        : m_store(std::make_unique<AcquisitionData>())
        , m_recording(std::make_unique<RecordingSurface>())
        , m_surface(m_recording.get())
    {
        selected.fill(true); // all nine channels start selected
    }
    // Draws on the given surface instead of the recording one.
    explicit FakeChartView(DrawingSurface &surface)
        : FakeChartView()
    {
        m_surface = &surface;
    }

    // Controls read by the chart.
    bool analog = true;
    std::array<bool, 9> selected{};
    QString coeff = QStringLiteral("0.492");
    int n = 100;

    // Captions and cursor positions written by the chart (designer values at start).
    QString text5;
    QString caption54 = QStringLiteral("Label54");
    QString caption59 = QStringLiteral("Acquisition N° :");
    QString caption64 = QStringLiteral("0");
    QString aide = QStringLiteral("Aide");
    double cursorX = 1800;
    double cursorY = 2580;
    int text5Writes = 0;

    AcquisitionData &data() { return *m_store; }
    RecordingSurface &recording() { return *m_recording; }

    bool analogMode() const override { return analog; }
    bool channelSelected(int label56Index) const override
    {
        return selected.at(static_cast<std::size_t>(label56Index));
    }
    QString coeffText() const override { return coeff; }
    int rowCount() const override { return n; }
    const AcquisitionData &store() const override { return *m_store; }
    DrawingSurface &surface() override { return *m_surface; }

    void setText5(const QString &text) override
    {
        text5 = text;
        ++text5Writes;
    }
    void setLabel54(const QString &caption) override { caption54 = caption; }
    void setLabel59(const QString &caption) override { caption59 = caption; }
    QString label64() const override { return caption64; }
    void setLabel64(const QString &caption) override { caption64 = caption; }
    void setAide(const QString &caption) override { aide = caption; }
    void moveCursorX(double x) override { cursorX = x; }
    void moveCursorY(double y) override { cursorY = y; }

private:
    std::unique_ptr<AcquisitionData> m_store;
    std::unique_ptr<RecordingSurface> m_recording;
    DrawingSurface *m_surface;
};

} // namespace platine
