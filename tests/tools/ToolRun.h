#pragma once

// Runs the built tools as the front end does: real processes started in an install
// folder, data through standard input and output, messages on standard error. Plus
// readers for what they write: the page raster (PGM) and the printer data.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

struct ToolRun
{
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    QStringList errLines() const
    {
        return QString::fromUtf8(err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QStringList errorLines() const
    {
        QStringList result;
        for (const QString &line : errLines()) {
            if (line.left(5).toUpper() == QLatin1String("ERROR"))
                result.append(line);
        }
        return result;
    }
    // A normal end with no line that the front end would count as a failure.
    bool succeeded() const
    {
        return finished && status == QProcess::NormalExit && exitCode == 0 &&
               errorLines().isEmpty();
    }
    // A normal end with a failure code and at least one error line, every line a message.
    bool failedCleanly() const
    {
        if (!finished || status != QProcess::NormalExit || exitCode == 0 || errorLines().isEmpty())
            return false;
        for (const QString &line : errLines()) {
            if (!line.startsWith(QLatin1String("ERROR: ")) &&
                !line.startsWith(QLatin1String("Warning: ")))
                return false;
        }
        return true;
    }
    QString describe() const
    {
        return QStringLiteral("finished %1, status %2, exit %3, stderr: %4")
            .arg(finished)
            .arg(int(status))
            .arg(exitCode)
            .arg(QString::fromUtf8(err.left(2000)));
    }
};

inline ToolRun
runTool(const QString &program, const QStringList &args, const QString &folder,
        const QByteArray &input = {},
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(environment);
    process.start(program, args);
    ToolRun run;
    if (!process.waitForStarted(10000))
        return run;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    run.finished = process.waitForFinished(60000);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.status = process.exitStatus();
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

struct Pgm
{
    int width = 0;
    int height = 0;
    int maxValue = 0;
    QStringList comments;
    std::vector<uint16_t> samples;

    uint16_t at(int x, int y) const { return samples[size_t(y) * size_t(width) + size_t(x)]; }
};

// Reads a binary PGM as the tools write it; nothing when it is not one.
inline std::optional<Pgm> parsePgm(const QByteArray &data)
{
    Pgm pgm;
    qsizetype pos = 0;
    const auto token = [&]() -> QByteArray {
        for (;;) {
            while (pos < data.size() && QChar::isSpace(uchar(data.at(pos))))
                ++pos;
            if (pos < data.size() && data.at(pos) == '#') {
                const qsizetype end = data.indexOf('\n', pos);
                if (end < 0)
                    return {};
                pgm.comments.append(
                    QString::fromLatin1(data.mid(pos + 1, end - pos - 1)).trimmed());
                pos = end + 1;
                continue;
            }
            break;
        }
        const qsizetype start = pos;
        while (pos < data.size() && !QChar::isSpace(uchar(data.at(pos))))
            ++pos;
        return data.mid(start, pos - start);
    };
    if (token() != "P5")
        return std::nullopt;
    pgm.width = token().toInt();
    pgm.height = token().toInt();
    pgm.maxValue = token().toInt();
    ++pos; // the single blank after maxval
    const int bytes = pgm.maxValue > 255 ? 2 : 1;
    if (pgm.width <= 0 || pgm.height <= 0 || pgm.maxValue <= 0 ||
        data.size() - pos != qsizetype(pgm.width) * pgm.height * bytes)
        return std::nullopt;
    pgm.samples.resize(size_t(pgm.width) * size_t(pgm.height));
    const auto *p = reinterpret_cast<const uchar *>(data.constData() + pos);
    for (size_t i = 0; i < pgm.samples.size(); ++i)
        pgm.samples[i] = bytes == 2 ? uint16_t(p[2 * i] << 8 | p[2 * i + 1]) : p[i];
    return pgm;
}

// A 16-bit PGM of the given grey samples (0 black .. 65535 white).
inline QByteArray makePgm(int width, int height, const std::vector<uint16_t> &samples,
                          const QByteArray &comment = {})
{
    QByteArray data = "P5\n";
    if (!comment.isEmpty())
        data += "# " + comment + '\n';
    data += QByteArray::number(width) + ' ' + QByteArray::number(height) + "\n65535\n";
    for (uint16_t v : samples) {
        data.append(char(v >> 8));
        data.append(char(v & 0xff));
    }
    return data;
}

struct PrinterData
{
    QHash<QString, QString> header;
    QStringList keys; // in order
    QByteArray data;
    int width = 0;
    int height = 0;
    QStringList channels;

    // Ink of channel c at pixel (x, y).
    uint16_t ink(int c, int x, int y) const
    {
        const qsizetype row = qsizetype(y) * channels.size() * width * 2;
        const qsizetype at = row + (qsizetype(c) * width + x) * 2;
        return uint16_t(uchar(data.at(at)) << 8 | uchar(data.at(at + 1)));
    }
};

inline std::optional<PrinterData> parsePrinterData(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf("\n\n");
    if (!bytes.startsWith("ZORPRN 1\n") || end < 0)
        return std::nullopt;
    PrinterData result;
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(": ");
        if (colon < 0)
            return std::nullopt;
        const QString key = QString::fromUtf8(lines.at(i).left(colon));
        result.keys.append(key);
        result.header.insert(key, QString::fromUtf8(lines.at(i).mid(colon + 2)));
    }
    result.data = bytes.mid(end + 2);
    result.width = result.header.value(QStringLiteral("Width")).toInt();
    result.height = result.header.value(QStringLiteral("Height")).toInt();
    result.channels = result.header.value(QStringLiteral("Channels")).split(QLatin1Char(','));
    if (result.data.size() != qsizetype(result.width) * result.height * result.channels.size() * 2)
        return std::nullopt;
    return result;
}
