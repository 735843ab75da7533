#include "CurveFileReader.h"
#include "CurveText.h"
#include "ZorError.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace curvetext;

namespace {

// "K=Black c=LtCyan X=-": each channel's code and the series it is drawn in.
QString describe(const QList<CurveChannel> &channels)
{
    QStringList parts;
    for (const CurveChannel &channel : channels)
        parts.append(
            QString(QLatin1Char(channel.code)) + u'=' +
            (channel.series ? inkSeriesTitles()[size_t(*channel.series)] : QStringLiteral("-")));
    return parts.join(u' ');
}

// The error message of reading text as a curve file, or empty when it was read.
QString curveError(const QByteArray &text)
{
    try {
        readCurveChannels(text, QStringLiteral("T.zorl"));
    } catch (const ZorError &error) {
        return error.message();
    }
    return {};
}

QString linearizationError(const QByteArray &text)
{
    try {
        readLinearization(text, QStringLiteral("T.out"));
    } catch (const ZorError &error) {
        return error.message();
    }
    return {};
}

double roundedTo2(double value)
{
    return std::round(value * 100.0) / 100.0;
}

int index(InkSeries series)
{
    return int(series);
}

} // namespace

class TestCurveFileReader : public QObject
{
    Q_OBJECT

private slots:
    void channelsOfHeader_data();
    void channelsOfHeader();
    void headerErrors_data();
    void headerErrors();
    void valuesBecomePercentPoints();
    void commentsAndEmptyLinesKeepTheLevels();
    void channelCutShortStaysDrawn();
    void dataValues_data();
    void dataValues();
    void valueBeyondTheBlocks();
    void allZeroChannelsSwitchedOff_data();
    void allZeroChannelsSwitchedOff();
    void twoNamesOfOneSeries_data();
    void twoNamesOfOneSeries();
    void linearization_data();
    void linearization();
    void linearizationErrors_data();
    void linearizationErrors();
    void filesAndCaption();
    void fileErrors_data();
    void fileErrors();
    void graphOutputReadFirst();
    void everyDemoCurveReads();
};

void TestCurveFileReader::channelsOfHeader_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QString>("channels");
    QTest::newRow("eight grey and colour inks")
        << QByteArray("# ZORLANE K,C,M,Y,LC,LM,LK,LLK")
        << "K=Black C=Cyan M=Magenta Y=Yellow c=LtCyan m=LtMagenta k=LtBlack l=Lt LtBlack";
    QTest::newRow("matte black is black")
        << QByteArray("# ZORLANE MK,C,M,Y,R,B,PK,GL")
        << "K=Black C=Cyan M=Magenta Y=Yellow R=Red B=Blue P=Photo Black g=Gloss";
    QTest::newRow("green") << QByteArray("# Z G") << "G=Green";
    QTest::newRow("blanks as separators") << QByteArray("#\tZORLANE\t K  C ,, M")
                                          << "K=Black "
                                             "C=Cyan "
                                             "M=Magenta";
    QTest::newRow("marks not read") << QByteArray("KC word Y") << "Y=Yellow";
    QTest::newRow("word right after the marks") << QByteArray("#ZORLANE K") << "K=Black";
    QTest::newRow("long name takes the next character")
        << QByteArray("# Z MKC,M") << "K=Black M=Magenta";
    QTest::newRow("three-letter name takes the next character")
        << QByteArray("# Z LLKY,C") << "l=Lt LtBlack C=Cyan";
    QTest::newRow("long name at the line end") << QByteArray("# Z C,LLK") << "C=Cyan l=Lt LtBlack";
    QTest::newRow("unknown names read, not drawn")
        << QByteArray("# Z X,K,c,P") << "X=- K=Black c=- P=-";
    QTest::newRow("lower case is no name") << QByteArray("# Z lc") << "l=- c=-";
    QTest::newRow("Windows line end") << QByteArray("# ZORLANE K,C\r\n") << "K=Black C=Cyan";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF# ZORLANE K,C") << "K=Black C=Cyan";
    QTest::newRow("eight is the most")
        << QByteArray("# Z 1 2 3 4 5 6 7 8") << "1=- 2=- 3=- 4=- 5=- 6=- 7=- 8=-";
}

