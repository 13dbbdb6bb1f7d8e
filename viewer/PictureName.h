#pragma once
// The name the chart's picture is offered under when it is saved, and its saving.

#include "platform/Result.h"

#include <QString>

class QImage;

namespace platine {

// "graphique_2011-03-12.png" for a capture-date caption holding 12/03/2011 (with the time when
// the caption has one after the date: "graphique_2011-03-12_14-07.png"); "graphique.png" when it
// holds no date. A two-digit year stays as written.
QString chartPictureName(const QString &captureCaption);

// Saves the picture as a PNG file; an existing file is replaced whole or not at all.
Status savePicture(const QImage &picture, const QString &path);

} // namespace platine
