// Spoolgate: sends printer data to a CUPS printer queue as one raw job. The server is the
// one libcups chooses (CUPS_SERVER, client.conf, the local scheduler).
//
//   Spoolgate "<queue>" - "<document name>"     the data from standard input
//   Spoolgate "<queue>" <file> ["<document name>"]
//   Spoolgate --version
//
// The document name is the job's title. The copy count comes from the printer data header
// (Inkforge writes it). On success Spoolgate writes nothing to standard error: the front
// end counts every line it writes there as a failure.

#include "Diagnostics.h"
#include "PrinterData.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <cstdio>
#include <memory>

#ifndef ZOR_FILE_VERSION
#error "ZOR_FILE_VERSION is set by the build"
#endif

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;
constexpr int ConnectTimeoutMs = 10000;

// A print server that asks for a password gets none: there is nobody to type it.
const char *noPassword(const char *, http_t *, const char *, const char *, void *)
{
    return nullptr;
}

int failAfterDraining(bool fromStdin, int code)
{
    if (fromStdin)
        drainStandardInput();
    return code;
}

QString lastCupsError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// A socket path, or host and port.
QString serverName()
{
    const QString server = QString::fromUtf8(cupsServer());
    return server.startsWith(QLatin1Char('/')) ? server
                                               : QStringLiteral("%1:%2").arg(server).arg(ippPort());
}

// The print server libcups would use, connected; null after reporting why not.
http_t *connectServer(Diagnostics &diagnostics)
{
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                ConnectTimeoutMs, nullptr);
    if (!http)
        diagnostics.error(QStringLiteral("cannot reach the print server %1").arg(serverName()));
    return http;
}

