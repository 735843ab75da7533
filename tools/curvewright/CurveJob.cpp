#include "CurveJob.h"

#include "Diagnostics.h"
#include "InstallFiles.h"
#include "NumberField.h"
#include "PpdLoader.h"
#include "ToolArguments.h"

#include <QDir>
#include <QFileInfo>

#include <exception>

namespace {

// A description is a page of text; anything far larger is no description.
constexpr qint64 MaxDescriptionBytes = 1024 * 1024;
constexpr double DefaultOverlap = 50;

// A value as a report line shows it: short enough to read.
QString shown(const QString &text)
{
    return text.size() > 60 ? text.left(60) + QStringLiteral("...") : text;
}

// The number in text; fallback when it is empty. A value outside min to max is brought
// to the nearer bound with a warning; a non-number is an error.
std::optional<double> numberSetting(const QString &key, const QString &text, double fallback,
                                    double min, double max, Diagnostics &diagnostics)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return fallback;
    const std::optional<double> value = parseDecimal(trimmed);
    if (!value) {
        diagnostics.error(QStringLiteral("%1=%2 is not a number").arg(key, shown(trimmed)));
        return std::nullopt;
    }
    if (*value < min || *value > max) {
        const double bounded = std::clamp(*value, min, max);
        diagnostics.warning(QStringLiteral("%1=%2 lies outside %3 to %4; %5 is used")
                                .arg(key, trimmed)
                                .arg(min)
                                .arg(max)
                                .arg(bounded));
        return bounded;
    }
    return value;
}

struct ReadDescription
{
    InkDescription description;
    InkDescriptionLoad load;
};

// Reads the text as the editor does: the model it names selected first, then the text read
// into a new description of that model.
std::optional<ReadDescription> readDescription(const QString &installFolder, const QByteArray &text,
                                               Diagnostics &diagnostics)
{
    const QString folder = installFolder + QLatin1Char('/');
    const QStringList models = listPrintingModels(folder);
    const InkSetLookup inkSetOf = [&](const QString &model) {
        return readModelInkSet(folder, model);
    };
    try {
        InkDescription probe = newInkDescription({}, {}, QStringLiteral("100"));
        const InkDescriptionLoad first =
            readInkDescription(text, probe, models, inkSetOf, QLocale::c());
        if (first.printerNamed.isEmpty()) {
            diagnostics.error(QStringLiteral("the ink description names no printing model "
                                             "(no PRINTER line)"));
            return std::nullopt;
        }
        if (probe.printer.isEmpty()) {
            diagnostics.error(QStringLiteral("unknown printing model \"%1\": there is no PPD "
                                             "file for it in ppd/")
                                  .arg(shown(first.printerNamed)));
            return std::nullopt;
        }
        ReadDescription read{
            newInkDescription(probe.printer, inkSetOf(probe.printer), QStringLiteral("100")), {}};
        read.load = readInkDescription(text, read.description, models, inkSetOf, QLocale::c());
        for (const QString &line : std::as_const(read.load.errors))
            diagnostics.error(line);
        if (!read.load.errors.isEmpty())
            return std::nullopt;
        return read;
    } catch (const std::exception &e) {
        diagnostics.error(QString::fromUtf8(e.what()));
        return std::nullopt;
    }
}

// The name of the curve file without extension: the description's file name, which is
// the name the front end looks for. A CURVE_NAME left over from a copied or renamed file
// must not send the curve elsewhere, least of all over another description's curve.
QString curveFileNameOf(const InkDescriptionLoad &load, const QString &descriptionPath,
                        Diagnostics &diagnostics)
{
    const QString baseName = curveNameOf(descriptionPath);
    const QString named = load.curveName.trimmed();
    if (!named.isEmpty() && named != baseName)
        diagnostics.warning(QStringLiteral("CURVE_NAME=%1 differs from the description's name; "
                                           "the curve is named %2")
                                .arg(shown(named), baseName));
    return baseName;
}

