#include "InkDescription.h"
#include "InkTestModels.h"
#include "ZorError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace inktest;

// Writing ink descriptions, and files that come back as they were written.
class TestInkDescriptionWrite : public QObject
{
    Q_OBJECT

private slots:
    void newDescription();
    void curveName_data();
    void curveName();
    void grayListLargestFirst();
    void grayListWithoutValuesKeepsSlotOrder();
    void values_data();
    void values();
    void slotCurvesAndUnused();
    void linearization_data();
    void linearization();
    void notes();
    void fileLinesComeBack_data();
    void fileLinesComeBack();
    void savedTwiceIsIdentical();
    void unwritableFileRaisesError();
};

namespace {

QByteArray textOf(const InkDescription &description, const QLocale &locale = QLocale::c())
{
    return inkDescriptionText(description, QStringLiteral("/some/folder/Warm tone.zidf"), locale);
}

// The lines of text between the first one starting with from and the first one starting
// with to (both included).
QByteArray linesBetween(const QByteArray &text, const QByteArray &from, const QByteArray &to)
{
    const qsizetype start = text.indexOf(from);
    const qsizetype end = text.indexOf("\r\n", text.indexOf(to, start));
    return start < 0 || end < 0 ? QByteArray() : text.mid(start, end + 2 - start);
}

} // namespace

void TestInkDescriptionWrite::newDescription()
{
    const QByteArray expected = crlf("PRINTER=Four CMYK\n"
                                     "CURVE_NAME=Warm tone\n"
                                     "GRAPH_CURVE=YES\n"
                                     "N_OF_INKS=4\n"
                                     "DEFAULT_INK_LIMIT=85\n"
                                     "BOOST_K=100\n"
                                     "LIMIT_K=\nLIMIT_C=\nLIMIT_M=\nLIMIT_Y=\n"
                                     "N_OF_GRAY_PARTS=1\n"
                                     "GRAY_INK_1=K\nGRAY_VAL_1=100\n"
                                     "GRAY_HIGHLIGHT=10\nGRAY_SHADOW=10\nGRAY_OVERLAP=\n"
                                     "GRAY_GAMMA=1\nGRAY_CURVE=\n"
                                     "N_OF_TONER_PARTS=0\n"
                                     "TONER_HIGHLIGHT=10\nTONER_SHADOW=10\nTONER_GAMMA=1\n"
                                     "TONER_CURVE=\n"
                                     "N_OF_TONER_2_PARTS=0\n"
                                     "TONER_2_HIGHLIGHT=10\nTONER_2_SHADOW=10\nTONER_2_GAMMA=1\n"
                                     "TONER_2_CURVE=\n"
                                     "N_OF_UNUSED=3\n"
                                     "UNUSED_INK_1=C\nUNUSED_INK_2=M\nUNUSED_INK_3=Y\n");
    QCOMPARE(textOf(fresh(QStringLiteral("Four CMYK"))), expected);
}

void TestInkDescriptionWrite::curveName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("extension") << "/a/b/Warm tone.zidf" << QByteArray("CURVE_NAME=Warm tone\r\n");
    QTest::newRow("last extension only") << "/a/x.y.txt" << QByteArray("CURVE_NAME=x.y\r\n");
    QTest::newRow("no dot") << "/a.b/plain" << QByteArray("CURVE_NAME=plain\r\n");
}

void TestInkDescriptionWrite::curveName()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, line);
    QVERIFY(inkDescriptionText(fresh(QStringLiteral("Four CMYK")), fileName).contains(line));
}

void TestInkDescriptionWrite::grayListLargestFirst()
{
    InkDescription d = fresh(QStringLiteral("Seven PHOTOCMYK7"));
    // Slots K C M Y LC LM LK.
    d.inkSlots[4].use = InkUse::GrayInk;
    d.inkSlots[4].density = QStringLiteral("15");
    d.inkSlots[6].use = InkUse::GrayInk;
    d.inkSlots[6].density = QStringLiteral("40");
    d.inkSlots[1].use = InkUse::Toner;
    d.inkSlots[1].density = QStringLiteral("20");
    d.inkSlots[2].use = InkUse::Toner;
    d.inkSlots[2].density = QStringLiteral("20");
    d.inkSlots[3].use = InkUse::Toner;
    d.inkSlots[3].density = QStringLiteral("30");
    const QByteArray text = textOf(d);
    QCOMPARE(linesBetween(text, "N_OF_GRAY_PARTS", "GRAY_VAL_3"),
             crlf("N_OF_GRAY_PARTS=3\nGRAY_INK_1=K\nGRAY_VAL_1=100\nGRAY_INK_2=LK\n"
                  "GRAY_VAL_2=40\nGRAY_INK_3=LC\nGRAY_VAL_3=15\n"));
    // Equal densities keep slot order.
    QCOMPARE(linesBetween(text, "N_OF_TONER_PARTS", "TONER_VAL_3"),
             crlf("N_OF_TONER_PARTS=3\nTONER_INK_1=Y\nTONER_VAL_1=30\nTONER_INK_2=C\n"
                  "TONER_VAL_2=20\nTONER_INK_3=M\nTONER_VAL_3=20\n"));
}