bool queueExists(http_t *http, const QString &queue, Diagnostics &diagnostics)
{
    const qsizetype slash = queue.indexOf(QLatin1Char('/'));
    const QByteArray name = queue.left(slash < 0 ? queue.size() : slash).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : queue.mid(slash + 1).toUtf8();
    cups_dest_t *dest = cupsGetNamedDest(http, name.constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    if (dest) {
        cupsFreeDests(1, dest);
        return true;
    }
    diagnostics.error(QStringLiteral("printer queue \"%1\" not found on %2: %3")
                          .arg(queue, serverName(), lastCupsError()));
    return false;
}

// Copies the source into a spool file, keeping its first bytes for the header check.
bool spool(std::FILE *in, QFile &out, QByteArray &start, qint64 &total, Diagnostics &diagnostics)
{
    std::unique_ptr<char[]> buffer(new char[ChunkBytes]);
    total = 0;
    size_t got = 0;
    while ((got = std::fread(buffer.get(), 1, size_t(ChunkBytes), in)) > 0) {
        if (start.size() < MaxPrinterDataHeader)
            start.append(buffer.get(), qsizetype(std::min<qint64>(
                                           qint64(got), MaxPrinterDataHeader - start.size())));
        if (out.write(buffer.get(), qint64(got)) != qint64(got)) {
            diagnostics.error(
                QStringLiteral("cannot spool the printer data: %1").arg(out.errorString()));
            return false;
        }
        total += qint64(got);
    }
    if (std::ferror(in)) {
        diagnostics.error(QStringLiteral("cannot read the printer data"));
        return false;
    }
    return out.flush();
}

bool submit(http_t *http, const QString &queue, const QString &title, int copies, QFile &data,
            Diagnostics &diagnostics)
{
    const QByteArray name = queue.section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray titleBytes = title.toUtf8();
    cups_option_t *options = nullptr;
    int optionCount = 0;
    if (copies > 1)
        optionCount =
            cupsAddOption("copies", QByteArray::number(copies).constData(), optionCount, &options);
    const int job =
        cupsCreateJob(http, name.constData(), titleBytes.constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (job == 0) {
        diagnostics.error(
            QStringLiteral("cannot create a job on \"%1\": %2").arg(queue, lastCupsError()));
        return false;
    }
    const auto fail = [&](const QString &what) {
        diagnostics.error(QStringLiteral("%1 on \"%2\": %3").arg(what, queue, lastCupsError()));
        cupsCancelJob2(http, name.constData(), job, 0);
        return false;
    };
    if (cupsStartDocument(http, name.constData(), job, titleBytes.constData(), CUPS_FORMAT_RAW,
                          1) != HTTP_STATUS_CONTINUE)
        return fail(QStringLiteral("cannot start the document of job %1").arg(job));
    if (!data.seek(0))
        return fail(QStringLiteral("cannot read the spooled data"));
    while (!data.atEnd()) {
        const QByteArray chunk = data.read(ChunkBytes);
        if (chunk.isEmpty())
            return fail(QStringLiteral("cannot read the spooled data"));
        if (cupsWriteRequestData(http, chunk.constData(), size_t(chunk.size())) !=
            HTTP_STATUS_CONTINUE)
            return fail(QStringLiteral("cannot send job %1").arg(job));
    }
    if (cupsFinishDocument(http, name.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        diagnostics.error(QStringLiteral("job %1 on \"%2\" was not accepted: %3")
                              .arg(job)
                              .arg(queue, lastCupsError()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (answerVersionRequest(argc, argv, ZOR_FILE_VERSION, "Spoolgate"))
        return 0;
    prepareBinaryStreams();
    cupsSetPasswordCB2(noPassword, nullptr);
    Diagnostics diagnostics;

    const bool fromStdin = argc >= 3 && QByteArray(argv[2]) == "-";
    if (argc < 3 || argc > 4) {
        diagnostics.error(QStringLiteral("usage: Spoolgate \"<queue>\" - \"<document name>\""));
        return failAfterDraining(fromStdin, 2);
    }
    const QString queue = QString::fromLocal8Bit(argv[1]);
    const QString source = QString::fromLocal8Bit(argv[2]);
    QString title = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QFileInfo(source).fileName();
    if (title.isEmpty() || title == QLatin1String("-"))
        title = QStringLiteral("Zorlane print");
    if (queue.isEmpty()) {
        diagnostics.error(QStringLiteral("no printer queue named"));
        return failAfterDraining(fromStdin, 2);
    }
    std::unique_ptr<http_t, void (*)(http_t *)> http(connectServer(diagnostics), httpClose);
    if (!http || !queueExists(http.get(), queue, diagnostics))
        return failAfterDraining(fromStdin, 1);

    std::FILE *in = stdin;
    if (!fromStdin) {
        in = std::fopen(QFile::encodeName(source).constData(), "rb");
        if (!in) {
            diagnostics.error(QStringLiteral("cannot open %1").arg(source));
            return 1;
        }
    }
    QTemporaryFile spoolFile;
    if (!spoolFile.open()) {
        diagnostics.error(
            QStringLiteral("cannot create a spool file: %1").arg(spoolFile.errorString()));
        return failAfterDraining(fromStdin, 1);
    }
    QByteArray start;
    qint64 total = 0;
    const bool spooled = spool(in, spoolFile, start, total, diagnostics);
    if (in != stdin)
        std::fclose(in);
    if (!spooled)
        return failAfterDraining(fromStdin, 1);
    if (total == 0) {
        diagnostics.error(
            QStringLiteral("no printer data to send; nothing sent to \"%1\"").arg(queue));
        return 1;
    }

    const PrinterDataInfo info = inspectPrinterData(start);
    if (info.recognised && (!info.headerComplete || info.dataBytes < 0)) {
        diagnostics.error(
            QStringLiteral("the printer data header is damaged; nothing sent to \"%1\"")
                .arg(queue));
        return 1;
    }
    if (info.recognised && total != info.headerBytes + info.dataBytes) {
        diagnostics.error(
            QStringLiteral("the printer data holds %1 of %2 bytes; nothing sent to \"%3\"")
                .arg(total - info.headerBytes)
                .arg(info.dataBytes)
                .arg(queue));
        return 1;
    }
    return submit(http.get(), queue, title, info.copies, spoolFile, diagnostics) ? 0 : 1;
}