// Zorlane/<model>/<name>.zorl; a file there whose name differs only in letter case is the
// same curve and is replaced.
std::optional<QString> curvePathOf(const QString &installFolder, const QString &model,
                                   const QString &curveName, Diagnostics &diagnostics)
{
    const QString folderName = QStringLiteral("Zorlane/") + model;
    const std::optional<QString> folder =
        isPlainFileName(model) ? findCaseInsensitive(installFolder, folderName) : std::nullopt;
    if (!folder || !QFileInfo(*folder).isDir()) {
        diagnostics.error(QStringLiteral("the curve folder %1/ of model %2 does not exist")
                              .arg(folderName, model));
        return std::nullopt;
    }
    const QString fileName = curveName + QStringLiteral(".zorl");
    if (const auto existing = findCaseInsensitive(*folder, fileName))
        return existing;
    return *folder + QLatin1Char('/') + fileName;
}

std::optional<QString> findCurveFile(const QString &folder, const QString &name)
{
    for (const QString &candidate : {name, name + QStringLiteral(".zorl")}) {
        if (QDir::isAbsolutePath(candidate)) {
            if (QFileInfo(candidate).isFile())
                return candidate;
            continue;
        }
        if (QFileInfo(folder + QLatin1Char('/') + candidate).isFile())
            return folder + QLatin1Char('/') + candidate;
        const auto found = findCaseInsensitive(folder, candidate);
        if (found && QFileInfo(*found).isFile())
            return found;
    }
    return std::nullopt;
}

class PlanReader
{
public:
    PlanReader(const InkDescription &description, const QString &descriptionFolder,
               Diagnostics &diagnostics)
        : m_d(description), m_folder(descriptionFolder), m_diagnostics(diagnostics)
    {
    }

    std::optional<CurvePlan> read(QStringList &summary);

private:
    bool readShape(const QString &prefix, const CurveShape &text, bool gray, ToneShape &shape);
    bool readChannel(int slot, double defaultLimit, ChannelPlan &channel);
    bool resolveCopies(CurvePlan &plan);
    bool readLinearization(CurvePlan &plan);
    std::optional<CurveFraction> pointListCurve(const QString &key, const QString &text);
    std::optional<CurveFraction> fileCurve(const QString &key, const QString &name,
                                           const QString &ink);
    std::optional<CurveFraction> curveOfText(const QString &key, const QString &text);
    void describe(const CurvePlan &plan, double defaultLimit, QStringList &summary) const;

    const InkDescription &m_d;
    QString m_folder;
    Diagnostics &m_diagnostics;
};

std::optional<CurveFraction> PlanReader::pointListCurve(const QString &key, const QString &text)
{
    const QStringList numbers = numbersInText(text, QLatin1Char('.'));
    if (numbers.isEmpty() || numbers.size() % 2 != 0) {
        m_diagnostics.error(QStringLiteral("%1: the point list \"%2\" is not pairs of input;output")
                                .arg(key, shown(text)));
        return std::nullopt;
    }
    std::vector<QPointF> points;
    for (qsizetype i = 0; i < numbers.size(); i += 2) {
        const auto input = numberSetting(key, numbers[i], 0, 0, 100, m_diagnostics);
        const auto output = numberSetting(key, numbers[i + 1], 0, 0, 100, m_diagnostics);
        if (!input || !output)
            return std::nullopt;
        points.emplace_back(*input / 100.0, *output / 100.0);
    }
    bool raised = false;
    const CurveFraction curve = monotoneCurveThrough(points, &raised);
    if (raised)
        m_diagnostics.warning(QStringLiteral("%1: outputs that fall were raised to the one before "
                                             "them; a curve never falls")
                                  .arg(key));
    return curve;
}

