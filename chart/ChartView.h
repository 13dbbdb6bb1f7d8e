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
    virtual bool analogMode() const = 0;             // Option1 selected (else Option2)
    virtual bool channelSelected(int label56Index) const = 0; // border flag of Label56(i)
    virtual QString coeffText() const = 0;           // text of coeff
    virtual int rowCount() const = 0;                // value of HScroll1 (N)
    virtual const AcquisitionData &store() const = 0;
    virtual DrawingSurface &surface() = 0;           // Picture1; surface().width() is W

    // Written by the drawings and handlers.
    virtual void setText5(const QString &text) = 0;
    virtual void setLabel54(const QString &caption) = 0;
    virtual void setLabel59(const QString &caption) = 0;
    virtual QString label64() const = 0;
    virtual void setLabel64(const QString &caption) = 0;
    virtual void setAide(const QString &caption) = 0;
    virtual void moveCursorX(double x) = 0;          // both ends of `curseur` take X
    virtual void moveCursorY(double y) = 0;          // both ends of `curseur_h` take Y
};

} // namespace platine
