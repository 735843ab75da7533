#include "RequestModel.h"

#include "Diagnostics.h"
#include "InstallFiles.h"
#include "ToolArguments.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

constexpr double PointsPerInch = 72.0;
// Custom sizes come rounded from the front end (to 0.001 in, or 0.1 mm); a limit in
// points need not be hit exactly.
constexpr double LimitTolerance = 0.005;

std::optional<PageChoice> customPage(const RequestModel &model, const QString &value,
                                     Diagnostics &diagnostics)
{
    const PpdModel &ppd = model.ppd;
    if (!ppd.customPageSize()) {
        diagnostics.error(QStringLiteral("model %1 takes no custom page size (Pagesize=%2)")
                              .arg(model.name, value));
        return std::nullopt;
    }
    QString size = value.mid(int(qstrlen("Custom.")));
    const QString unit = size.right(2);
    size.chop(2);
    const QStringList parts = size.split(QLatin1Char('x'));
    const double width = parts.size() == 2 ? parseDecimal(parts.at(0)).value_or(0) : 0;
    const double length = parts.size() == 2 ? parseDecimal(parts.at(1)).value_or(0) : 0;
    if ((unit != QLatin1String("in") && unit != QLatin1String("cm")) || !(width > 0) ||
        !(length > 0)) {
        diagnostics.error(QStringLiteral("custom page size \"%1\" is not of the form "
                                         "Custom.<width>x<length>in or ...cm")
                              .arg(value));
        return std::nullopt;
    }
    PageChoice page;
    page.keyword = value;
    page.custom = true;
    const double perInch = unit == QLatin1String("cm") ? 2.54 : 1.0;
    page.width = width / perInch;
    page.length = length / perInch;

    const auto outside = [](double v, double minPoints, double maxPoints) {
        const double min = minPoints / PointsPerInch, max = maxPoints / PointsPerInch;
        return v < min - LimitTolerance || (maxPoints > 0 && v > max + LimitTolerance);
    };
    if (outside(page.width, ppd.minCustomWidth(), ppd.maxCustomWidth()) ||
        outside(page.length, ppd.minCustomLength(), ppd.maxCustomLength())) {
        diagnostics.error(
            QStringLiteral("custom page size %1 x %2 in is outside the limits of model %3 "
                           "(%4 to %5 x %6 to %7 in)")
                .arg(page.width, 0, 'g', 6)
                .arg(page.length, 0, 'g', 6)
                .arg(model.name)
                .arg(ppd.minCustomWidth() / PointsPerInch, 0, 'g', 6)
                .arg(ppd.maxCustomWidth() / PointsPerInch, 0, 'g', 6)
                .arg(ppd.minCustomLength() / PointsPerInch, 0, 'g', 6)
                .arg(ppd.maxCustomLength() / PointsPerInch, 0, 'g', 6));
        return std::nullopt;
    }
    const auto hw = ppd.hwMargins();
    page.marginLeft = hw[0] / PointsPerInch;
    page.marginBottom = hw[1] / PointsPerInch;
    page.marginRight = hw[2] / PointsPerInch;
    page.marginTop = hw[3] / PointsPerInch;
    return page;
}

} // namespace

std::optional<RequestModel> loadRequestModel(const ParameterText &parameters,
                                             Diagnostics &diagnostics)
{
    const QString file = parameters.value(QStringLiteral("PPD"));
    const QString name = parameters.value(QStringLiteral("PRINTER"));
    if (!parameters.has(QStringLiteral("PPD")) || !parameters.has(QStringLiteral("PRINTER"))) {
        diagnostics.error(QStringLiteral("parameters PPD and PRINTER are required"));
        return std::nullopt;
    }
    if (!isPlainFileName(file) || !isPlainFileName(name)) {
        diagnostics.error(QStringLiteral("PPD=%1 PRINTER=%2 do not name a model of the "
                                         "installation")
                              .arg(file, name));
        return std::nullopt;
    }
    const QString installFolder = QDir::currentPath();
    const auto path = findCaseInsensitive(installFolder, QStringLiteral("ppd/") + file);
    if (!path) {
        diagnostics.error(
            QStringLiteral("model definition ppd/%1 not found in %2").arg(file, installFolder));
        return std::nullopt;
    }
    QString reason;
    const auto content = readSmallFile(*path, PpdModel::MaxFileBytes, reason);
    if (!content) {
        diagnostics.error(QStringLiteral("cannot read model definition %1: %2").arg(*path, reason));
        return std::nullopt;
    }
    auto ppd = PpdModel::parse(*content);
    if (!ppd) {
        diagnostics.error(QStringLiteral("%1 is not a model definition").arg(*path));
        return std::nullopt;
    }
    if (QFileInfo(file).completeBaseName().compare(name, Qt::CaseInsensitive) != 0)
        diagnostics.warning(
            QStringLiteral("PRINTER=%1 differs from the model file %2").arg(name, file));
    return RequestModel{name, *path, std::move(*ppd)};
}

void checkOption(const RequestModel &model, const QString &key, const QString &value,
                 const QString &group, Diagnostics &diagnostics)
{
    if (!model.ppd.hasGroup(group)) {
        diagnostics.warning(QStringLiteral("model %1 has no %2 options; %3=%4 ignored")
                                .arg(model.name, group, key, value));
        return;
    }
    if (!model.ppd.options(group).contains(value))
        diagnostics.error(QStringLiteral("%1=%2 is not among the %3 options of model %4")
                              .arg(key, value, group, model.name));
}

std::optional<PageChoice> resolvePageSize(const RequestModel &model, const QString &value,
                                          Diagnostics &diagnostics)
{
    if (value.startsWith(QLatin1String("Custom.")))
        return customPage(model, value, diagnostics);

    const PpdModel &ppd = model.ppd;
    if (!ppd.options(QStringLiteral("PageSize")).contains(value)) {
        diagnostics.error(
            QStringLiteral("Pagesize=%1 is not a page size of model %2").arg(value, model.name));
        return std::nullopt;
    }
    const auto paper = ppd.paperDimension(value);
    if (!paper || paper->width <= 0 || paper->length <= 0) {
        diagnostics.error(QStringLiteral("model %1 gives no paper dimension for page size %2")
                              .arg(model.name, value));
        return std::nullopt;
    }
    PageChoice page;
    page.keyword = value;
    page.width = paper->width / PointsPerInch;
    page.length = paper->length / PointsPerInch;
    const auto hw = ppd.hwMargins();
    const PpdArea area = ppd.imageableArea(value).value_or(
        PpdArea{hw[0], hw[1], paper->width - hw[2], paper->length - hw[3]});
    page.marginLeft = std::max(0.0, area.llx / PointsPerInch);
    page.marginBottom = std::max(0.0, area.lly / PointsPerInch);
    page.marginRight = std::max(0.0, page.width - area.urx / PointsPerInch);
    page.marginTop = std::max(0.0, page.length - area.ury / PointsPerInch);
    return page;
}