std::optional<CurveFraction> PlanReader::fileCurve(const QString &key, const QString &name,
                                                   const QString &ink)
{
    const QString trimmed = name.trimmed();
    const std::optional<QString> path =
        trimmed.isEmpty() ? std::nullopt : findCurveFile(m_folder, trimmed);
    if (!path) {
        m_diagnostics.error(QStringLiteral("%1: curve file \"%2\" not found beside the description")
                                .arg(key, shown(trimmed)));
        return std::nullopt;
    }
    QString reason, warning;
    const auto content = readSmallFile(*path, MaxCurveFileBytes, reason);
    const auto curve = content ? parseCurveFile(*content, reason, warning) : std::nullopt;
    if (!curve) {
        m_diagnostics.error(
            QStringLiteral("%1: curve file %2 cannot be read: %3").arg(key, *path, reason));
        return std::nullopt;
    }
    qsizetype channel = ink.isEmpty() ? 0 : curve->channels.indexOf(ink);
    if (channel < 0 && (ink == QLatin1String("K") || ink == QLatin1String("MK")))
        channel = curve->channels.indexOf(ink == QLatin1String("K") ? QStringLiteral("MK")
                                                                    : QStringLiteral("K"));
    if (channel < 0) {
        channel = 0;
        m_diagnostics.warning(QStringLiteral("%1: curve file %2 has no channel %3; its first "
                                             "channel %4 is used")
                                  .arg(key, *path, ink, curve->channels.first()));
    }
    CurveFraction fraction{};
    for (int level = 0; level < CurveLevels; ++level)
        fraction[size_t(level)] = curve->values[size_t(channel)][size_t(level)] / 65535.0;
    if (makeNonDecreasing(fraction))
        m_diagnostics.warning(QStringLiteral("%1: the curve of curve file %2 falls in places; it "
                                             "is held level there")
                                  .arg(key, *path));
    return fraction;
}

// An adjustment curve: a point list in quotation marks, or a curve file name.
std::optional<CurveFraction> PlanReader::curveOfText(const QString &key, const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('"'))) {
        QString list = trimmed.mid(1);
        if (list.endsWith(QLatin1Char('"')))
            list.chop(1);
        return pointListCurve(key, list);
    }
    return fileCurve(key, trimmed, {});
}

bool PlanReader::readShape(const QString &prefix, const CurveShape &text, bool gray,
                           ToneShape &shape)
{
    const auto highlight = numberSetting(prefix + QStringLiteral("_HIGHLIGHT"), text.highlight, 10,
                                         0, 300, m_diagnostics);
    const auto shadow =
        numberSetting(prefix + QStringLiteral("_SHADOW"), text.shadow, 10, 0, 300, m_diagnostics);
    const auto overlap = gray ? numberSetting(prefix + QStringLiteral("_OVERLAP"), text.overlap,
                                              DefaultOverlap, 0, 300, m_diagnostics)
                              : std::optional<double>(DefaultOverlap);
    const auto gamma =
        numberSetting(prefix + QStringLiteral("_GAMMA"), text.gamma, 1, 0.1, 10, m_diagnostics);
    if (!highlight || !shadow || !overlap || !gamma)
        return false;
    shape = ToneShape{*highlight, *shadow, *overlap, *gamma, std::nullopt};
    if (text.curve.trimmed().isEmpty())
        return true;
    shape.adjustment = curveOfText(prefix + QStringLiteral("_CURVE"), text.curve);
    return shape.adjustment.has_value();
}

bool PlanReader::readChannel(int slot, double defaultLimit, ChannelPlan &channel)
{
    const InkSlot &ink = m_d.inkSlots[size_t(slot)];
    channel.ink = ink.ink;
    channel.use = ink.use;
    const auto limit = numberSetting(QStringLiteral("LIMIT_") + ink.ink, ink.limit, defaultLimit, 0,
                                     100, m_diagnostics);
    if (!limit)
        return false;
    channel.limit = *limit;
    if (ink.use == InkUse::GrayInk || ink.use == InkUse::Toner || ink.use == InkUse::Toner2) {
        if (ink.density.trimmed().isEmpty()) {
            m_diagnostics.error(QStringLiteral("ink %1 is a %2 without density")
                                    .arg(ink.ink, inkUseNames().at(int(ink.use))));
            return false;
        }
        const auto density = numberSetting(QStringLiteral("density of ") + ink.ink, ink.density,
                                           100, 1, 100, m_diagnostics);
        if (!density)
            return false;
        channel.density = *density;
    } else if (ink.use == InkUse::LoadCurve) {
        const QString key = QStringLiteral("CURVE_") + ink.ink;
        const auto loaded = ink.curveSource == CurveSource::PointList
                                ? pointListCurve(key, ink.curveData)
                                : fileCurve(key, ink.curveData, ink.ink);
        if (!loaded)
            return false;
        channel.loaded = *loaded;
    }
    return true;
}