void TestCurveFileReader::channelsOfHeader()
{
    QFETCH(QByteArray, header);
    QFETCH(QString, channels);
    QCOMPARE(describe(readCurveChannels(header, QStringLiteral("T.zorl"))), channels);
}

void TestCurveFileReader::headerErrors_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const QString notHeader = QStringLiteral(
        "Line 1 of \"T.zorl\" is not a curve file header: it needs two comment characters, a "
        "word and the list of ink channels.");
    const QString tooMany = QStringLiteral("Line 1 of \"T.zorl\" lists more than 8 ink channels.");
    QTest::newRow("empty file") << QByteArray() << notHeader;
    QTest::newRow("marks only") << QByteArray("#\n0\n") << notHeader;
    QTest::newRow("no word") << QByteArray("#   \n") << notHeader;
    QTest::newRow("word without list") << QByteArray("# ZORLANE\n0\n") << notHeader;
    QTest::newRow("list of separators") << QByteArray("# ZORLANE , ,,\n") << notHeader;
    QTest::newRow("header after an empty line") << QByteArray("\n# ZORLANE K\n") << notHeader;
    QTest::newRow("nine names") << QByteArray("# ZORLANE K,C,M,Y,LC,LM,LK,LLK,G\n") << tooMany;
    QTest::newRow("nine characters") << QByteArray("# Z 123456789") << tooMany;
}

void TestCurveFileReader::headerErrors()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QCOMPARE(curveError(text), error);
}

void TestCurveFileReader::valuesBecomePercentPoints()
{
    const auto channels = readCurveChannels(curve("K", {ramp(65535)}), QStringLiteral("T.zorl"));
    QCOMPARE(channels.size(), 1);
    const QList<QPointF> &points = channels[0].points;
    QCOMPARE(points.size(), 256);
    QCOMPARE(points[0], QPointF(0, 0));
    QCOMPARE(points[255].x(), 100.0);
    QCOMPARE(roundedTo2(points[255].y()), 99.94);
    QCOMPARE(points[51].x(), 20.0);
    QCOMPARE(points[51].y(), (51 * 65535 / 255) / 65575.0 * 100.0);
}

void TestCurveFileReader::commentsAndEmptyLinesKeepTheLevels()
{
    QByteArray text = "# ZORLANE K,C\n";
    for (int level = 0; level < 256; ++level) {
        text += QByteArray::number(level) + '\n';
        if (level % 50 == 0)
            text += "\n# a comment\n  \n";
    }
    text += "#C\n\n";
    for (int level = 0; level < 256; ++level)
        text += QByteArray::number(1000 + level) + "\r\n";
    const auto channels = readCurveChannels(text, QStringLiteral("T.zorl"));
    QCOMPARE(channels.size(), 2);
    for (int c = 0; c < 2; ++c) {
        QCOMPARE(channels[c].points.size(), 256);
        for (int level : {0, 1, 50, 51, 255}) {
            QCOMPARE(channels[c].points[level].x(), level / 255.0 * 100.0);
            QCOMPARE(channels[c].points[level].y(), (c * 1000 + level) / 65575.0 * 100.0);
        }
    }
}

void TestCurveFileReader::channelCutShortStaysDrawn()
{
    QByteArray text = curve("K", {ramp(65535)}) + "0\n0\n0\n";
    text.replace("# ZORLANE K", "# ZORLANE K,C");
    const auto channels = readCurveChannels(text, QStringLiteral("T.zorl"));
    QCOMPARE(channels[1].points.size(), 3);
    QCOMPARE(channels[1].amountSum, 0);
    QVERIFY(channels[1].drawn());

    CurveGraphs graphs;
    QTemporaryDir dir;
    const QString path = write(dir.filePath("Short.zorl"), text);
    graphs = readCurveGraphs(path, {});
    QVERIFY(graphs.inkShown[index(InkSeries::Cyan)]);
    QCOMPARE(graphs.inkPoints[index(InkSeries::Cyan)].size(), 3);
}

