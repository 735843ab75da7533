#include "PpdLoader.h"

#include "CurveCatalogue.h"
#include "CurveFolderWatch.h"
#include "Dialogs.h"
#include "InstallPaths.h"
#include "OptionBox.h"
#include "TPrintingModel.h"
#include "ZorError.h"

#include <QDir>
#include <QFile>

#include <limits>

namespace {

const QString ppdSuffix = QStringLiteral(".ppd");

// A decimal integer with an optional sign, nothing else; the number must fit an int.
int ppdInteger(const QString &token)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == u'+' || token[i] == u'-')) {
        negative = token[i] == u'-';
        ++i;
    }
    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min())
                                  : qint64(std::numeric_limits<int>::max());
    qint64 value = 0;
    bool valid = i < token.size();
    for (; valid && i < token.size(); ++i) {
        const char16_t c = token[i].unicode();
        valid = c >= u'0' && c <= u'9';
        value = value * 10 + (c - u'0');
        valid = valid && value <= limit;
    }
    if (!valid)
        throw ZorError(QStringLiteral("'%1' is not a valid integer value").arg(token));
    return int(negative ? -value : value);
}

// A length in points as inches. An empty token means the line ran out of numbers.
double ppdInches(const QString &token, const QString &shortLineMessage)
{
    if (token.isEmpty())
        throw ZorError(shortLineMessage);
    return ppdInteger(token) / 72.0;
}

} // namespace

// Reads the file line by line: bytes as Latin-1, lines end at LF, a CR before it is dropped.
class PpdLoader::LineReader
{
public:
    explicit LineReader(QFile &file) : m_file(file) {}

    // False at the end of the file.
    bool readLine(QString &line)
    {
        QByteArray bytes = m_file.readLine();
        if (bytes.isEmpty()) {
            if (m_file.error() != QFileDevice::NoError)
                throw cannotReadFile(m_file);
            return false;
        }
        if (bytes.endsWith('\n'))
            bytes.chop(1);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        line = QString::fromLatin1(bytes);
        return true;
    }

private:
    QFile &m_file;
};

QString ppdFilePath(const QString &installFolder, const QString &model)
{
    return resolveCaseInsensitive(installFolder, QStringLiteral("PPD/") + model + ppdSuffix);
}

QStringList listPrintingModels(const QString &installFolder)
{
    QStringList models;
    const QString folder = resolveCaseInsensitive(installFolder, QStringLiteral("ppd/"));
    for (const QString &file : filesWithSuffix(folder, ppdSuffix))
        models.append(file.left(file.indexOf(ppdSuffix, 0, Qt::CaseInsensitive)));
    return models;
}

PpdLoader::PpdLoader(TPrintingModel &printingModel, const PrintingModelBoxes &boxes,
                     CurveFolderWatch &curveFolderWatch)
    : m_model(printingModel), m_boxes(boxes), m_curveFolderWatch(curveFolderWatch)
{
    Q_ASSERT(boxes.PaperSize && boxes.DitherType && boxes.Resolution && boxes.PaperFeed &&
             boxes.Curve1 && boxes.Curve2 && boxes.MediaType && boxes.RipBlack && boxes.RipSpeed);
}

