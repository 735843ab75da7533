// Curvewright: makes a curve file from an ink description.
//
//   Curvewright <ink description file>
//   Curvewright --version
//
// Started in the install folder. Reads the description and the ink set of the printing
// model it names (ppd/<model>.ppd), writes Zorlane/<model>/<curve name>.zorl, reports on
// standard error (failures begin with "ERROR") and writes graph output on standard output.
// The front end judges success by the curve file's time stamp; the exit code is 0 only
// when the curve was written.

#include "CurveJob.h"
#include "CurveOutput.h"
#include "Diagnostics.h"
#include "ToolArguments.h"

#include <QDir>

#include <cstdio>

#ifndef ZOR_FILE_VERSION
#error "ZOR_FILE_VERSION is set by the build"
#endif

namespace {

void writeReportLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

int makeCurve(const QString &descriptionPath, Diagnostics &diagnostics)
{
    const QString installFolder = QDir::currentPath();
    const std::optional<CurveJob> job =
        prepareCurveJob(installFolder, descriptionPath, diagnostics);
    if (!job)
        return 1;
    const BuiltCurve curve = buildCurve(job->plan);
    QString error;
    if (!writeFileAtomically(job->curvePath, curveFileText(*job, curve), error)) {
        diagnostics.error(QStringLiteral("cannot write the curve file %1: %2")
                              .arg(QDir(installFolder).relativeFilePath(job->curvePath), error));
        return 1;
    }
    for (const QString &line : job->summary)
        writeReportLine(line);
    writeReportLine(QStringLiteral("Curve written: %1")
                        .arg(QDir(installFolder).relativeFilePath(job->curvePath)));
    const QByteArray graphs = graphOutputText(*job, curve);
    std::fwrite(graphs.constData(), 1, size_t(graphs.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (answerVersionRequest(argc, argv, ZOR_FILE_VERSION, "Curvewright"))
        return 0;
    prepareBinaryStreams();
    Diagnostics diagnostics;
    const QStringList args = toolArguments(argc, argv);
    if (args.size() != 1 || args.first().isEmpty()) {
        diagnostics.error(QStringLiteral("usage: Curvewright <ink description file>"));
        return 2;
    }
    return makeCurve(args.first(), diagnostics);
}
