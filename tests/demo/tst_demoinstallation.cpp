// Checks the demo installation the build lays out: the data must be what the
// program and the tools can read, and consistent across files.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <tiffio.h>

#include <memory>
#include <vector>

namespace {

const QString InstallRoot = QStringLiteral(DIRIDU_DEMO_INSTALL);
const QString SourceDir = QStringLiteral(DIRIDU_SOURCE_DIR);

QString installPath(const QString &relative)
{
    return InstallRoot + u'/' + relative;
}

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

// --- PPD files, scanned with the model reader's tokenizer ------------------

const QString DelimK = QStringLiteral(" :");
const QString DelimN = QStringLiteral("/:");
const QString DelimT = QStringLiteral(":");
const QString DelimV = QStringLiteral(" ");

// Takes the next token off the front of line: leading blanks skipped, a quoted
// value without its quotes, otherwise up to a delimiter; the character that
// ends the token is consumed too.
QString nextToken(QString &line, QString delimiters)
{
    if (delimiters.contains(u' '))
        delimiters += u'\t';
    const qsizetype n = line.size();
    if (n == 0)
        return {};
    qsizetype i = 0;
    while (i < n - 1 && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    qsizetype j = i;
    if (j < n - 1 && line[j] == u'"') {
        ++i;
        ++j;
        while (j < n - 1 && line[j] != u'"')
            ++j;
    } else {
        while (j < n - 1 && !delimiters.contains(line[j]))
            ++j;
    }
    const QString token = line.mid(i, j - i);
    line = line.mid(j + 1);
    return token;
}

const QStringList ReaderKeywords = {
    "*CUSTOMPAGESIZE", "*OPENUI",       "*CLOSEUI",       "*PAGESIZE",  "*MAXMEDIAWIDTH",
    "*MAXMEDIAHEIGHT", "*HWMARGINS",    "*STPDITHER",     "*RESOLUTION", "*INPUTSLOT",
    "*RIPCURVE1",      "*RIPCURVE2",    "*PAPERDIMENSION", "*MEDIATYPE", "*IMAGEABLEAREA",
    "*RIPFEED",        "*RIPBLACK",     "*RIPSPEED",      "*FILEVERSION", "*PARAMCUSTOMPAGESIZE",
    "*PRODUCT",        "TRUE"};

const QStringList GroupKeywords = {"*PAGESIZE",  "*STPDITHER", "*RESOLUTION", "*INPUTSLOT", "*RIPFEED",
                                   "*RIPCURVE1", "*RIPCURVE2", "*MEDIATYPE",  "*RIPBLACK",  "*RIPSPEED"};

struct PpdGroup {
    QStringList names;
    QStringList translations;
    QString defaultText;
    int defaultIndex = -1;
};

struct PpdFacts {
    QMap<QString, PpdGroup> groups;
    QStringList dimensionNames, dimensions, areaNames, areas;
    QStringList hwMargins;
    QString maxWidth, maxHeight;
    bool customPageSize = false;
    QMap<QString, QStringList> customParams;  // WIDTH, HEIGHT: order, unit, min, max
    QString fileVersion, productName, productVersion;
    QStringList inkSetWords;  // the words after *%INKS
    QStringList problems;
};

// Tokens of the ink-set line: runs of letters, digits, "%", "*", ".", "_",
// upper-cased, separated by blanks, commas and equals signs.
QStringList inkLineTokens(const QString &line)
{
    QStringList tokens;
    qsizetype i = 0;
    auto isTokenChar = [](QChar c) {
        return c == u'%' || c == u'*' || c == u'.' || c == u'_'
               || (c.unicode() < 128 && c.isLetterOrNumber());
    };
    while (i < line.size()) {
        QString token;
        while (i < line.size() && isTokenChar(line[i]))
            token += line[i++].toUpper();
        if (token.isEmpty())
            break;
        tokens << token;
        while (i < line.size() && (line[i] == u' ' || line[i] == u',' || line[i] == u'='))
            ++i;
    }
    return tokens;
}

QStringList expandInkSet(const QStringList &words)
{
    static const QHash<QString, QStringList> named = {
        {"CMYK", {"K", "C", "M", "Y"}},
        {"PHOTOCMYK", {"K", "C", "M", "Y", "LC", "LM"}},
        {"PHOTOCMYK7", {"K", "C", "M", "Y", "LC", "LM", "LK"}},
        {"PHOTOCMYK8", {"MK", "C", "M", "Y", "R", "B", "PK", "GL"}},
    };
    if (words.isEmpty())
        return {};
    return named.value(words.first(), words);
}

void readGroup(const QStringList &lines, qsizetype &index, const QString &keyword, PpdFacts &facts)
{
    if (facts.groups.contains(keyword))
        facts.problems << keyword + " group appears twice";
    PpdGroup group;
    for (++index; index < lines.size(); ++index) {
        QString line = lines[index] + u' ';
        const QString key = nextToken(line, DelimK).toUpper();
        if (key == "*CLOSEUI")
            break;
        if (!ReaderKeywords.contains(key) && key.left(8) == "*DEFAULT") {
            group.defaultText = nextToken(line, DelimV);
        } else if (key == keyword) {
            const QString name = nextToken(line, DelimN);
            QString translation = nextToken(line, DelimT);
            if (translation.isEmpty())
                translation = name;
            if (name == group.defaultText)
                group.defaultIndex = int(group.names.size());
            if (group.names.contains(name))
                facts.problems << keyword + " option " + name + " listed twice";
            group.names << name;
            group.translations << translation;
        }
    }
    if (index >= lines.size())
        facts.problems << keyword + " group is not closed";
    facts.groups.insert(keyword, group);
}

PpdFacts scanPpd(const QString &path)
{
    PpdFacts facts;
    const QStringList lines = readLines(path);
    for (qsizetype index = 0; index < lines.size(); ++index) {
        if (facts.inkSetWords.isEmpty()) {
            const QStringList words = inkLineTokens(lines[index]);
            if (!words.isEmpty() && words.first() == "*%INKS")
                facts.inkSetWords = words.mid(1);
        }
        QString line = lines[index] + u' ';
        const QString key = nextToken(line, DelimK).toUpper();
        if (key == "*CUSTOMPAGESIZE") {
            facts.customPageSize = nextToken(line, DelimK).toUpper() == "TRUE";
        } else if (key == "*OPENUI") {
            const QString group = nextToken(line, DelimN).toUpper();
            if (GroupKeywords.contains(group)) {
                readGroup(lines, index, group, facts);
            } else {
                while (index + 1 < lines.size()) {
                    QString skipped = lines[++index];
                    if (nextToken(skipped, DelimK).toUpper() == "*CLOSEUI")
                        break;
                }
            }
        } else if (key == "*MAXMEDIAWIDTH") {
            facts.maxWidth = nextToken(line, DelimV);
        } else if (key == "*MAXMEDIAHEIGHT") {
            facts.maxHeight = nextToken(line, DelimV);
        } else if (key == "*HWMARGINS") {
            for (int i = 0; i < 4; ++i)
                facts.hwMargins << nextToken(line, DelimV);
            if (!nextToken(line, DelimV).isEmpty())
                facts.problems << "*HWMargins holds more than four numbers";
        } else if (key == "*PAPERDIMENSION" || key == "*IMAGEABLEAREA") {
            const QString name = nextToken(line, QStringLiteral("/"));
            nextToken(line, DelimT);
            const QString value = nextToken(line, DelimV);
            (key == "*PAPERDIMENSION" ? facts.dimensionNames : facts.areaNames) << name;
            (key == "*PAPERDIMENSION" ? facts.dimensions : facts.areas) << value;
        } else if (key == "*FILEVERSION") {
            facts.fileVersion = nextToken(line, DelimV);
        } else if (key == "*PARAMCUSTOMPAGESIZE") {
            const QString which = nextToken(line, DelimT).toUpper();
            QStringList params;
            for (int i = 0; i < 4; ++i)
                params << nextToken(line, DelimV);
            facts.customParams.insert(which, params);
        } else if (key == "*PRODUCT") {
            QString product = nextToken(line, DelimV);
            facts.productName = nextToken(product, DelimV);
            facts.productVersion = nextToken(product, DelimV);
        }
    }
    return facts;
}

bool isInteger(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(text).hasMatch();
}

QStringList modelNames()
{
    QStringList names;
    const auto files = QDir(installPath("ppd")).entryInfoList({"*.ppd"}, QDir::Files, QDir::Name);
    for (const QFileInfo &info : files)
        names << info.completeBaseName();
    return names;
}

QStringList modelInks(const QString &model)
{
    return expandInkSet(scanPpd(installPath("ppd/" + model + ".ppd")).inkSetWords);
}

const QStringList KnownInks = {"K", "C", "M", "Y", "LC", "LM", "LK", "R", "B", "G", "PK", "GL", "LLK", "MK"};
const QStringList BlackInks = {"K", "MK", "PK"};

// --- help pages ---------------------------------------------------------------

QString helpRoot()
{
    return installPath("bin/DirIduHelp");
}

QMap<QString, QString> readContextMap()
{
    QMap<QString, QString> map;
    for (const QString &line : readLines(helpRoot() + "/context.map")) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            map.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return map;
}

QStringList helpPages()
{
    QStringList pages;
    QDirIterator it(helpRoot(), {"*.htm", "*.html"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        pages << QDir(helpRoot()).relativeFilePath(it.next());
    pages.sort();
    return pages;
}

QStringList linksOf(const QString &html)
{
    static const QRegularExpression attribute(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""),
                                              QRegularExpression::CaseInsensitiveOption);
    QStringList links;
    for (auto it = attribute.globalMatch(html); it.hasNext();)
        links << it.next().captured(1);
    return links;
}

bool hasAnchor(const QString &html, const QString &anchor)
{
    const QRegularExpression named(QStringLiteral("(?:name|id)\\s*=\\s*\"%1\"")
                                       .arg(QRegularExpression::escape(anchor)),
                                   QRegularExpression::CaseInsensitiveOption);
    return named.match(html).hasMatch();
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// --- the calibration target ------------------------------------------------------

struct TiffCloser {
    void operator()(TIFF *tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

std::vector<quint16> wedgeSteps(int steps)
{
    std::vector<quint16> values;
    for (int k = 0; k < steps; ++k)
        values.push_back(quint16(qRound((1.0 - double(k) / (steps - 1)) * 65535.0)));
    return values;
}

} // namespace

class TestDemoInstallation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installedCopies_data();
    void installedCopies();
    void printingModel_data();
    void printingModel();
    void modelsCoverTheReader();
    void curveFile_data();
    void curveFile();
    void calibrationTarget();
    void contextMap();
    void helpLinks_data();
    void helpLinks();
    void helpPagesReachable();
    void curvewrightFolder();
    void starterSettings();
    void starterSettingsNeverReplaceSettings_data();
    void starterSettingsNeverReplaceSettings();
    void userGuide();
};

void TestDemoInstallation::initTestCase()
{
    TIFFSetWarningHandler(nullptr);
    QVERIFY2(QFileInfo(InstallRoot).isDir(), qPrintable(InstallRoot + " missing: build demo_installation"));
    QVERIFY2(modelNames().size() >= 4, "fewer than four printing models installed");
}

void TestDemoInstallation::installedCopies_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("installed");
    const QList<QPair<QString, QString>> trees = {
        {SourceDir + "/demo/ppd", "ppd"},
        {SourceDir + "/demo/help/DirIduHelp", "bin/DirIduHelp"},
    };
    for (const auto &[sourceTree, installedTree] : trees) {
        QDirIterator it(sourceTree, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = it.next();
            const QString relative = QDir(sourceTree).relativeFilePath(source);
            QTest::newRow(qPrintable(installedTree + '/' + relative))
                << source << installPath(installedTree + '/' + relative);
        }
    }
}

void TestDemoInstallation::installedCopies()
{
    QFETCH(QString, source);
    QFETCH(QString, installed);
    QFile a(source), b(installed);
    QVERIFY2(b.open(QIODevice::ReadOnly), qPrintable(installed + " is not installed"));
    QVERIFY(a.open(QIODevice::ReadOnly));
    QVERIFY2(a.readAll() == b.readAll(), qPrintable(installed + " differs from its source"));
}

void TestDemoInstallation::printingModel_data()
{
    QTest::addColumn<QString>("model");
    for (const QString &model : modelNames())
        QTest::newRow(qPrintable(model)) << model;
}

void TestDemoInstallation::printingModel()
{
    QFETCH(QString, model);
    static const QRegularExpression modelName(QStringLiteral("^Zorl(R?[0-9]+)$"));
    QVERIFY2(modelName.match(model).hasMatch(), "model name is not Zorl + model code");

    const QString path = installPath("ppd/" + model + ".ppd");
    QVERIFY(readLines(path).value(0).startsWith("*PPD-Adobe:"));
    const PpdFacts facts = scanPpd(path);
    QVERIFY2(facts.problems.isEmpty(), qPrintable(facts.problems.join("; ")));

    QCOMPARE(facts.productName, QStringLiteral("(Zorlane"));
    QVERIFY2(!facts.productVersion.isEmpty() && facts.productVersion >= QStringLiteral("2.1"),
             qPrintable("product version " + facts.productVersion + " would be refused"));
    QVERIFY(!facts.fileVersion.isEmpty());

    for (const char *required : {"*PAGESIZE", "*STPDITHER", "*RESOLUTION", "*MEDIATYPE", "*RIPCURVE1", "*RIPCURVE2"})
        QVERIFY2(facts.groups.contains(required), required);
    QVERIFY2(facts.groups.contains("*INPUTSLOT") != facts.groups.contains("*RIPFEED"),
             "needs exactly one paper feed group");
    for (auto it = facts.groups.cbegin(); it != facts.groups.cend(); ++it) {
        QVERIFY2(!it->names.isEmpty(), qPrintable(it.key() + " has no options"));
        QVERIFY2(it->defaultIndex >= 0,
                 qPrintable(it.key() + " default " + it->defaultText + " is not found before its options"));
        for (const QString &name : it->names)
            QVERIFY2(!name.isEmpty() && !name.contains(u' '), qPrintable(it.key() + " option '" + name + "'"));
    }
    QCOMPARE(facts.groups["*RIPCURVE1"].names.size(), 1);
    QCOMPARE(facts.groups["*RIPCURVE2"].names.size(), 1);

    // Page sizes, paper dimensions and imageable areas belong together by position.
    const QStringList sizes = facts.groups["*PAGESIZE"].names;
    QCOMPARE(facts.dimensionNames, sizes);
    QCOMPARE(facts.areaNames, sizes);

    QCOMPARE(facts.hwMargins.size(), 4);
    for (const QString &margin : facts.hwMargins)
        QVERIFY2(isInteger(margin), qPrintable("*HWMargins value '" + margin + "'"));
    const int hwLeft = facts.hwMargins[0].toInt(), hwBottom = facts.hwMargins[1].toInt();
    const int hwRight = facts.hwMargins[2].toInt(), hwTop = facts.hwMargins[3].toInt();

    static const QRegularExpression twoNumbers(QStringLiteral("^([0-9]+) ([0-9]+)$"));
    static const QRegularExpression fourNumbers(QStringLiteral("^([0-9]+) ([0-9]+) ([0-9]+) ([0-9]+)$"));
    int widest = 0, longest = 0;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const auto dimension = twoNumbers.match(facts.dimensions[i]);
        QVERIFY2(dimension.hasMatch(), qPrintable(sizes[i] + " dimension '" + facts.dimensions[i] + "'"));
        const auto area = fourNumbers.match(facts.areas[i]);
        QVERIFY2(area.hasMatch(), qPrintable(sizes[i] + " area '" + facts.areas[i] + "'"));
        const int w = dimension.captured(1).toInt(), h = dimension.captured(2).toInt();
        const int llx = area.captured(1).toInt(), lly = area.captured(2).toInt();
        const int urx = area.captured(3).toInt(), ury = area.captured(4).toInt();
        QVERIFY2(w > 0 && h > 0, qPrintable(sizes[i]));
        QVERIFY2(llx >= hwLeft && lly >= hwBottom && urx <= w - hwRight && ury <= h - hwTop && llx < urx
                     && lly < ury,
                 qPrintable(sizes[i] + " imageable area outside the paper or its margins"));
        widest = qMax(widest, w);
        longest = qMax(longest, h);
    }

    if (facts.customPageSize) {
        for (const char *which : {"WIDTH", "HEIGHT"}) {
            const QStringList params = facts.customParams.value(which);
            QCOMPARE(params.size(), 4);
            QCOMPARE(params[1].toUpper(), QStringLiteral("POINTS"));
            QVERIFY(isInteger(params[2]) && isInteger(params[3]));
            QVERIFY(params[2].toInt() > 0 && params[2].toInt() <= params[3].toInt());
        }
        QVERIFY(widest <= facts.customParams["WIDTH"][3].toInt());
        QVERIFY(longest <= facts.customParams["HEIGHT"][3].toInt());
        QCOMPARE(facts.maxWidth, facts.customParams["WIDTH"][3]);
        QCOMPARE(facts.maxHeight, facts.customParams["HEIGHT"][3]);
    }
    for (const QString &limit : {facts.maxWidth, facts.maxHeight})
        QVERIFY2(limit.isEmpty() || isInteger(limit), qPrintable("media limit '" + limit + "'"));

    const QStringList inks = expandInkSet(facts.inkSetWords);
    QVERIFY2(!inks.isEmpty() && inks.size() <= 8, "*%INKS gives no ink set of 1 to 8 inks");
    for (const QString &ink : inks) {
        QVERIFY2(KnownInks.contains(ink), qPrintable("unknown ink " + ink));
        QCOMPARE(inks.count(ink), 1);
    }

    // The curve lists offer the built-in curve and the model's curve files.
    const QStringList curves = QDir(installPath("Zorlane/" + model)).entryList({"*.zorl"}, QDir::Files);
    QVERIFY2(curves.size() >= 3, "fewer than three curve files");
    for (const QString &curve : curves) {
        const QString name = QFileInfo(curve).completeBaseName();
        QVERIFY2(!name.contains(u' '), qPrintable(curve + ": a blank would split the tool parameters"));
        QVERIFY(name != facts.groups["*RIPCURVE1"].names.first());
    }
}

void TestDemoInstallation::modelsCoverTheReader()
{
    int inputSlot = 0, ripFeed = 0, black = 0, speed = 0, custom = 0;
    QSet<QString> inkSets;
    const QStringList models = modelNames();
    for (const QString &model : models) {
        const PpdFacts facts = scanPpd(installPath("ppd/" + model + ".ppd"));
        inputSlot += facts.groups.contains("*INPUTSLOT");
        ripFeed += facts.groups.contains("*RIPFEED");
        black += facts.groups.contains("*RIPBLACK");
        speed += facts.groups.contains("*RIPSPEED");
        custom += facts.customPageSize;
        const QString set = facts.inkSetWords.value(0);
        inkSets << (facts.inkSetWords.size() > 1 ? QStringLiteral("list") : set);
    }
    const int all = int(models.size());
    QVERIFY(inputSlot > 0 && ripFeed > 0);
    QVERIFY2(black > 0 && black < all, "black ink choice should be on some models only");
    QVERIFY2(speed > 0 && speed < all, "speed choice should be on some models only");
    QVERIFY(custom > 0);
    for (const char *set : {"CMYK", "PHOTOCMYK7", "PHOTOCMYK8", "list"})
        QVERIFY2(inkSets.contains(set), set);
}

void TestDemoInstallation::curveFile_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("path");
    for (const QString &model : modelNames()) {
        const QDir folder(installPath("Zorlane/" + model));
        for (const QString &file : folder.entryList({"*.zorl"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(model + '/' + file)) << model << folder.filePath(file);
    }
}

void TestDemoInstallation::curveFile()
{
    QFETCH(QString, model);
    QFETCH(QString, path);
    const QStringList lines = readLines(path);
    QVERIFY(!lines.isEmpty());

    // Header: two characters of comment mark, a word, then the channel list.
    const QString afterMark = lines.first().mid(2).trimmed();
    const qsizetype blank = afterMark.indexOf(u' ');
    QVERIFY2(blank > 0, "header holds no channel list");
    const QStringList channels =
        afterMark.mid(blank + 1).split(QRegularExpression(QStringLiteral("[, ]+")), Qt::SkipEmptyParts);
    QCOMPARE(channels, modelInks(model));

    std::vector<int> values;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        bool ok = false;
        const int value = line.toInt(&ok);
        QVERIFY2(ok && value >= 0 && value <= 65535, qPrintable(QString("line %1: '%2'").arg(i + 1).arg(line)));
        values.push_back(value);
    }
    QCOMPARE(qsizetype(values.size()), 256 * channels.size());

    // Paper white takes no ink except gloss; the deepest level is dark.
    int deepestBlack = 0;
    for (qsizetype c = 0; c < channels.size(); ++c) {
        const int atWhite = values[std::size_t(c * 256)];
        const int atBlack = values[std::size_t(c * 256 + 255)];
        if (channels[c] != "GL")
            QVERIFY2(atWhite == 0, qPrintable(channels[c] + " lays ink on paper white"));
        if (BlackInks.contains(channels[c]))
            deepestBlack = qMax(deepestBlack, atBlack);
    }
    QVERIFY2(deepestBlack >= 32768, "no black ink carries the shadows");
}

void TestDemoInstallation::calibrationTarget()
{
    const QString path = installPath("bin/ChannelWedge.tif");
    TiffHandle tif(TIFFOpen(QFile::encodeName(path).constData(), "r"));
    QVERIFY2(tif, qPrintable(path + " does not open"));

    quint32 width = 0, height = 0;
    quint16 bits = 0, samples = 0, photometric = 0, compression = 0, unit = 0;
    float xres = 0, yres = 0;
    QVERIFY(TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width));
    QVERIFY(TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height));
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_COMPRESSION, &compression);
    QVERIFY(TIFFGetField(tif.get(), TIFFTAG_XRESOLUTION, &xres));
    QVERIFY(TIFFGetField(tif.get(), TIFFTAG_YRESOLUTION, &yres));
    QVERIFY(TIFFGetField(tif.get(), TIFFTAG_RESOLUTIONUNIT, &unit));
    QCOMPARE(width, 2400u);
    QCOMPARE(height, 3000u);
    QCOMPARE(bits, quint16(16));
    QCOMPARE(samples, quint16(1));
    QCOMPARE(photometric, quint16(PHOTOMETRIC_MINISBLACK));
    QVERIFY2(compression == COMPRESSION_NONE || compression == COMPRESSION_LZW, "the preview reads none or LZW");
    QVERIFY(!TIFFIsTiled(tif.get()));
    QCOMPARE(unit, quint16(RESUNIT_INCH));
    QCOMPARE(qRound(xres), 300);
    QCOMPARE(qRound(yres), 300);

    // Rows through the wedges hold exactly the levels of a 21-step and a 51-step
    // wedge (paper white and full black included); a ramp row holds many levels.
    const auto coarse = wedgeSteps(21), fine = wedgeSteps(51);
    const QSet<quint16> coarseSet(coarse.begin(), coarse.end()), fineSet(fine.begin(), fine.end());
    int coarseRows = 0, fineRows = 0, rampRows = 0;
    std::vector<quint16> row(width);
    for (quint32 y = 0; y < height; ++y) {
        QVERIFY(TIFFReadScanline(tif.get(), row.data(), y, 0) == 1);
        const QSet<quint16> levels(row.begin(), row.end());
        coarseRows += levels == coarseSet;
        fineRows += levels == fineSet;
        rampRows += levels.size() > 1000;
    }
    QVERIFY2(coarseRows >= 8 * 100, "the eight channel wedges are missing or damaged");
    QVERIFY2(fineRows >= 100, "the fine wedge is missing or damaged");
    QVERIFY2(rampRows >= 100, "the smooth ramp is missing");
}

