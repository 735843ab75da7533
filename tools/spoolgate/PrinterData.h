#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What Spoolgate learns from the start of the data it sends. Printer data made by Inkforge
// starts with "ZORPRN 1" and a header closed by an empty line; it names the copy count
// and the number of data bytes after the header, so a cut-off job is never sent. Any other
// data is sent as it is, once.
struct PrinterDataInfo
{
    bool recognised = false;
    bool headerComplete = false;
    int copies = 1;
    qint64 headerBytes = 0;
    qint64 dataBytes = -1; // -1 when the header does not say
};

// The largest header Spoolgate looks at; Inkforge's is a few hundred bytes.
constexpr qint64 MaxPrinterDataHeader = 64 * 1024;

PrinterDataInfo inspectPrinterData(const QByteArray &start);