void TestCurveFileReader::dataValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("amount");    // when read
    QTest::addColumn<QString>("error"); // else
    QTest::newRow("plain") << QByteArray("65535") << 65535 << QString();
    QTest::newRow("blanks around") << QByteArray(" \t42 ") << 42 << QString();
    QTest::newRow("plus sign") << QByteArray("+7") << 7 << QString();
    QTest::newRow("negative") << QByteArray("-3") << -3 << QString();
    QTest::newRow("largest integer") << QByteArray("2147483647") << 2147483647 << QString();
    const auto bad = [](const char *text) {
        return QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(text));
    };
    QTest::newRow("letters") << QByteArray("12a") << 0 << bad("12a");
    QTest::newRow("decimal point") << QByteArray("1.5") << 0 << bad("1.5");
    QTest::newRow("hexadecimal") << QByteArray("0x10") << 0 << bad("0x10");
    QTest::newRow("too large") << QByteArray("2147483648") << 0 << bad("2147483648");
    QTest::newRow("two signs") << QByteArray("+-5") << 0 << bad("+-5");
    QTest::newRow("sign alone") << QByteArray("-") << 0 << bad("-");
    QTest::newRow("two numbers") << QByteArray("1 2") << 0 << bad("1 2");
    QTest::newRow("comment after a blank") << QByteArray(" # no") << 0 << bad(" # no");
    QTest::newRow("control character") << QByteArray("5\f") << 0 << bad("5\f");
    QTest::newRow("long line shortened")
        << QByteArray(200, '7') << 0 << bad(QByteArray(64, '7') + "...");
}

void TestCurveFileReader::dataValues()
{
    QFETCH(QByteArray, line);
    QFETCH(int, amount);
    QFETCH(QString, error);
    const QByteArray text = "# ZORLANE K\n0\n" + line + "\n";
    QCOMPARE(curveError(text), error);
    if (error.isEmpty()) {
        const auto channels = readCurveChannels(text, QStringLiteral("T.zorl"));
        QCOMPARE(channels[0].points[1].y(), amount / 65575.0 * 100.0);
        QCOMPARE(channels[0].amountSum, amount);
    }
}

void TestCurveFileReader::valueBeyondTheBlocks()
{
    const QByteArray complete = curve("K,C", {ramp(100), ramp(200)});
    QVERIFY(curveError(complete + "# trailing comment\n\n").isEmpty());
    const int extraLine = int(complete.count('\n')) + 2;
    QCOMPARE(curveError(complete + "\n7\n"),
             QStringLiteral("Line %1 of \"T.zorl\" holds a value after the 256 values of each "
                            "listed channel.")
                 .arg(extraLine));
}

void TestCurveFileReader::allZeroChannelsSwitchedOff_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("legend");
    QTest::newRow("eight with one all zero")
        << curve("K,C,M,Y,LC,LM,LK,LLK", {ramp(60000), ramp(100), ramp(200), ramp(300), zeros(),
                                          ramp(500), ramp(600), ramp(700)})
        << QStringList{"Cyan", "Magenta", "Yellow", "Black", "LtMagenta", "LtBlack", "Lt LtBlack"}
        << true;
    QTest::newRow("one line remains")
        << curve("K,C,M", {zeros(), ramp(9000), zeros()}) << QStringList{"Cyan"} << false;
    QTest::newRow("one ink") << curve("K", {ramp(65535)}) << QStringList{"Black"} << false;
    QTest::newRow("matte black in Black")
        << curve("MK,C,M,Y,R,B,PK,GL",
                 {ramp(65535), ramp(1), ramp(2), ramp(3), ramp(4), ramp(5), ramp(6), ramp(7)})
        << QStringList{"Cyan", "Magenta", "Yellow", "Black", "Gloss", "Red", "Blue", "Photo Black"}
        << true;
    QTest::newRow("unknown channel never shown")
        << curve("X,K", {ramp(65535), ramp(65535)}) << QStringList{"Black"} << false;
    QTest::newRow("values that cancel out")
        << curve("K,C", {block([](int level) { return level % 2 ? 5 : -5; }), ramp(9)})
        << QStringList{"Cyan"} << false;
}

