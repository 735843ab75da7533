// Crafted TIFF files that claim far more than they hold: each must be probed and decoded
// for the window's preview in well under a second. Times every file in the folder given
// (by default the test data's slow files) three times and prints one line per file:
//   <file> ms=<slowest of the runs> result=<ok WxH | the error>
// Exits with 1 when a file takes longer than the bound. Usage:
//   bench_slow_tiffs [--bound-ms N] [folder or files...]

#include "TiffDecoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int Runs = 3;
const QSize PreviewBox(528, 528); // the window asks for twice its preview's size

QStringList filesOf(const QStringList &arguments)
{
    QStringList files;
    for (const QString &argument : arguments) {
        const QFileInfo info(argument);
        if (!info.isDir()) {
            files.append(argument);
            continue;
        }
        const QDir folder(argument);
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
            files.append(folder.filePath(name));
    }
    return files;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qint64 boundMs = 250;
    QStringList arguments = app.arguments().mid(1);
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--bound-ms")) {
        boundMs = arguments.at(1).toLongLong();
        arguments = arguments.mid(2);
    }
    if (arguments.isEmpty())
        arguments.append(QStringLiteral(DIRIDU_SOURCE_DIR "/tests/layout/data/slow"));

    const QStringList files = filesOf(arguments);
    if (files.isEmpty()) {
        std::fprintf(stderr, "no files to decode\n");
        return 1;
    }
    bool allQuick = true;
    for (const QString &file : files) {
        qint64 slowest = 0;
        TTiffDecodeResult result;
        for (int run = 0; run < Runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            probeTiff(file);
            result = decodeTiff(file, PreviewBox);
            slowest = std::max(slowest, timer.elapsed());
        }
        const QString outcome = result.ok ? QStringLiteral("ok %1x%2")
                                                .arg(result.preview.width())
                                                .arg(result.preview.height())
                                          : result.error;
        const bool quick = slowest <= boundMs;
        allQuick = allQuick && quick;
        std::printf("%s ms=%lld result=%s%s\n", qPrintable(QFileInfo(file).fileName()), slowest,
                    qPrintable(outcome), quick ? "" : " TOO SLOW");
    }
    std::printf("bound_ms=%lld %s\n", boundMs, allQuick ? "all within" : "EXCEEDED");
    return allQuick ? 0 : 1;
}