// Every copy points at the curve it ends up with: a copy of a copy follows it to its source.
bool PlanReader::resolveCopies(CurvePlan &plan)
{
    bool ok = true;
    for (size_t c = 0; c < plan.channels.size(); ++c) {
        if (plan.channels[c].use != InkUse::CopyCurveFrom)
            continue;
        int at = int(c);
        std::vector<int> visited;
        while (plan.channels[size_t(at)].use == InkUse::CopyCurveFrom) {
            visited.push_back(at);
            const QString &source = m_d.inkSlots[size_t(at)].copySource;
            const int next = m_d.slotOf(source);
            if (next < 0) {
                m_diagnostics.error(QStringLiteral("COPY_CURVE_%1=%2: the model has no such ink")
                                        .arg(plan.channels[size_t(at)].ink, shown(source)));
                ok = false;
                break;
            }
            if (std::find(visited.begin(), visited.end(), next) != visited.end()) {
                m_diagnostics.error(
                    QStringLiteral("COPY_CURVE_%1: the copies form a loop and no ink gives the "
                                   "curve")
                        .arg(plan.channels[c].ink));
                ok = false;
                break;
            }
            at = next;
        }
        plan.channels[c].copyOf = at;
    }
    return ok;
}

bool PlanReader::readLinearization(CurvePlan &plan)
{
    for (qsizetype i = 0; i < LinearizationValueCount; ++i) {
        const QString &box = m_d.linearization[size_t(i)];
        if (box.isEmpty())
            break;
        const auto value = numberSetting(QStringLiteral("LINEARIZE value %1").arg(i + 1), box, 0, 0,
                                         100, m_diagnostics);
        if (!value)
            return false;
        plan.linearization.push_back(*value);
    }
    if (!plan.linearization.empty() && !linearizationCorrection(plan.linearization)) {
        m_diagnostics.warning(QStringLiteral("the linearization values show no tonal range; no "
                                             "linearization is applied"));
        plan.linearization.clear();
    }
    return true;
}

void PlanReader::describe(const CurvePlan &plan, double defaultLimit, QStringList &summary) const
{
    std::vector<const ChannelPlan *> grays;
    QStringList toners, toners2, limits, others;
    for (const ChannelPlan &channel : plan.channels) {
        if (channel.use == InkUse::CopyCurveFrom)
            others.append(QStringLiteral("%1 copies %2")
                              .arg(channel.ink, plan.channels[size_t(channel.copyOf)].ink));
        else if (channel.use == InkUse::LoadCurve)
            others.append(QStringLiteral("%1 has a loaded curve").arg(channel.ink));
        const QString part = QStringLiteral("%1 (%2)").arg(channel.ink).arg(channel.density);
        if (channel.use == InkUse::GrayInk)
            grays.push_back(&channel);
        else if (channel.use == InkUse::Toner)
            toners.append(part);
        else if (channel.use == InkUse::Toner2)
            toners2.append(part);
        if (channel.use != InkUse::NotUsed)
            limits.append(QStringLiteral("%1 %2%").arg(channel.ink).arg(channel.limit));
    }
    std::stable_sort(grays.begin(), grays.end(), [](const ChannelPlan *a, const ChannelPlan *b) {
        return a->density > b->density;
    });
    QStringList grayParts;
    for (const ChannelPlan *channel : grays)
        grayParts.append(QStringLiteral("%1 (%2)").arg(channel->ink).arg(channel->density));
    summary.append(QStringLiteral("Gray inks, darkest first: %1")
                       .arg(grayParts.isEmpty() ? QStringLiteral("none") : grayParts.join(", ")));
    if (!toners.isEmpty() || !toners2.isEmpty())
        summary.append(QStringLiteral("Toner: %1; toner 2: %2")
                           .arg(toners.isEmpty() ? QStringLiteral("none") : toners.join(", "),
                                toners2.isEmpty() ? QStringLiteral("none") : toners2.join(", ")));
    if (!others.isEmpty())
        summary.append(others.join(QStringLiteral("; ")));
    summary.append(QStringLiteral("Ink limits: %1 (default %2%)")
                       .arg(limits.isEmpty() ? QStringLiteral("no ink used") : limits.join(", "))
                       .arg(defaultLimit));
    if (plan.blackChannel >= 0 && plan.blackBoost < 100)
        summary.append(QStringLiteral("Black boost on %1: %2%")
                           .arg(plan.channels[size_t(plan.blackChannel)].ink)
                           .arg(plan.blackBoost));
    if (!plan.linearization.empty())
        summary.append(
            QStringLiteral("Linearization from %1 measured values").arg(plan.linearization.size()));
}

