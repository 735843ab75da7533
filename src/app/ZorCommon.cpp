#include "ZorCommon.h"

#include "ProgramVersion.h"

QString guiVersion()
{
    return programVersion().text();
}

QString versionCaption(const QString &caption, const QString &version)
{
    return caption + QStringLiteral(" Version ") +
           version.section(QLatin1Char('.'), 0, 2, QString::SectionSkipEmpty);
}
