#include "InkRequest.h"

#include "Diagnostics.h"
#include "InstallFiles.h"

#include <QDir>
#include <QRegularExpression>

namespace {

const QStringList KnownKeys = {"PPD",       "PRINTER",    "MediaType", "Pagesize",  "Resolution",
                               "RipSpeed",  "ColorModel", "ripCurve1", "ripCurve2", "ripBlend",
                               "stpDither", "RipBlack",   "ripGamma",  "ripLimit"};
const QStringList RequiredKeys = {"Pagesize", "Resolution", "ColorModel", "ripCurve1", "ripCurve2",
                                  "ripBlend", "stpDither",  "ripGamma",   "ripLimit"};

struct LoadedCurve
{
    bool builtIn = true;
    InkCurve file;
};

std::optional<LoadedCurve> loadCurve(const RequestModel &model, const QString &key,
                                     const QString &name, Diagnostics &diagnostics)
{
    if (!isPlainFileName(name)) {
        diagnostics.error(QStringLiteral("%1=%2 is not a curve name").arg(key, name));
        return std::nullopt;
    }
    const QString relative = QStringLiteral("Zorlane/%1/%2.zorl").arg(model.name, name);
    if (const auto path = findCaseInsensitive(QDir::currentPath(), relative)) {
        QString reason, warning;
        const auto content = readSmallFile(*path, MaxCurveFileBytes, reason);
        auto curve = content ? parseCurveFile(*content, reason, warning) : std::nullopt;
        if (!curve) {
            diagnostics.error(QStringLiteral("curve file %1: %2").arg(*path, reason));
            return std::nullopt;
        }
        if (!warning.isEmpty())
            diagnostics.warning(QStringLiteral("curve file %1: %2").arg(*path, warning));
        return LoadedCurve{false, std::move(*curve)};
    }
    const QStringList keywords = model.ppd.options(QStringLiteral("RipCurve1")) +
                                 model.ppd.options(QStringLiteral("RipCurve2"));
    if (!keywords.contains(name)) {
        diagnostics.error(QStringLiteral("%1=%2: curve %3 not found").arg(key, name, relative));
        return std::nullopt;
    }
    if (name != QLatin1String("ZorNeutral"))
        diagnostics.warning(QStringLiteral("%1=%2 has no curve file; the built-in neutral curve "
                                           "is used")
                                .arg(key, name));
    return LoadedCurve{};
}

// The curve's channels laid onto the printer's: by name, absent ones without ink.
std::vector<CurveChannel> onChannels(const InkCurve &curve, const QString &name,
                                     const QStringList &channels, Diagnostics &diagnostics)
{
    std::vector<CurveChannel> values(size_t(channels.size()), CurveChannel{});
    for (qsizetype i = 0; i < curve.channels.size(); ++i) {
        const qsizetype slot = channels.indexOf(curve.channels.at(i));
        if (slot < 0)
            diagnostics.warning(QStringLiteral("curve %1: channel %2 is not an ink of the "
                                               "printer; ignored")
                                    .arg(name, curve.channels.at(i)));
        else
            values[size_t(slot)] = curve.values[size_t(i)];
    }
    for (const QString &ink : channels) {
        if (!curve.channels.contains(ink))
            diagnostics.warning(
                QStringLiteral("curve %1 has no channel %2; that ink is not used").arg(name, ink));
    }
    return values;
}

} // namespace

