#pragma once
// What the chart's drawings and handlers read from and write to the viewer window. The viewer
// window implements it over its controls; tests implement it over plain fields.

#include <QColor>
#include <QString>

namespace platine {

class DrawingSurface;
struct AcquisitionData;

class ChartView
{
public:
    virtual ~ChartView() = default;

    // Read at the moment a drawing or handler runs.
    virtual bool analogMode() const = 0;                 // analog inputs (else logic inputs)
    virtual bool channelSelected(int channel) const = 0; // selection flag of channel label i
    virtual QString coefficientText() const = 0;         // the coefficient box, as typed
    virtual int rowCount() const = 0;                    // N, the number of acquisitions
    virtual const AcquisitionData &store() const = 0;
    virtual DrawingSurface &surface() = 0; // the chart area; surface().width() is W

    // Written by the drawings and handlers.
    virtual void setTableText(const QString &text) = 0;           // the value table box
    virtual void setLogicZoomCaption(const QString &caption) = 0; // the hidden logic-zoom label
    virtual void setRowReadout(const QString &caption) = 0;
    virtual QString valueReadout() const = 0;
    virtual void setValueReadout(const QString &caption) = 0;
    virtual void setHelpText(const QString &caption) = 0; // the help line
    virtual void moveVerticalCursor(double x) = 0;        // both ends of the vertical cursor take X
    virtual void moveHorizontalCursor(double y) = 0; // both ends of the horizontal cursor take Y
};

} // namespace platine