void TestCurveFileReader::allZeroChannelsSwitchedOff()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, shown);
    QFETCH(bool, legend);
    QTemporaryDir dir;
    const CurveGraphs graphs = readCurveGraphs(write(dir.filePath("C.zorl"), text), {});
    QStringList actual;
    for (int i = 0; i < InkSeriesCount; ++i) {
        if (graphs.inkShown[size_t(i)]) {
            actual.append(inkSeriesTitles()[size_t(i)]);
            QCOMPARE(graphs.inkPoints[size_t(i)].size(), 256);
        } else {
            QVERIFY(graphs.inkPoints[size_t(i)].isEmpty());
        }
    }
    QCOMPARE(actual, shown);
    QCOMPARE(graphs.shownInkCount(), shown.size());
    QCOMPARE(graphs.legendVisible(), legend);
}

void TestCurveFileReader::twoNamesOfOneSeries_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("points");
    QTest::newRow("second all zero") << curve("K,MK", {ramp(65535), zeros()}) << 256;
    QTest::newRow("first all zero") << curve("K,MK", {zeros(), ramp(65535)}) << 256;
    QTest::newRow("both drawn") << curve("K,MK", {ramp(65535), ramp(100)}) << 512;
}

// Whichever comes first, an all-zero one neither hides the other nor adds a flat line.
void TestCurveFileReader::twoNamesOfOneSeries()
{
    QFETCH(QByteArray, text);
    QFETCH(int, points);
    QTemporaryDir dir;
    const CurveGraphs graphs = readCurveGraphs(write(dir.filePath("C.zorl"), text), {});
    QVERIFY(graphs.inkShown[index(InkSeries::Black)]);
    QCOMPARE(graphs.inkPoints[index(InkSeries::Black)].size(), points);
    QCOMPARE(graphs.inkPoints[index(InkSeries::Black)].first().y(), 0.0);
}

void TestCurveFileReader::linearization_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QList<QPointF>>("points");
    const QList<QPointF> two{{0, 0}, {100, 65535 / 65575.0 * 100.0}};
    QTest::newRow("no marker") << QByteArray("0 0\n255 65535\n") << false << QList<QPointF>();
    QTest::newRow("ends at the end")
        << QByteArray("report\nx y z\nLINEARIZE_CURVE\n0 0\n255 65535") << true << two;
    QTest::newRow("ends at an empty line")
        << QByteArray("LINEARIZE_CURVE\n0 0\n255 65535\n\n9 9\n") << true << two;
    QTest::newRow("ends at a blank line")
        << QByteArray("LINEARIZE_CURVE\n0 0\n255 65535\n \t\nnot read\n") << true << two;
    QTest::newRow("ends at a comment")
        << QByteArray("LINEARIZE_CURVE\r\n0 0\r\n255\t65535\r\n# end\r\nabc\r\n") << true << two;
    QTest::newRow("marker starts the line")
        << QByteArray("LINEARIZE_CURVE 1.0\n 51  13115 \n") << true
        << QList<QPointF>{{20, 13115 / 65575.0 * 100.0}};
    QTest::newRow("indented marker does not count")
        << QByteArray(" LINEARIZE_CURVE\n0 0\n") << false << QList<QPointF>();
    QTest::newRow("empty file") << QByteArray() << false << QList<QPointF>();
}

void TestCurveFileReader::linearization()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, found);
    QFETCH(QList<QPointF>, points);
    const Linearization result = readLinearization(text, QStringLiteral("T.out"));
    QCOMPARE(result.found, found);
    QCOMPARE(result.points, points);
}

void TestCurveFileReader::linearizationErrors_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const QString notTwo =
        QStringLiteral("Line %1 of \"T.out\" does not hold two numbers, an input "
                       "level and an output amount.");
    QTest::newRow("one number") << QByteArray("LINEARIZE_CURVE\n0 0\n5\n") << notTwo.arg(3);
    QTest::newRow("three numbers") << QByteArray("x\nLINEARIZE_CURVE\n1 2 3\n") << notTwo.arg(3);
    QTest::newRow("second marker")
        << QByteArray("LINEARIZE_CURVE\nLINEARIZE_CURVE\n") << notTwo.arg(2);
    QTest::newRow("not a number") << QByteArray("LINEARIZE_CURVE\n0 zero\n")
                                  << QStringLiteral("'zero' is not a valid integer value");
    QTest::newRow("not an integer") << QByteArray("LINEARIZE_CURVE\n0.5 1\n")
                                    << QStringLiteral("'0.5' is not a valid integer value");
}

void TestCurveFileReader::linearizationErrors()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QCOMPARE(linearizationError(text), error);
}

