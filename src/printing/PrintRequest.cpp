#include "PrintRequest.h"

#include "IniFile.h"
#include "PageGeometry.h"
#include "ZorError.h"

#include <QFileInfo>

#include <cstdlib>

namespace {

constexpr double MillimetresPerInch = 25.4;

QString number(double value, const TPrintRequest &request)
{
    return IniValue::fromReal(value, request.DecimalPoint);
}

// The keyword at a box's selected index. A box with nothing selected (or a selection the
// value list does not reach) has nothing to send, so the request is refused by name.
QString selectedKeyword(const QStringList &values, int index, const QString &optionName)
{
    if (index < 0 || index >= values.size())
        throw ZorError(QStringLiteral("You have not selected %1.").arg(optionName));
    return values.at(index);
}

// The default entry of a curve list, which calibration prints use whatever the box shows.
QString defaultCurveKeyword(const QStringList &values, int defaultIndex, const QString &curve)
{
    if (defaultIndex < 0 || defaultIndex >= values.size())
        throw ZorError(QStringLiteral("The printing model has no default %1, which calibration "
                                      "prints need.")
                           .arg(curve));
    return values.at(defaultIndex);
}

// The slider positions of gamma and limit: "m" marks a negative one, so -4 reads m4.
QString signedPosition(int position)
{
    return position < 0 ? u'm' + QString::number(std::abs(position)) : QString::number(position);
}

// The items both texts begin with, up to and including the page size.
QString commonHead(const TPrintRequest &r)
{
    const TPrintingModel &m = r.Model;
    QString text = QStringLiteral("PPD=") + r.PrintingModelName + QStringLiteral(".ppd");
    text += QStringLiteral(" PRINTER=") + r.PrintingModelName;
    text += QStringLiteral(" MediaType=") +
            selectedKeyword(m.MediaValues, r.MediaTypeIndex, QStringLiteral("a Media Type"));
    if (r.PaperFeedEnabled)
        text += u' ' + m.FeedOptionName + u'=' +
                selectedKeyword(m.FeedValues, r.PaperFeedIndex, QStringLiteral("a Paper Source"));

    text += QStringLiteral(" Pagesize=");
    const int itemCount = r.PaperSizeCount >= 0 ? r.PaperSizeCount : int(m.PageSizeValues.size());
    const bool custom =
        m.CustomPageSize && r.PaperSizeIndex >= 0 && r.PaperSizeIndex == itemCount - 1;
    if (custom) {
        // Millimetres go out as centimetres as they are; inches to three decimals.
        const bool millimetres = r.CustomUnit == 1;
        const double width = millimetres ? r.CustomWidthValue / 10 : Round3(r.CustomWidthValue);
        const double length = millimetres ? r.CustomLengthValue / 10 : Round3(r.CustomLengthValue);
        text += QStringLiteral("Custom.") + number(width, r) + u'x' + number(length, r) +
                (millimetres ? QStringLiteral("cm") : QStringLiteral("in"));
    } else {
        text += selectedKeyword(m.PageSizeValues, r.PaperSizeIndex, QStringLiteral("a Paper Size"));
    }
    return text;
}

QString resolutionItem(const TPrintRequest &r)
{
    return QStringLiteral(" Resolution=") + selectedKeyword(r.Model.ResolutionValues,
                                                            r.ResolutionIndex,
                                                            QStringLiteral("a Resolution"));
}

QString colorModelItem(const TPrintRequest &r)
{
    return r.CalibrationMode ? QStringLiteral(" ColorModel=ZorCal")
                             : QStringLiteral(" ColorModel=ZorRIP");
}

// A margin in inches: one shown in millimetres is converted and rounded to thousandths of
// an inch, one shown in inches already is and goes out as held.
double marginInches(double value, const TPrintRequest &r)
{
    return r.UnitsIndex == 1 ? Round3(value / MillimetresPerInch) : value;
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

} // namespace

QString buildRastermillParameters(const TPrintRequest &r)
{
    QString text = commonHead(r);
    if (r.PlaceCentered) {
        text += QStringLiteral(" position=center");
    } else {
        text += QStringLiteral(" topmargin=") + number(marginInches(r.TopMarginValue, r), r);
        text += QStringLiteral(" leftmargin=") + number(marginInches(r.LeftMarginValue, r), r);
    }
    if (r.ScaleToFit)
        text += QStringLiteral(" scale-to-fit=yes");
    else
        text += QStringLiteral(" scale-percent=") + QString::number(r.CustomScale);
    text += r.OrientationIndex == 0 ? QStringLiteral(" portrait=yes")
                                    : QStringLiteral(" Landscape=yes");
    text += resolutionItem(r);
    text += colorModelItem(r);
    return text;
}

QString buildInkforgeParameters(const TPrintRequest &r)
{
    const TPrintingModel &m = r.Model;
    QString text = commonHead(r);
    text += resolutionItem(r);
    if (r.RipSpeedEnabled)
        text += QStringLiteral(" RipSpeed=") +
                selectedKeyword(m.SpeedValues, r.RipSpeedIndex, QStringLiteral("a Speed"));
    text += colorModelItem(r);

    QString curve1;
    QString curve2;
    if (r.CalibrationMode) {
        curve1 = defaultCurveKeyword(m.Curve1Values, m.Curve1Default, QStringLiteral("Curve1"));
        curve2 = defaultCurveKeyword(m.Curve2Values, m.Curve2Default, QStringLiteral("Curve2"));
    } else {
        curve1 = selectedKeyword(m.Curve1Values, r.Curve1Index, QStringLiteral("Curve1"));
        curve2 = selectedKeyword(m.Curve2Values, r.Curve2Index, QStringLiteral("Curve2"));
    }
    text += QStringLiteral(" ripCurve1=") + curve1;
    text += QStringLiteral(" ripCurve2=") + curve2;
    text += QStringLiteral(" ripBlend=") + r.CurveBlendText;
    text += QStringLiteral(" stpDither=") + selectedKeyword(m.DitherValues, r.DitherTypeIndex,
                                                            QStringLiteral("a Dither Algorithm"));
    if (r.RipBlackEnabled)
        text += QStringLiteral(" RipBlack=") +
                selectedKeyword(m.BlackValues, r.RipBlackIndex, QStringLiteral("a Black Ink"));
    text += QStringLiteral(" ripGamma=") + signedPosition(r.GammaPosition);
    text += QStringLiteral(" ripLimit=") + signedPosition(r.LimitPosition);
    return text;
}

QString buildJobPrefix(const TPrintRequest &r)
{
    return QStringLiteral("gui 0 0 ") + QString::number(r.CopyCount);
}

TPrintArguments buildPrintArguments(const TPrintRequest &request)
{
    TPrintArguments a;
    a.RastermillParameters = buildRastermillParameters(request);
    a.InkforgeParameters = buildInkforgeParameters(request);
    a.JobPrefix = buildJobPrefix(request);
    a.ImagePath = request.ImagePath;
    a.PrinterName = request.PrinterName;
    return a;
}

QString TPrintArguments::imageFileName() const
{
    return QFileInfo(ImagePath).fileName();
}

QStringList TPrintArguments::rastermillArguments() const
{
    return JobPrefix.split(u' ', Qt::SkipEmptyParts) + QStringList{RastermillParameters, ImagePath};
}

QStringList TPrintArguments::inkforgeArguments() const
{
    return JobPrefix.split(u' ', Qt::SkipEmptyParts) + QStringList{InkforgeParameters};
}

QStringList TPrintArguments::spoolgateArguments() const
{
    return {PrinterName, QStringLiteral("-"), imageFileName()};
}

QString TPrintArguments::rastermillCommandText() const
{
    return JobPrefix + u' ' + quoted(RastermillParameters) + u' ' + quoted(ImagePath);
}

QString TPrintArguments::inkforgeCommandText() const
{
    return JobPrefix + u' ' + quoted(InkforgeParameters);
}

QString TPrintArguments::spoolgateCommandText() const
{
    return quoted(PrinterName) + QStringLiteral(" - ") + quoted(imageFileName());
}