// Densities written empty (negative or not numbers) keep slot order, so the text read back
// and written again is the same.
void TestInkDescriptionWrite::grayListWithoutValuesKeepsSlotOrder()
{
    InkDescription d = fresh(QStringLiteral("Seven PHOTOCMYK7"));
    // Slots K C M Y LC LM LK; K is a gray ink of the new description.
    d.inkSlots[0].density = QStringLiteral("-50");
    d.inkSlots[6].use = InkUse::GrayInk;
    d.inkSlots[6].density = QString();
    const QByteArray text = textOf(d);
    const QByteArray expected =
        crlf("N_OF_GRAY_PARTS=2\nGRAY_INK_1=K\nGRAY_VAL_1=\nGRAY_INK_2=LK\nGRAY_VAL_2=\n");
    QCOMPARE(linesBetween(text, "N_OF_GRAY_PARTS", "GRAY_VAL_2"), expected);
}

void TestInkDescriptionWrite::values_data()
{
    QTest::addColumn<QString>("density");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QByteArray>("line");
    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("whole") << "100" << c << QByteArray("GRAY_VAL_1=100\r\n");
    QTest::newRow("one decimal") << "33.3" << c << QByteArray("GRAY_VAL_1=33.3\r\n");
    QTest::newRow("trailing zeros") << "12.50" << c << QByteArray("GRAY_VAL_1=12.5\r\n");
    QTest::newRow("rounded to 4 decimals")
        << "33.333333" << c << QByteArray("GRAY_VAL_1=33.3333\r\n");
    QTest::newRow("rounded up") << "2.99999" << c << QByteArray("GRAY_VAL_1=3\r\n");
    QTest::newRow("comma locale") << "12,5" << german << QByteArray("GRAY_VAL_1=12,5\r\n");
    QTest::newRow("point in comma locale") << "12.5" << german << QByteArray("GRAY_VAL_1=\r\n");
    QTest::newRow("no group separator")
        << "12345" << QLocale(QLocale::English) << QByteArray("GRAY_VAL_1=12345\r\n");
    QTest::newRow("not a number") << "abc" << c << QByteArray("GRAY_VAL_1=\r\n");
    QTest::newRow("empty") << "" << c << QByteArray("GRAY_VAL_1=\r\n");
    QTest::newRow("negative") << "-5" << c << QByteArray("GRAY_VAL_1=\r\n");
    QTest::newRow("beyond float") << "1e300" << c << QByteArray("GRAY_VAL_1=\r\n");
}

void TestInkDescriptionWrite::values()
{
    QFETCH(QString, density);
    QFETCH(QLocale, locale);
    QFETCH(QByteArray, line);
    InkDescription d = fresh(QStringLiteral("Four CMYK"));
    d.inkSlots[0].density = density;
    const QByteArray text = textOf(d, locale);
    QVERIFY2(text.contains("\r\n" + line), text.constData());
}

void TestInkDescriptionWrite::slotCurvesAndUnused()
{
    InkDescription d = fresh(QStringLiteral("Six PHOTOCMYK"));
    // Slots K C M Y LC LM.
    d.inkSlots[1].use = InkUse::CopyCurveFrom;
    d.inkSlots[1].copySource = QStringLiteral("K");
    d.inkSlots[2].use = InkUse::LoadCurve;
    d.inkSlots[2].curveData = QStringLiteral("0;0 50;40 100;100 ");
    d.inkSlots[4].use = InkUse::LoadCurve;
    d.inkSlots[4].curveSource = CurveSource::FileName;
    d.inkSlots[4].curveData = QStringLiteral("C:/curves/lc.acv");
    d.inkSlots[5].limit = QStringLiteral("40");
    // A slot beyond the model is not written.
    d.inkSlots[6].ink = QStringLiteral("LK");
    d.inkSlots[6].use = InkUse::CopyCurveFrom;
    const QByteArray text = textOf(d);
    QVERIFY(text.contains("\r\nLIMIT_LM=40\r\n"));
    QVERIFY(!text.contains("LK"));
    QVERIFY(text.endsWith(crlf("N_OF_UNUSED=2\nUNUSED_INK_1=Y\nUNUSED_INK_2=LM\n"
                               "COPY_CURVE_C=K\nCURVE_M=\"0;0 50;40 100;100 \"\n"
                               "CURVE_LC=C:/curves/lc.acv\n")));
}

