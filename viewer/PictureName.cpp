#include "viewer/PictureName.h"

#include <QImage>
#include <QRegularExpression>
#include <QSaveFile>

namespace platine {

QString chartPictureName(const QString &captureCaption)
{
    static const QRegularExpression date(QStringLiteral(
        "(\\d{1,2})/(\\d{1,2})/(\\d{2}|\\d{4})(?!\\d)(?:\\D{1,3}(\\d{1,2})[:h](\\d{2}))?"));
    const QRegularExpressionMatch m = date.match(captureCaption);
    if (!m.hasMatch())
        return QStringLiteral("graphique.png");
    const auto two = [&](int group) { return m.captured(group).rightJustified(2, u'0'); };
    QString name = QStringLiteral("graphique_%1-%2-%3").arg(m.captured(3), two(2), two(1));
    if (m.hasCaptured(4))
        name += QStringLiteral("_%1-%2").arg(two(4), two(5));
    return name + QStringLiteral(".png");
}

Status savePicture(const QImage &picture, const QString &path)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit())
        return Done{};
    return Failure{file.errorString()};
}

} // namespace platine
