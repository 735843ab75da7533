// Curve creation for an 8-ink model (the demo R2400 description, with linearization), run
// as the front end runs it, against the tool's bare start (--version) in the same run.
// Prints one line:
//   curvewright runs=<n> version_ms=<median> create_ms=<median> tool_ms=<difference>
//   ratio=<create / version>
// and exits with 1 when a run fails or the tool's own work (the difference) takes 200 ms
// or more.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 25;
constexpr double LimitMs = 200;

double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds of one run; negative when it failed.
double timedRun(const QString &folder, const QStringList &args)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(CURVEWRIGHT_PATH), args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

bool setUpInstall(const QString &root)
{
    const QDir demo(QStringLiteral(DIRIDU_DEMO_INSTALL));
    QDir install(root);
    return install.mkpath(QStringLiteral("ppd")) &&
           install.mkpath(QStringLiteral("Zorlane/ZorlR2400")) &&
           install.mkpath(QStringLiteral("Curvewright")) &&
           QFile::copy(demo.filePath(QStringLiteral("ppd/ZorlR2400.ppd")),
                       install.filePath(QStringLiteral("ppd/ZorlR2400.ppd"))) &&
           QFile::copy(demo.filePath(QStringLiteral("Curvewright/Warm Split.zidf")),
                       install.filePath(QStringLiteral("Curvewright/Warm Split.zidf")));
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid() || !setUpInstall(dir.path())) {
        std::fprintf(stderr, "cannot lay out the installation\n");
        return 1;
    }
    const QString description = dir.filePath(QStringLiteral("Curvewright/Warm Split.zidf"));
    std::vector<double> version, create;
    for (int i = 0; i < Runs; ++i) {
        version.push_back(timedRun(dir.path(), {QStringLiteral("--version")}));
        create.push_back(timedRun(dir.path(), {description}));
        if (version.back() < 0 || create.back() < 0) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
    }
    if (!QFile::exists(dir.filePath(QStringLiteral("Zorlane/ZorlR2400/Warm Split.zorl")))) {
        std::fprintf(stderr, "no curve file\n");
        return 1;
    }
    const double versionMs = medianOf(version), createMs = medianOf(create);
    const double toolMs = createMs - versionMs;
    std::printf("curvewright runs=%d version_ms=%.1f create_ms=%.1f tool_ms=%.1f ratio=%.2f\n",
                Runs, versionMs, createMs, toolMs, createMs / versionMs);
    return toolMs < LimitMs ? 0 : 1;
}
