// Curvewright's reading of a description into a curve plan, and the method on that plan,
// on any bytes. Whatever the description says, a curve that is made has one channel per
// ink of the model, never falls and never passes its ink's limit.

#include "FuzzInput.h"

#include "CurveJob.h"
#include "CurveMethod.h"
#include "Diagnostics.h"

#include <cmath>

namespace {

// An installation with one eight-ink model and its curve folder.
QString fuzzInstallation()
{
    static const QString install = [] {
        const QByteArray ppd = "*PPD-Adobe: \"4.3\"\n*%INKS K,LK,LLK,C,M,Y,LC,LM\n";
        fuzzFile(QStringLiteral("zorlane/ppd/Fuzz8.ppd"),
                 reinterpret_cast<const uint8_t *>(ppd.constData()), size_t(ppd.size()));
        QDir().mkpath(fuzzFolder().filePath(QStringLiteral("zorlane/Zorlane/Fuzz8")));
        return fuzzFolder().filePath(QStringLiteral("zorlane")) + u'/';
    }();
    return install;
}

void checkCurve(const CurveJob &job, const BuiltCurve &curve)
{
    if (curve.channels.size() != size_t(job.inks.size()))
        std::abort();
    for (size_t c = 0; c < curve.channels.size(); ++c) {
        const double limit = job.plan.channels[c].limit;
        const double top = std::ceil(65535.0 * limit / 100.0) + 1;
        for (int level = 0; level < CurveLevels; ++level) {
            const quint16 value = curve.channels[c][size_t(level)];
            if (value > top || (level > 0 && value < curve.channels[c][size_t(level - 1)]))
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzStartQt();
    const QString install = fuzzInstallation();
    // Every input names the model first, so that most reach the plan and the method.
    QByteArray text = "PRINTER=Fuzz8\r\n" + fuzzBytes(data, size);
    const QString path =
        fuzzFile(QStringLiteral("zorlane/Curvewright/Fuzz.zidf"),
                 reinterpret_cast<const uint8_t *>(text.constData()), size_t(text.size()));
    Diagnostics diagnostics;
    const std::optional<CurveJob> job = prepareCurveJob(install, path, diagnostics);
    if (job)
        checkCurve(*job, buildCurve(job->plan));
    return 0;
}
