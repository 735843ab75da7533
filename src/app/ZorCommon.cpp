#include "ZorCommon.h"

QString guiVersion()
{
    return QStringLiteral(DIRIDU_VERSION);
}

QString versionCaption(const QString &caption, const QString &version)
{
    return caption + QStringLiteral(" Version ") +
           version.section(QLatin1Char('.'), 0, 2, QString::SectionSkipEmpty);
}