std::optional<CurvePlan> PlanReader::read(QStringList &summary)
{
    CurvePlan plan;
    const auto defaultLimit = numberSetting(QStringLiteral("DEFAULT_INK_LIMIT"),
                                            m_d.defaultInkLimit, 100, 0, 100, m_diagnostics);
    const auto boost =
        numberSetting(QStringLiteral("BOOST_K"), m_d.boostK, 100, 0, 100, m_diagnostics);
    bool ok = defaultLimit && boost;
    plan.blackBoost = boost.value_or(100);
    plan.channels.resize(size_t(m_d.inkCount));
    for (int k = 0; k < m_d.inkCount; ++k)
        ok = readChannel(k, defaultLimit.value_or(100), plan.channels[size_t(k)]) && ok;
    ok = readShape(QStringLiteral("GRAY"), m_d.gray, true, plan.gray) && ok;
    ok = readShape(QStringLiteral("TONER"), m_d.toner, false, plan.toner) && ok;
    ok = readShape(QStringLiteral("TONER_2"), m_d.toner2, false, plan.toner2) && ok;
    ok = resolveCopies(plan) && ok;
    ok = readLinearization(plan) && ok;
    const int k = m_d.slotOf(QStringLiteral("K"));
    plan.blackChannel = k >= 0 ? k : m_d.slotOf(QStringLiteral("MK"));
    if (!ok)
        return std::nullopt;
    describe(plan, *defaultLimit, summary);
    return plan;
}

} // namespace

std::optional<CurveJob> prepareCurveJob(const QString &installFolder,
                                        const QString &descriptionPath, Diagnostics &diagnostics)
{
    const QString path = QDir(installFolder).absoluteFilePath(descriptionPath);
    QString reason;
    const std::optional<QByteArray> text = readSmallFile(path, MaxDescriptionBytes, reason);
    if (!text) {
        diagnostics.error(
            QStringLiteral("cannot read the ink description %1: %2").arg(path, reason));
        return std::nullopt;
    }
    std::optional<ReadDescription> read = readDescription(installFolder, *text, diagnostics);
    if (!read)
        return std::nullopt;

    CurveJob job;
    job.model = read->description.printer;
    for (int k = 0; k < read->description.inkCount; ++k)
        job.inks.append(read->description.inkSlots[size_t(k)].ink);
    job.sourceName = QFileInfo(path).fileName();
    const QString curveName = curveFileNameOf(read->load, path, diagnostics);
    const auto curvePath = curvePathOf(installFolder, job.model, curveName, diagnostics);
    std::optional<CurvePlan> plan =
        PlanReader(read->description, QFileInfo(path).absolutePath(), diagnostics)
            .read(job.summary);
    if (!curvePath || !plan)
        return std::nullopt;
    job.curveName = curveName;
    job.curvePath = *curvePath;
    job.plan = std::move(*plan);
    return job;
}
