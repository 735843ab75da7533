#include "PrinterData.h"

#include <QList>

PrinterDataInfo inspectPrinterData(const QByteArray &start)
{
    PrinterDataInfo info;
    if (!start.startsWith("ZORPRN 1\n"))
        return info;
    info.recognised = true;
    const qsizetype end = start.left(MaxPrinterDataHeader).indexOf("\n\n");
    if (end < 0)
        return info;
    info.headerComplete = true;
    info.headerBytes = end + 2;
    const QList<QByteArray> lines = start.left(end).split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray key = line.left(colon);
        const QByteArray value = line.mid(colon + 1).trimmed();
        bool ok = false;
        if (key == "Copies") {
            const int copies = value.toInt(&ok);
            if (ok && copies >= 1 && copies <= 999)
                info.copies = copies;
        } else if (key == "DataBytes") {
            const qint64 bytes = value.toLongLong(&ok);
            if (ok && bytes >= 0)
                info.dataBytes = bytes;
        }
    }
    return info;
}
