#include "PrinterQueues.h"

#include <QDeadlineTimer>

#include <cups/cups.h>

namespace {

PrinterQueues *g_instance = nullptr;

CupsPrinterQueues &realQueues()
{
    static CupsPrinterQueues queues;
    return queues;
}

// libcups waits in slices of this length and asks keepWaiting after each.
constexpr double WaitSliceSeconds = 0.25;

int keepWaiting(http_t *, void *deadline)
{
    return static_cast<const QDeadlineTimer *>(deadline)->hasExpired() ? 0 : 1;
}

} // namespace

PrinterQueues &PrinterQueues::instance()
{
    return g_instance ? *g_instance : realQueues();
}

void PrinterQueues::setInstance(PrinterQueues *queues)
{
    g_instance = queues;
}

PrinterQueueList CupsPrinterQueues::queues()
{
    PrinterQueueList list;

    // A server that is not there is noticed at once (the socket is missing or refuses).
    // One that accepts the connection and never answers, such as a hung scheduler, keeps
    // libcups' default connection waiting for good, and the program with it. So the
    // destinations are read over a connection of our own, which gives up once the budget
    // is spent. It reaches the same server libcups would choose, and cupsGetDests2 treats
    // it alike: local servers also contribute the printers found on the network, and the
    // user's lpoptions add instances and may name another default.
    QDeadlineTimer deadline(AnswerBudgetMs);
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                AnswerBudgetMs, nullptr);
    if (!http)
        return list;
    httpSetTimeout(http, WaitSliceSeconds, keepWaiting, &deadline);

    cups_dest_t *dests = nullptr;
    const int count = cupsGetDests2(http, &dests);
    for (int i = 0; i < count; ++i) {
        const cups_dest_t &dest = dests[i];
        QString name = QString::fromUtf8(dest.name);
        if (dest.instance && *dest.instance)
            name += QLatin1Char('/') + QString::fromUtf8(dest.instance);
        if (dest.is_default && list.defaultName.isEmpty())
            list.defaultName = name;
        list.names.append(name);
    }
    cupsFreeDests(count, dests);
    httpClose(http);
    return list;
}