void TestInkDescriptionWrite::linearization_data()
{
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("reread");
    QTest::newRow("three") << QStringList{"12.5", "30", "47.25"}
                           << QByteArray("LINEARIZE=\"12.5 30 47.25 \"\r\n")
                           << QStringList{"12.5", "30", "47.25"};
    QTest::newRow("first empty") << QStringList{"", "", "3"} << QByteArray() << QStringList();
    QTest::newRow("gap") << QStringList{"1", "", "3"} << QByteArray("LINEARIZE=\"1 3 \"\r\n")
                         << QStringList{"1", "3"};
    QStringList all;
    for (int i = 1; i <= LinearizationValueCount; ++i)
        all << QString::number(i);
    QByteArray allLine = "LINEARIZE=\"" + all.join(u' ').toLatin1() + " \"\r\n";
    QTest::newRow("all") << all << allLine << all;
}

void TestInkDescriptionWrite::linearization()
{
    QFETCH(QStringList, boxes);
    QFETCH(QByteArray, line);
    QFETCH(QStringList, reread);
    InkDescription d = fresh(QStringLiteral("Four CMYK"));
    for (qsizetype i = 0; i < boxes.size(); ++i)
        d.linearization[size_t(i)] = boxes[i];
    const QByteArray text = textOf(d);
    if (line.isEmpty())
        QVERIFY(!text.contains("LINEARIZE"));
    else
        QVERIFY(text.endsWith("\r\n" + line));
    InkDescription back = fresh(QStringLiteral("Four CMYK"));
    QCOMPARE(readInkDescription(text, back, models(), inkSetOf, QLocale::c()).errors,
             QStringList());
    for (int i = 0; i < LinearizationValueCount; ++i)
        QCOMPARE(back.linearization[size_t(i)], reread.value(i));
}

void TestInkDescriptionWrite::notes()
{
    InkDescription d = fresh(QStringLiteral("Four CMYK"));
    d.notes = QStringList{"   indented", "", QString::fromLatin1("caf\xe9 \xff"), "two\nlines"};
    const QByteArray text = textOf(d);
    QVERIFY(text.startsWith(crlf("#Notes    indented\n#Notes \n#Notes caf\xe9 \xff\n"
                                 "#Notes two\n#Notes lines\nPRINTER=")));
    InkDescription back = fresh(QStringLiteral("Four CMYK"));
    readInkDescription(text, back, models(), inkSetOf, QLocale::c());
    QCOMPARE(back.notes,
             (QStringList{"indented", "", QString::fromLatin1("caf\xe9 \xff"), "two", "lines"}));
}

