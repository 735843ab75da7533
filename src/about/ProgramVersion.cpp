#include "ProgramVersion.h"

#include <QStringList>

QString TProgramVersion::text() const
{
    return QStringLiteral("%1.%2.%3.%4").arg(Major).arg(Minor).arg(Release).arg(Build);
}

QString TProgramVersion::shortText() const
{
    return QStringLiteral("%1.%2.%3").arg(Major).arg(Minor).arg(Release);
}

TProgramVersion parseProgramVersion(const QString &dotted, const QString &legalCopyright)
{
    const QStringList parts = dotted.split(QLatin1Char('.'));
    const auto number = [&parts](int index) {
        // Each number is a 16-bit word of the file version.
        const uint value = parts.value(index).toUInt();
        return value <= 0xFFFF ? int(value) : 0;
    };
    TProgramVersion version;
    version.Major = number(0);
    version.Minor = number(1);
    version.Release = number(2);
    version.Build = number(3);
    version.LegalCopyright = legalCopyright;
    return version;
}

TProgramVersion programVersion()
{
    return parseProgramVersion(QStringLiteral(DIRIDU_VERSION),
                               QStringLiteral(DIRIDU_LEGAL_COPYRIGHT));
}