void PpdLoader::LoadPPD(const QString &installFolder, const QString &model)
{
    using namespace PpdDelimiters;

    // Speed, black ink and paper feed start empty, so nothing of the previous model is
    // offered for them. Their value lists are emptied with them to stay in step.
    m_model.ModelHint.clear();
    m_boxes.RipSpeed->clear();
    m_boxes.RipSpeed->setEnabled(false);
    m_model.SpeedValues.clear();
    m_model.SpeedDefault = -1;
    m_boxes.RipBlack->setEnabled(false);
    m_boxes.RipBlack->clear();
    m_model.BlackValues.clear();
    m_model.BlackDefault = -1;
    m_boxes.PaperFeed->setEnabled(false);
    const QString feedText = m_boxes.PaperFeed->currentText();
    const QString pageSizeText = m_boxes.PaperSize->currentText();
    m_boxes.PaperFeed->clear();
    m_model.FeedValues.clear();
    m_model.FeedDefault = -1;
    m_model.PaperDimensions.clear();
    m_model.ImageableAreas.clear();
    m_dimensionNames.clear();
    m_areaNames.clear();
    m_model.CustomPageSize = false;
    m_model.MinMediaWidth = 0;
    m_model.MinMediaLength = 0;
    const QString curve1Text = m_boxes.Curve1->currentText();
    const QString curve2Text = m_boxes.Curve2->currentText();

    {
        QFile file(ppdFilePath(installFolder, model));
        if (!file.open(QIODevice::ReadOnly))
            throw cannotOpenFile(file);
        LineReader reader(file);
        QString text;
        while (reader.readLine(text)) {
            PpdLine line(text + u' ');
            switch (line.NextToken(K).keyword) {
            case PpdKeyword::CustomPageSize:
                // "True" may carry a translation ("True/Custom Page Size").
                m_model.CustomPageSize = line.NextToken(W).keyword == PpdKeyword::True;
                break;
            case PpdKeyword::OpenUI: {
                const PpdKeyword group = line.NextToken(N).keyword;
                if (groupFor(group).box) {
                    readGroup(reader, group, feedText);
                    break;
                }
                // A group the program does not offer: skip to its end. These lines get
                // no blank, so a bare "*CloseUI" at the very end of a line does not count.
                while (reader.readLine(text)) {
                    if (NextToken(text, K).keyword == PpdKeyword::CloseUI)
                        break;
                }
                break;
            }
            case PpdKeyword::MaxMediaWidth:
                m_model.MaxMediaWidth = ppdInches(line.NextToken(V).text,
                                                  QStringLiteral("*MaxMediaWidth needs 1 number"));
                break;
            case PpdKeyword::MaxMediaHeight:
                m_model.MaxMediaLength = ppdInches(
                    line.NextToken(V).text, QStringLiteral("*MaxMediaHeight needs 1 number"));
                break;
            case PpdKeyword::HWMargins: {
                const QString message = QStringLiteral("*HWMargins needs 4 numbers");
                m_model.HWMargins.left = ppdInches(line.NextToken(V).text, message);
                m_model.HWMargins.bottom = ppdInches(line.NextToken(V).text, message);
                m_model.HWMargins.right = ppdInches(line.NextToken(V).text, message);
                m_model.HWMargins.top = ppdInches(line.NextToken(V).text, message);
                break;
            }
            case PpdKeyword::PaperDimension:
                m_dimensionNames.append(line.NextOptionName().name);
                m_model.PaperDimensions.append(line.NextToken(V).text);
                break;
            case PpdKeyword::ImageableArea:
                m_areaNames.append(line.NextOptionName().name);
                m_model.ImageableAreas.append(line.NextToken(V).text);
                break;
            case PpdKeyword::FileVersion:
                m_model.ModelHint = QStringLiteral("Version ") + line.NextToken(V).text;
                break;
            case PpdKeyword::ParamCustomPageSize:
                readParamCustomPageSize(line);
                break;
            case PpdKeyword::Product: {
                // The quoted product string, e.g. (Zorlane 2.1), is tokenised without an
                // added blank, so the closing parenthesis ends the version.
                PpdLine product(line.NextToken(V).text);
                product.NextToken(V);
                const QString version = product.NextToken(V).text;
                if (version < QLatin1String("2.1"))
                    throw ZorError(
                        QStringLiteral("Unsupported Zorlane version found \"%1\"").arg(version));
                break;
            }
            default:
                break;
            }
        }
    }

    RebuildCurveLists(installFolder, model, curve1Text, curve2Text);

    const QString curveFolder = curveFolderPath(installFolder, model);
    QDir().mkpath(curveFolder);
    m_curveFolderWatch.setFolder(curveFolder);

    if (m_model.CustomPageSize) {
        m_boxes.PaperSize->addItem(QStringLiteral("Custom"));
        m_model.PageSizeValues.append(QStringLiteral("Custom"));
    }
    m_boxes.PaperSize->setCurrentIndex(m_model.PageSizeDefault);
    SelectByText(*m_boxes.PaperSize, pageSizeText);

    checkPageSizeLists();
}

void PpdLoader::RebuildCurveLists(const QString &installFolder, const QString &model,
                                  const QString &previousCurve1, const QString &previousCurve2)
{
    ::RebuildCurveLists(m_model, *m_boxes.Curve1, *m_boxes.Curve2, installFolder, model,
                        previousCurve1, previousCurve2);
}

PpdLoader::Group PpdLoader::groupFor(PpdKeyword keyword) const
{
    switch (keyword) {
    case PpdKeyword::PageSize:
        return {m_boxes.PaperSize, &m_model.PageSizeValues, &m_model.PageSizeDefault};
    case PpdKeyword::StpDither:
        return {m_boxes.DitherType, &m_model.DitherValues, &m_model.DitherDefault};
    case PpdKeyword::Resolution:
        return {m_boxes.Resolution, &m_model.ResolutionValues, &m_model.ResolutionDefault};
    case PpdKeyword::InputSlot:
    case PpdKeyword::RipFeed:
        return {m_boxes.PaperFeed, &m_model.FeedValues, &m_model.FeedDefault};
    case PpdKeyword::RipCurve1:
        return {m_boxes.Curve1, &m_model.Curve1Values, &m_model.Curve1Default};
    case PpdKeyword::RipCurve2:
        return {m_boxes.Curve2, &m_model.Curve2Values, &m_model.Curve2Default};
    case PpdKeyword::MediaType:
        return {m_boxes.MediaType, &m_model.MediaValues, &m_model.MediaDefault};
    case PpdKeyword::RipBlack:
        return {m_boxes.RipBlack, &m_model.BlackValues, &m_model.BlackDefault};
    case PpdKeyword::RipSpeed:
        return {m_boxes.RipSpeed, &m_model.SpeedValues, &m_model.SpeedDefault};
    default:
        return {};
    }
}