std::optional<int> parseSignedSlider(const QString &text, int limit)
{
    static const QRegularExpression form(QStringLiteral("^(m?)(\\d{1,3})$"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int magnitude = match.captured(2).toInt();
    if (magnitude > limit)
        return std::nullopt;
    return match.captured(1).isEmpty() ? magnitude : -magnitude;
}

std::vector<CurveChannel> neutralCurve(const QStringList &channels, const QString &black)
{
    qsizetype slot = channels.indexOf(QStringLiteral("K"));
    for (const QString &candidate : {black, QStringLiteral("PK"), QStringLiteral("MK")}) {
        if (slot < 0 && !candidate.isEmpty())
            slot = channels.indexOf(candidate);
    }
    std::vector<CurveChannel> values(size_t(channels.size()), CurveChannel{});
    if (values.empty())
        return values;
    CurveChannel &ramp = values[size_t(std::max<qsizetype>(slot, 0))];
    for (int level = 0; level < CurveLevels; ++level)
        ramp[size_t(level)] = quint16((level * 65535 + (CurveLevels - 1) / 2) / (CurveLevels - 1));
    return values;
}

std::optional<InkRequest> parseInkRequest(const QStringList &args, Diagnostics &diagnostics)
{
    const auto head = takeRequestHead(args, 0, QStringLiteral("the parameter text"),
                                      diagnostics);
    if (!head)
        return std::nullopt;
    const ParameterText &p = head->parameters;
    auto model = loadRequestModel(p, diagnostics);
    if (!model)
        return std::nullopt;

    InkRequest request;
    request.prefix = head->prefix;
    for (const QString &key : RequiredKeys) {
        if (!p.has(key))
            diagnostics.error(QStringLiteral("parameter %1 is missing").arg(key));
    }
    QList<QPair<QString, QString>> feed;
    for (const QString &key : p.keys()) {
        if (KnownKeys.contains(key))
            continue;
        if (model->ppd.hasGroup(key)) { // the paper feed: InputSlot, RipFeed
            checkOption(*model, key, p.value(key), key, diagnostics);
            feed.append({key, p.value(key)});
        } else {
            diagnostics.warning(QStringLiteral("unknown parameter %1 ignored").arg(key));
        }
    }
    const QList<QPair<QString, QString>> grouped = {{"MediaType", "MediaType"},
                                                    {"Resolution", "Resolution"},
                                                    {"RipSpeed", "RipSpeed"},
                                                    {"stpDither", "StpDither"},
                                                    {"RipBlack", "RipBlack"}};
    for (const auto &[key, group] : grouped) {
        if (p.has(key))
            checkOption(*model, key, p.value(key), group, diagnostics);
    }
    if (p.has(QStringLiteral("Pagesize")))
        resolvePageSize(*model, p.value(QStringLiteral("Pagesize")), diagnostics);

    const QString colorModel = p.value(QStringLiteral("ColorModel"));
    if (p.has(QStringLiteral("ColorModel")) && colorModel != QLatin1String("ZorRIP") &&
        colorModel != QLatin1String("ZorCal"))
        diagnostics.error(
            QStringLiteral("ColorModel=%1 is neither ZorRIP nor ZorCal").arg(colorModel));
    request.adjustments.calibration = colorModel == QLatin1String("ZorCal");

    if (p.has(QStringLiteral("ripBlend"))) {
        const auto blend = parseDecimal(p.value(QStringLiteral("ripBlend")));
        if (!blend || *blend < 0 || *blend > 100)
            diagnostics.error(QStringLiteral("ripBlend=%1 is not a percentage from 0 to 100")
                                  .arg(p.value(QStringLiteral("ripBlend"))));
        else
            request.adjustments.blend = *blend;
    }
    const auto slider = [&](const QString &key, int limit, int &target) {
        if (!p.has(key))
            return;
        const auto value = parseSignedSlider(p.value(key), limit);
        if (!value)
            diagnostics.error(QStringLiteral("%1=%2 is not a value from m%3 to %3")
                                  .arg(key, p.value(key))
                                  .arg(limit));
        else
            target = *value;
    };
    slider(QStringLiteral("ripGamma"), MaxGamma, request.adjustments.gamma);
    slider(QStringLiteral("ripLimit"), MaxLimit, request.adjustments.limit);
    if (request.adjustments.calibration &&
        (request.adjustments.gamma != 0 || request.adjustments.limit != 0))
        diagnostics.warning(QStringLiteral("gamma and limit do not apply to calibration prints"));

    request.curve1 = p.value(QStringLiteral("ripCurve1"));
    request.curve2 = p.value(QStringLiteral("ripCurve2"));
    std::optional<LoadedCurve> curve1, curve2;
    if (p.has(QStringLiteral("ripCurve1")))
        curve1 = loadCurve(*model, QStringLiteral("ripCurve1"), request.curve1, diagnostics);
    if (p.has(QStringLiteral("ripCurve2")))
        curve2 = loadCurve(*model, QStringLiteral("ripCurve2"), request.curve2, diagnostics);
    if (diagnostics.hasErrors() || !curve1 || !curve2)
        return std::nullopt;

    // The printer's inks come from the model file; a model without an ink set prints with
    // the channels of its curves.
    request.channels = model->ppd.inks();
    if (request.channels.size() > MaxCurveChannels) {
        diagnostics.error(QStringLiteral("model %1 lists more than %2 inks")
                              .arg(model->name)
                              .arg(MaxCurveChannels));
        return std::nullopt;
    }
    if (request.channels.isEmpty())
        request.channels = !curve1->builtIn   ? curve1->file.channels
                           : !curve2->builtIn ? curve2->file.channels
                                              : QStringList{QStringLiteral("K")};
    const QString black = p.value(QStringLiteral("RipBlack"));
    request.curve1Values =
        curve1->builtIn ? neutralCurve(request.channels, black)
                        : onChannels(curve1->file, request.curve1, request.channels, diagnostics);
    request.curve2Values =
        curve2->builtIn ? neutralCurve(request.channels, black)
                        : onChannels(curve2->file, request.curve2, request.channels, diagnostics);

    request.facts = {{"Model", model->name},
                     {"Copies", QString::number(head->prefix.copies)},
                     {"PageSize", p.value(QStringLiteral("Pagesize"))}};
    if (p.has(QStringLiteral("MediaType")))
        request.facts.append({"MediaType", p.value(QStringLiteral("MediaType"))});
    request.facts += feed;
    request.facts.append({"Resolution", p.value(QStringLiteral("Resolution"))});
    if (p.has(QStringLiteral("RipSpeed")))
        request.facts.append({"Speed", p.value(QStringLiteral("RipSpeed"))});
    if (p.has(QStringLiteral("RipBlack")))
        request.facts.append({"Black", black});
    request.facts +=
        QList<QPair<QString, QString>>{{"Dither", p.value(QStringLiteral("stpDither"))},
                                       {"ColorModel", colorModel},
                                       {"Curve1", request.curve1},
                                       {"Curve2", request.curve2},
                                       {"Blend", p.value(QStringLiteral("ripBlend"))},
                                       {"Gamma", QString::number(request.adjustments.gamma)},
                                       {"Limit", QString::number(request.adjustments.limit)},
                                       {"Channels", request.channels.join(QLatin1Char(','))}};
    request.model = std::move(*model);
    return request;
}
