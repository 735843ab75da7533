#include "ToolVersions.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>

#include <memory>
#include <vector>

QString normaliseVersionText(const QString &fileVersion)
{
    QString text = fileVersion;
    text.remove(QLatin1Char(' '));
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text;
}

namespace {

QString firstLine(const QByteArray &output)
{
    const qsizetype end = output.indexOf('\n');
    QString line = QString::fromLocal8Bit(end < 0 ? output : output.left(end));
    while (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

} // namespace

QStringList readToolVersions(const QStringList &toolPaths, int timeoutMs)
{
    // Started together, so the wait is bounded by the slowest tool, not their sum.
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const QString &path : toolPaths) {
        auto process = std::make_unique<QProcess>();
        const QFileInfo info(path);
        if (info.isFile() && info.isExecutable()) {
            process->setStandardInputFile(QProcess::nullDevice());
            process->setStandardErrorFile(QProcess::nullDevice());
            process->start(path, {QStringLiteral("--version")}, QIODevice::ReadOnly);
        }
        processes.push_back(std::move(process));
    }

    const QDeadlineTimer deadline(timeoutMs);
    QStringList versions;
    for (auto &process : processes) {
        QString version;
        const bool started = !process->program().isEmpty();
        if (started && process->waitForFinished(int(qMax<qint64>(0, deadline.remainingTime()))) &&
            process->exitStatus() == QProcess::NormalExit) {
            version = normaliseVersionText(firstLine(process->readAllStandardOutput()));
        }
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(100);
        }
        versions.append(version);
    }
    return versions;
}