void PpdLoader::readGroup(LineReader &reader, PpdKeyword keyword, const QString &rememberedFeedText)
{
    using namespace PpdDelimiters;

    const Group group = groupFor(keyword);
    OptionBox &box = *group.box;
    const QString rememberedText = box.currentText();

    group.values->clear();
    box.clear();
    QString defaultText;
    *group.defaultIndex = -1;

    // A group left open runs to the end of the file and keeps the options read.
    QString text;
    while (reader.readLine(text)) {
        PpdLine line(text + u' ');
        const PpdToken first = line.NextToken(K);
        if (first.keyword == PpdKeyword::None &&
            ppdUpper(QStringView(first.text).left(8)) == QLatin1String("*DEFAULT")) {
            defaultText = line.NextToken(V).text;
        } else if (first.keyword == keyword) {
            // An option without a translation is shown by its name, not by its value.
            auto [name, translation] = line.NextOptionName();
            if (translation.isEmpty())
                translation = name;
            group.values->append(name);
            box.addItem(translation);
            if (name == defaultText) {
                *group.defaultIndex = box.count() - 1;
                box.setCurrentIndex(*group.defaultIndex);
            }
        } else if (first.keyword == PpdKeyword::CloseUI) {
            break;
        }
    }

    switch (keyword) {
    case PpdKeyword::StpDither:
    case PpdKeyword::Resolution:
    case PpdKeyword::MediaType:
        box.setCurrentIndex(*group.defaultIndex);
        SelectByText(box, rememberedText);
        break;
    case PpdKeyword::InputSlot:
    case PpdKeyword::RipFeed:
        m_model.FeedOptionName = ppdKeywordText(keyword).mid(1);
        box.setEnabled(true);
        box.setCurrentIndex(*group.defaultIndex);
        SelectByText(box, rememberedFeedText);
        break;
    case PpdKeyword::RipBlack:
    case PpdKeyword::RipSpeed:
        box.setEnabled(true);
        box.setCurrentIndex(*group.defaultIndex);
        break;
    default:
        // Page size and curves are selected once the whole file is read.
        break;
    }
}

void PpdLoader::readParamCustomPageSize(PpdLine &line)
{
    using namespace PpdDelimiters;

    const QString which = ppdUpper(line.NextToken(T).text);
    double *minimum = nullptr;
    double *maximum = nullptr;
    QString name;
    if (which == QLatin1String("WIDTH")) {
        minimum = &m_model.MinMediaWidth;
        maximum = &m_model.MaxMediaWidth;
        name = QStringLiteral("Width");
    } else if (which == QLatin1String("HEIGHT")) {
        minimum = &m_model.MinMediaLength;
        maximum = &m_model.MaxMediaLength;
        name = QStringLiteral("Height");
    } else {
        return; // orientation and offsets are not used
    }

    const QString shortLine =
        QStringLiteral("*ParamCustomPageSize %1 needs an order number, a unit and 2 numbers")
            .arg(name);
    line.NextToken(V); // the order number
    const QString units = ppdUpper(line.NextToken(V).text);
    if (units.isEmpty())
        throw ZorError(shortLine);
    if (units != QLatin1String("POINTS"))
        throw ZorError(QStringLiteral("Custom media units are not in points"));
    *minimum = ppdInches(line.NextToken(V).text, shortLine);
    *maximum = ppdInches(line.NextToken(V).text, shortLine);
}

void PpdLoader::checkPageSizeLists() const
{
    const qsizetype n = m_model.PageSizeValues.size() - (m_model.CustomPageSize ? 1 : 0);
    // names and values are filled together, so they always have the same length.
    const auto differs = [&](const QStringList &names, const QStringList &values) {
        if (values.size() != n)
            return true;
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (names.at(i) != m_model.PageSizeValues.at(i))
                return true;
        }
        return false;
    };
    if (differs(m_dimensionNames, m_model.PaperDimensions) ||
        differs(m_areaNames, m_model.ImageableAreas)) {
        Dialogs::instance().error(
            QStringLiteral("PPD PageSize list and PaperDimension list different"),
            Dialogs::Button::Cancel);
    }
}