// Files as the editor writes them are read and written back byte for byte.
void TestInkDescriptionWrite::fileLinesComeBack_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("eight inks") << crlf(
        "#Notes Baryta paper, \xe9t\xe9 2026\n"
        "#Notes \n"
        "PRINTER=Listed K,C,M,Y,LC,LM,LK,LLK\n"
        "CURVE_NAME=Warm tone\n"
        "GRAPH_CURVE=YES\n"
        "N_OF_INKS=8\n"
        "DEFAULT_INK_LIMIT=62.5\n"
        "BOOST_K=90\n"
        "LIMIT_K=\nLIMIT_C=0\nLIMIT_M=\nLIMIT_Y=35\nLIMIT_LC=\nLIMIT_LM=\nLIMIT_LK=50\n"
        "LIMIT_LLK=40\n"
        "N_OF_GRAY_PARTS=3\n"
        "GRAY_INK_1=K\nGRAY_VAL_1=100\nGRAY_INK_2=LK\nGRAY_VAL_2=33.3333\nGRAY_INK_3=LLK\n"
        "GRAY_VAL_3=\n"
        "GRAY_HIGHLIGHT=12\nGRAY_SHADOW=8\nGRAY_OVERLAP=20\nGRAY_GAMMA=1.1\n"
        "GRAY_CURVE=gray adjust.acv\n"
        "N_OF_TONER_PARTS=1\n"
        "TONER_INK_1=Y\nTONER_VAL_1=5\n"
        "TONER_HIGHLIGHT=10\nTONER_SHADOW=10\nTONER_GAMMA=1\nTONER_CURVE=\n"
        "N_OF_TONER_2_PARTS=1\n"
        "TONER_2_INK_1=M\nTONER_2_VAL_1=2.5\n"
        "TONER_2_HIGHLIGHT=10\nTONER_2_SHADOW=300\nTONER_2_GAMMA=0.1\nTONER_2_CURVE=/x/t2.raw\n"
        "N_OF_UNUSED=1\n"
        "UNUSED_INK_1=C\n"
        "COPY_CURVE_LC=LK\n"
        "CURVE_LM=\"0;0 50;40 100;100 \"\n"
        "LINEARIZE=\"12.5 30 47.25 \"\n");
    QTest::newRow("eight inks of a set") << crlf(
        "PRINTER=Eight PHOTOCMYK8\n"
        "CURVE_NAME=Warm tone\n"
        "GRAPH_CURVE=YES\n"
        "N_OF_INKS=8\n"
        "DEFAULT_INK_LIMIT=100\n"
        "BOOST_K=100\n"
        "LIMIT_MK=80\nLIMIT_C=\nLIMIT_M=\nLIMIT_Y=\nLIMIT_R=\nLIMIT_B=\nLIMIT_PK=\nLIMIT_GL=\n"
        "N_OF_GRAY_PARTS=2\n"
        "GRAY_INK_1=MK\nGRAY_VAL_1=100\nGRAY_INK_2=PK\nGRAY_VAL_2=100\n"
        "GRAY_HIGHLIGHT=10\nGRAY_SHADOW=10\nGRAY_OVERLAP=\nGRAY_GAMMA=1\nGRAY_CURVE=\n"
        "N_OF_TONER_PARTS=0\n"
        "TONER_HIGHLIGHT=10\nTONER_SHADOW=10\nTONER_GAMMA=1\nTONER_CURVE=\n"
        "N_OF_TONER_2_PARTS=0\n"
        "TONER_2_HIGHLIGHT=10\nTONER_2_SHADOW=10\nTONER_2_GAMMA=1\nTONER_2_CURVE=\n"
        "N_OF_UNUSED=4\n"
        "UNUSED_INK_1=M\nUNUSED_INK_2=R\nUNUSED_INK_3=B\nUNUSED_INK_4=GL\n"
        "COPY_CURVE_C=MK\n"
        "COPY_CURVE_Y=PK\n");
}

void TestInkDescriptionWrite::fileLinesComeBack()
{
    QFETCH(QByteArray, text);
    InkDescription d = fresh(QStringLiteral("Four CMYK"));
    const InkDescriptionLoad load = readInkDescription(text, d, models(), inkSetOf, QLocale::c());
    QCOMPARE(load.errors, QStringList());
    QVERIFY(load.unchanged);
    QCOMPARE(textOf(d), text);
}

void TestInkDescriptionWrite::savedTwiceIsIdentical()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Cool.zidf"));
    InkDescription d = fresh(QStringLiteral("Seven PHOTOCMYK7"));
    d.notes = QStringList{"first  ", "", QString::fromLatin1("\xb5m")};
    d.inkSlots[6].use = InkUse::GrayInk;
    d.inkSlots[6].density = QStringLiteral("33.33333");
    d.inkSlots[4].use = InkUse::LoadCurve;
    d.inkSlots[4].curveData = QStringLiteral("0;0 100;80 ");
    d.inkSlots[5].use = InkUse::CopyCurveFrom;
    d.inkSlots[5].copySource = QStringLiteral("LK");
    d.linearization[0] = QStringLiteral("5");
    d.linearization[54] = QStringLiteral("99.5");
    writeInkDescriptionFile(d, path, QLocale::c());
    QFile first(path);
    QVERIFY(first.open(QIODevice::ReadOnly));
    const QByteArray firstBytes = first.readAll();
    first.close();

    InkDescription reopened = fresh(QStringLiteral("Four CMYK"));
    const InkDescriptionLoad load =
        readInkDescriptionFile(path, reopened, models(), inkSetOf, QLocale::c());
    QCOMPARE(load.errors, QStringList());
    QCOMPARE(reopened.inkSlots[6].density, QStringLiteral("33.3333"));
    writeInkDescriptionFile(reopened, path, QLocale::c());
    QFile second(path);
    QVERIFY(second.open(QIODevice::ReadOnly));
    QCOMPARE(second.readAll(), firstBytes);
}

void TestInkDescriptionWrite::unwritableFileRaisesError()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("no such folder/x.zidf"));
    try {
        writeInkDescriptionFile(fresh(QStringLiteral("Four CMYK")), path);
        QFAIL("writing into a missing folder was reported as done");
    } catch (const ZorError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot write file \"%1\".").arg(path)),
                 qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(TestInkDescriptionWrite)
#include "tst_inkdescriptionwrite.moc"
