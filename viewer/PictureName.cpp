#include "viewer/PictureName.h"

#include <QRegularExpression>

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

} // namespace platine