void TestDemoInstallation::contextMap()
{
    const QMap<QString, QString> map = readContextMap();
    for (const char *key : {"start", "1000", "2000", "4000", "5000", "6000", "7000", "8000", "9000"}) {
        QVERIFY2(map.contains(key), key);
        QVERIFY2(QFileInfo(helpRoot() + '/' + map[key]).isFile(), qPrintable(QString(key) + "=" + map[key]));
    }
    // Topics the program opens by path rather than by number.
    QVERIFY(QFileInfo(helpRoot() + "/html/Configuring.htm").isFile());
    QVERIFY(QFileInfo(helpRoot() + "/html/Curve Creation.htm").isFile());
}

void TestDemoInstallation::helpLinks_data()
{
    QTest::addColumn<QString>("page");
    for (const QString &page : helpPages())
        QTest::newRow(qPrintable(page)) << page;
}

void TestDemoInstallation::helpLinks()
{
    QFETCH(QString, page);
    const QString pagePath = helpRoot() + '/' + page;
    const QString html = readText(pagePath);
    QVERIFY(html.contains("<title>", Qt::CaseInsensitive));
    const QUrl base = QUrl::fromLocalFile(pagePath);
    for (const QString &link : linksOf(html)) {
        const QUrl url(link);
        QVERIFY2(url.isValid(), qPrintable(link));
        if (!url.scheme().isEmpty())
            continue;  // outside the help folder: nothing to check here
        const QUrl target = base.resolved(url);
        const QString targetPath = target.toLocalFile();
        QVERIFY2(QFileInfo(targetPath).isFile(), qPrintable(link + " leads nowhere"));
        QVERIFY2(targetPath.startsWith(helpRoot() + '/'), qPrintable(link + " leaves the help folder"));
        if (url.hasFragment())
            QVERIFY2(hasAnchor(readText(targetPath), url.fragment()), qPrintable(link + ": no such anchor"));
    }
}

