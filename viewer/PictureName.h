#pragma once
// The name the chart's picture is offered under when it is saved.

#include <QString>

namespace platine {

// "graphique_2011-03-12.png" for a capture-date caption holding 12/03/2011 (with the time when
// the caption has one after the date: "graphique_2011-03-12_14-07.png"); "graphique.png" when it
// holds no date. A two-digit year stays as written.
QString chartPictureName(const QString &captureCaption);

} // namespace platine