void TestCurveFileReader::filesAndCaption()
{
    QTemporaryDir dir;
    const QString curvePath =
        write(dir.filePath("Zorlane/M/Warm Tone.zorl"), curve("K,C", {ramp(65535), ramp(3000)}));
    const QString outputPath =
        write(dir.filePath("Curvewright/Warm.out"), "LINEARIZE_CURVE\n0 0\n128 30000\n255 65000\n");
    CurveGraphs graphs = readCurveGraphs(curvePath, outputPath);
    QCOMPARE(graphs.caption, QStringLiteral("Graphs for Warm Tone.zorl"));
    QVERIFY(graphs.linearizationFound);
    QCOMPARE(graphs.density.size(), 3);
    QCOMPARE(graphs.shownInkCount(), 2);

    graphs = readCurveGraphs(curvePath, {});
    QVERIFY(!graphs.linearizationFound);
    QVERIFY(graphs.density.isEmpty());
}

void TestCurveFileReader::fileErrors_data()
{
    QTest::addColumn<QString>("curveName");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<QString>("errorStart");
    QTest::newRow("missing curve file")
        << "Missing.zorl" << QString() << "Cannot open file \"%1/Missing.zorl\". No such file";
    QTest::newRow("missing graph output") << "Good.zorl"
                                          << "Missing.out"
                                          << "Cannot open file \"%1/Missing.out\". No such file";
    QTest::newRow("folder as curve file")
        << "Folder" << QString() << "Cannot open file \"%1/Folder\".";
    QTest::newRow("too large") << "Huge.zorl" << QString()
                               << "File \"%1/Huge.zorl\" is larger than 16 MB";
}

void TestCurveFileReader::fileErrors()
{
    QFETCH(QString, curveName);
    QFETCH(QString, outputName);
    QFETCH(QString, errorStart);
    QTemporaryDir dir;
    write(dir.filePath("Good.zorl"), curve("K", {ramp(1)}));
    QVERIFY(QDir(dir.path()).mkdir("Folder"));
    QByteArray huge = curve("K", {ramp(1)});
    huge += QByteArray(16 * 1024 * 1024, '#');
    write(dir.filePath("Huge.zorl"), huge);
    QString message;
    try {
        readCurveGraphs(dir.path() + '/' + curveName,
                        outputName.isEmpty() ? QString() : dir.filePath(outputName));
    } catch (const ZorError &error) {
        message = error.message();
    }
    QVERIFY2(message.startsWith(errorStart.arg(dir.path())), qPrintable(message));
}

// The graph output comes first, so its error is the one reported when both are bad.
void TestCurveFileReader::graphOutputReadFirst()
{
    QTemporaryDir dir;
    const QString badCurve = write(dir.filePath("Bad.zorl"), "# ZORLANE K\nabc\n");
    const QString badOutput = write(dir.filePath("Bad.out"), "LINEARIZE_CURVE\nxyz 1\n");
    try {
        readCurveGraphs(badCurve, badOutput);
        QFAIL("read without error");
    } catch (const ZorError &error) {
        QCOMPARE(error.message(), QStringLiteral("'xyz' is not a valid integer value"));
    }
}

// The installation's own curves: every one reads, and each of its inks is drawn.
void TestCurveFileReader::everyDemoCurveReads()
{
    QDirIterator it(QStringLiteral(DIRIDU_DEMO_INSTALL "/Zorlane"), {QStringLiteral("*.zorl")},
                    QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto channels = readCurveChannels(file.readAll(), it.fileName());
        const CurveGraphs graphs = readCurveGraphs(path, {});
        std::array<bool, InkSeriesCount> drawn{};
        for (const CurveChannel &channel : channels) {
            QVERIFY2(channel.series, qPrintable(path));
            QCOMPARE(channel.points.size(), 256);
            drawn[size_t(*channel.series)] = drawn[size_t(*channel.series)] || channel.drawn();
        }
        QCOMPARE(graphs.inkShown, drawn);
        QVERIFY2(graphs.shownInkCount() >= 1, qPrintable(path));
        ++files;
    }
    QVERIFY(files >= 20);
}

QTEST_APPLESS_MAIN(TestCurveFileReader)
#include "tst_curvefilereader.moc"