void TestDemoInstallation::helpPagesReachable()
{
    const QString start = QDir::cleanPath(helpRoot() + '/' + readContextMap().value("start"));
    QSet<QString> seen{start};
    QStringList pending{start};
    while (!pending.isEmpty()) {
        const QString path = pending.takeFirst();
        const QUrl base = QUrl::fromLocalFile(path);
        for (const QString &link : linksOf(readText(path))) {
            const QUrl url(link);
            if (!url.scheme().isEmpty())
                continue;
            QString target = base.resolved(url).toLocalFile();
            if (!target.endsWith(".htm") || seen.contains(target))
                continue;
            seen << target;
            pending << target;
        }
    }
    for (const QString &page : helpPages())
        QVERIFY2(seen.contains(helpRoot() + '/' + page), qPrintable(page + " cannot be reached from the start page"));
}

void TestDemoInstallation::curvewrightFolder()
{
    QVERIFY(QFileInfo(installPath("Curvewright")).isDir());
}

void TestDemoInstallation::starterSettings()
{
    // Diridu rewrites the file on exit, so only its presence is the build's doing.
    QVERIFY(QFileInfo(installPath("bin/Diridu.ini")).isFile());
    const QStringList lines = readLines(SourceDir + "/demo/settings/Diridu.ini");
    QCOMPARE(lines, (QStringList{"[Printer]", "PrintingModel=Zorl3800"}));
    QVERIFY(modelNames().contains("Zorl3800"));
}

void TestDemoInstallation::starterSettingsNeverReplaceSettings_data()
{
    QTest::addColumn<QByteArray>("existing"); // empty: no settings file yet
    QTest::addColumn<QByteArray>("after");
    const QByteArray starter = "[Printer]\r\nPrintingModel=Zorl3800\r\n";
    QTest::newRow("first build") << QByteArray() << starter;
    QTest::newRow("settings kept") << QByteArray("[Printer]\r\nPrintingModel=ZorlR2400\r\n")
                                   << QByteArray("[Printer]\r\nPrintingModel=ZorlR2400\r\n");
}

void TestDemoInstallation::starterSettingsNeverReplaceSettings()
{
    QFETCH(QByteArray, existing);
    QTemporaryDir dir;
    const QString target = dir.path() + "/bin/Diridu.ini";
    if (!existing.isEmpty()) {
        QVERIFY(QDir().mkpath(dir.path() + "/bin"));
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
    }
    QProcess cmake;
    cmake.start(QStringLiteral(DIRIDU_CMAKE_COMMAND),
                {"-DSOURCE=" + SourceDir + "/demo/settings/Diridu.ini", "-DTARGET=" + target, "-P",
                 SourceDir + "/demo/copy-if-absent.cmake"});
    QVERIFY(cmake.waitForFinished(60000));
    QCOMPARE(cmake.exitCode(), 0);
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTEST(file.readAll(), "after");
}

// The guide is printed from the help pages: a title page, then every page on pages of its own.
void TestDemoInstallation::userGuide()
{
    QFile guide(installPath("Zorlane User Guide.pdf"));
    QVERIFY2(guide.open(QIODevice::ReadOnly), qPrintable(guide.fileName()));
    const QByteArray pdf = guide.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    const qsizetype pages = QString::fromLatin1(pdf).count(page);
    QVERIFY2(pages >= helpPages().size() + 1, qPrintable(QString::number(pages)));
}

QTEST_GUILESS_MAIN(TestDemoInstallation)
#include "tst_demoinstallation.moc"
