#include "InkDescription.h"
#include "InkTestModels.h"
#include "ZorError.h"

#include <QTemporaryDir>
#include <QTest>

using namespace inktest;

Q_DECLARE_METATYPE(InkUse)
Q_DECLARE_METATYPE(CurveSource)

// Reading ink descriptions into the editor's data, and the ink sets of the models.
class TestInkDescriptionRead : public QObject
{
    Q_OBJECT

private slots:
    void inkSets_data();
    void inkSets();
    void refusedInkSets_data();
    void refusedInkSets();
    void demoModelInkSets_data();
    void demoModelInkSets();
    void printer_data();
    void printer();
    void blackFallsBackToMatteBlack();
    void errorLineNamesLineAndText();
    void tenErrorsStopReading();
    void loadKeepsWhatTheEditorIgnores_data();
    void loadKeepsWhatTheEditorIgnores();
    void entryNumbers_data();
    void entryNumbers();
    void neutralizer_data();
    void neutralizer();
    void notesLoseLeadingBlanks();
    void lineSyntax_data();
    void lineSyntax();
    void partListsSetUses();
    void curves_data();
    void curves();
    void linearization_data();
    void linearization();
    void missingFileRaisesFileError();
};

namespace {

struct Read
{
    InkDescription description;
    InkDescriptionLoad load;
};

Read readFor(const QString &model, const QByteArray &text, const QLocale &locale = QLocale::c())
{
    Read read{fresh(model), {}};
    read.load = readInkDescription(crlf(text), read.description, models(), inkSetOf, locale);
    return read;
}

const InkSlot &slotOf(const InkDescription &description, const QString &ink)
{
    const int k = description.slotOf(ink);
    if (k < 0)
        qFatal("no slot for %s", qPrintable(ink));
    return description.inkSlots[size_t(k)];
}

} // namespace

void TestInkDescriptionRead::inkSets_data()
{
    QTest::addColumn<QByteArray>("ppd");
    QTest::addColumn<QStringList>("inks");
    QTest::newRow("CMYK") << QByteArray("*PPD-Adobe: \"4.3\"\n*%INKS CMYK\n")
                          << QStringList{"K", "C", "M", "Y"};
    QTest::newRow("lower-case set name")
        << QByteArray("*%inks photocmyk\r\n") << QStringList{"K", "C", "M", "Y", "LC", "LM"};
    QTest::newRow("PHOTOCMYK7") << QByteArray("*%INKS=PHOTOCMYK7")
                                << QStringList{"K", "C", "M", "Y", "LC", "LM", "LK"};
    QTest::newRow("PHOTOCMYK8") << QByteArray("*%INKS PHOTOCMYK8\n")
                                << QStringList{"MK", "C", "M", "Y", "R", "B", "PK", "GL"};
    QTest::newRow("listed") << QByteArray("*%INKS K,C,M,Y,LC,LM,LK,LLK\n")
                            << QStringList{"K", "C", "M", "Y", "LC", "LM", "LK", "LLK"};
    QTest::newRow("list ends at other character")
        << QByteArray("*%INKS k, lk ,llk \"C\"\n") << QStringList{"K", "LK", "LLK"};
    QTest::newRow("first line only")
        << QByteArray("*%INKS CMYK\n*%INKS PHOTOCMYK8\n") << QStringList{"K", "C", "M", "Y"};
    QTest::newRow("after other lines")
        << QByteArray("*% INKS PHOTOCMYK\n*%INKSX CMYK\n*%INKS G,B,R\n")
        << QStringList{"G", "B", "R"};
}

void TestInkDescriptionRead::inkSets()
{
    QFETCH(QByteArray, ppd);
    QFETCH(QStringList, inks);
    QCOMPARE(inkSetFromPpd(ppd, QStringLiteral("Model")), inks);
}

void TestInkDescriptionRead::refusedInkSets_data()
{
    QTest::addColumn<QByteArray>("ppd");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no line") << QByteArray("*PPD-Adobe: \"4.3\"\n*% INKS CMYK\n")
                             << QStringLiteral("its PPD file has no *%INKS line");
    QTest::newRow("empty") << QByteArray("*%INKS\n")
                           << QStringLiteral("its *%INKS line names no ink");
    QTest::newRow("nine inks") << QByteArray("*%INKS K,C,M,Y,LC,LM,LK,LLK,GL\n")
                               << QStringLiteral("it has 9 inks, at most 8 are possible");
    QTest::newRow("unknown ink") << QByteArray("*%INKS K,XX,Y\n")
                                 << QStringLiteral("its ink \"XX\" is not a known ink");
    QTest::newRow("ink twice") << QByteArray("*%INKS K,C,K\n")
                               << QStringLiteral("it lists the ink \"K\" twice");
}

void TestInkDescriptionRead::refusedInkSets()
{
    QFETCH(QByteArray, ppd);
    QFETCH(QString, problem);
    try {
        inkSetFromPpd(ppd, QStringLiteral("Zorl 9"));
        QFAIL("the ink set was accepted");
    } catch (const ZorError &e) {
        QCOMPARE(e.message(),
                 QStringLiteral("The printing model \"Zorl 9\" cannot be used for curve "
                                "creation: %1.")
                     .arg(problem));
    }
}

void TestInkDescriptionRead::demoModelInkSets_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("inks");
    QTest::newRow("Zorl1160") << "Zorl1160" << QStringList{"K", "C", "M", "Y"};
    QTest::newRow("Zorl2200") << "Zorl2200" << QStringList{"K", "C", "M", "Y", "LC", "LM", "LK"};
    QTest::newRow("Zorl3800") << "Zorl3800"
                              << QStringList{"K", "LK", "LLK", "C", "M", "Y", "LC", "LM"};
    QTest::newRow("ZorlR1800") << "ZorlR1800"
                               << QStringList{"MK", "C", "M", "Y", "R", "B", "PK", "GL"};
}

void TestInkDescriptionRead::demoModelInkSets()
{
    QFETCH(QString, model);
    QFETCH(QStringList, inks);
    QCOMPARE(readModelInkSet(QStringLiteral(DIRIDU_SOURCE_DIR "/demo/"), model), inks);
}

void TestInkDescriptionRead::printer_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("printer");
    QTest::addColumn<int>("inkCount");
    QTest::addColumn<bool>("unchanged");
    QTest::newRow("listed") << QByteArray("PRINTER=Seven PHOTOCMYK7\n") << "Seven PHOTOCMYK7" << 7
                            << true;
    QTest::newRow("blanks around =")
        << QByteArray("PRINTER = Six PHOTOCMYK\n") << "Six PHOTOCMYK" << 6 << true;
    QTest::newRow("lower-case keyword")
        << QByteArray("printer=Six PHOTOCMYK\n") << "Six PHOTOCMYK" << 6 << true;
    QTest::newRow("not in the list")
        << QByteArray("PRINTER=Zorl 77\nLIMIT_K=50\n") << "Four CMYK" << 4 << false;
    QTest::newRow("trailing blank kept")
        << QByteArray("PRINTER=Six PHOTOCMYK \n") << "Four CMYK" << 4 << false;
    QTest::newRow("no printer line") << QByteArray("BOOST_K=90\n") << "Four CMYK" << 4 << false;
}

void TestInkDescriptionRead::printer()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, printer);
    QFETCH(int, inkCount);
    QFETCH(bool, unchanged);
    const Read read = readFor(QStringLiteral("Four CMYK"), text);
    QCOMPARE(read.load.errors, QStringList());
    QCOMPARE(read.description.printer, printer);
    QCOMPARE(read.description.inkCount, inkCount);
    QCOMPARE(read.load.unchanged, unchanged);
}

void TestInkDescriptionRead::blackFallsBackToMatteBlack()
{
    const Read read = readFor(QStringLiteral("Four CMYK"),
                              "PRINTER=Eight PHOTOCMYK8\nLIMIT_K=80\nGRAY_INK_1=K\nGRAY_VAL_1=70\n"
                              "GRAY_INK_2=MK\nGRAY_VAL_2=20\nCOPY_CURVE_C=K\nCOPY_CURVE_M=LK\n");
    QCOMPARE(read.load.errors, QStringList());
    const InkSlot &mk = read.description.inkSlots[0];
    QCOMPARE(mk.ink, QStringLiteral("MK"));
    QCOMPARE(mk.limit, QStringLiteral("80"));
    // Entry 2 names MK as well and comes later.
    QCOMPARE(mk.use, InkUse::GrayInk);
    QCOMPARE(mk.density, QStringLiteral("20"));
    QCOMPARE(read.description.inkSlots[1].copySource, QStringLiteral("MK"));
    QCOMPARE(read.description.inkSlots[2].copySource, QStringLiteral("LK"));
}

void TestInkDescriptionRead::errorLineNamesLineAndText()
{
    QByteArray text = "PRINTER=Four CMYK\n";
    for (int line = 2; line <= 11; ++line)
        text += line % 2 ? "# comment\n" : "\n";
    text += "LIMIT_LC=50\nLIMIT_C=40\n";
    const Read read = readFor(QStringLiteral("Four CMYK"), text);
    QCOMPARE(read.load.errors, QStringList{QStringLiteral(
                                   "Error in Ink Description at Line: 12 -> \"LIMIT_LC=50\"")});
    QCOMPARE(slotOf(read.description, "C").limit, QStringLiteral("40"));
}

void TestInkDescriptionRead::tenErrorsStopReading()
{
    QByteArray text = "PRINTER=Four CMYK\n";
    for (int i = 0; i < 12; ++i)
        text += "NONSENSE_" + QByteArray::number(i) + "=1\n";
    text += "BOOST_K=55\n";
    const Read read = readFor(QStringLiteral("Four CMYK"), text);
    QCOMPARE(read.load.errors.size(), 11);
    QCOMPARE(read.load.errors[9],
             QStringLiteral("Error in Ink Description at Line: 11 -> \"NONSENSE_9=1\""));
    QCOMPARE(read.load.errors[10], QStringLiteral("Too many errors in Ink Description"));
    QCOMPARE(read.description.boostK, QStringLiteral("100"));
}

void TestInkDescriptionRead::loadKeepsWhatTheEditorIgnores_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("printerNamed");
    QTest::addColumn<QString>("curveName");
    QTest::addColumn<bool>("stoppedEarly");
    QTest::newRow("listed model") << QByteArray("PRINTER=Four CMYK\nCURVE_NAME=Warm tone\n")
                                  << "Four CMYK"
                                  << "Warm tone" << false;
    QTest::newRow("unlisted model, last lines win")
        << QByteArray("curve_name=First\nPRINTER=Nowhere\nCURVE_NAME=Second \n") << "Nowhere"
        << "Second " << false;
    QTest::newRow("neither") << QByteArray("BOOST_K=50\n") << ""
                             << "" << false;
    QTest::newRow("entry number stops reading")
        << QByteArray("PRINTER=Four CMYK\nGRAY_INK_X=K\nCURVE_NAME=Late\n") << "Four CMYK"
        << "" << true;
}

void TestInkDescriptionRead::loadKeepsWhatTheEditorIgnores()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, printerNamed);
    QFETCH(QString, curveName);
    QFETCH(bool, stoppedEarly);
    const Read read = readFor(QStringLiteral("Four CMYK"), text);
    QCOMPARE(read.load.printerNamed, printerNamed);
    QCOMPARE(read.load.curveName, curveName);
    QCOMPARE(read.load.stoppedEarly, stoppedEarly);
}

void TestInkDescriptionRead::entryNumbers_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<QString>("boost");
    const QByteArray boost = "\nBOOST_K=60\n";
    QTest::newRow("8 accepted") << "TONER_INK_8=" + boost << QStringList() << "60";
    QTest::newRow("0 is an error line")
        << "GRAY_INK_0=K" + boost
        << QStringList{"Error in Ink Description at Line: 2 -> \"GRAY_INK_0=K\""} << "60";
    QTest::newRow("9 is an error line")
        << "GRAY_VAL_9=5" + boost
        << QStringList{"Error in Ink Description at Line: 2 -> \"GRAY_VAL_9=5\""} << "60";
    QTest::newRow("two digits is an error line")
        << "TONER_2_INK_12=C" + boost
        << QStringList{"Error in Ink Description at Line: 2 -> \"TONER_2_INK_12=C\""} << "60";
    QTest::newRow("not a digit stops reading")
        << "UNUSED_INK_X=C" + boost << QStringList{"Error in Ink Description at Line: 2"} << "100";
    QTest::newRow("unknown ink value") << "UNUSED_INK_1=LC" + boost
                                       << QStringList{"Error in Ink Description at Line: 2 -> "
                                                      "\"UNUSED_INK_1=LC\""}
                                       << "60";
}

void TestInkDescriptionRead::entryNumbers()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, errors);
    QFETCH(QString, boost);
    const Read read = readFor(QStringLiteral("Four CMYK"), "PRINTER=Four CMYK\n" + line);
    QCOMPARE(read.load.errors, errors);
    QCOMPARE(read.description.boostK, boost);
}

void TestInkDescriptionRead::neutralizer_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<QStringList>("uses"); // of Y, LC, LM, C, M
    QTest::addColumn<bool>("unchanged");
    const QString notUsed = inkUseNames()[0];
    const QString copy = inkUseNames()[4];
    QTest::newRow("six inks") << "Six PHOTOCMYK" << QByteArray("UC_NEUTRALIZER=YES\n")
                              << QStringList{"Error in Ink Description at Line: 4 -> "
                                             "\"UC_NEUTRALIZER=YES\""}
                              << QStringList{notUsed, notUsed, notUsed, notUsed, notUsed} << true;
    QTest::newRow("seven inks") << "Seven PHOTOCMYK7" << QByteArray("UC_NEUTRALIZER=YES\n")
                                << QStringList()
                                << QStringList{notUsed, copy, copy, notUsed, notUsed} << false;
    QTest::newRow("second flag") << "Seven PHOTOCMYK7" << QByteArray("UC_NEUTRALIZER2=YES\n")
                                 << QStringList()
                                 << QStringList{notUsed, notUsed, notUsed, copy, copy} << false;
    QTest::newRow("lower-case yes")
        << "Seven PHOTOCMYK7" << QByteArray("UC_NEUTRALIZER=yes\n") << QStringList()
        << QStringList{notUsed, notUsed, notUsed, notUsed, notUsed} << true;
    QTest::newRow("set and cleared")
        << "Seven PHOTOCMYK7" << QByteArray("UC_NEUTRALIZER=YES\nUC_NEUTRALIZER=NO\n")
        << QStringList() << QStringList{notUsed, notUsed, notUsed, notUsed, notUsed} << true;
}

void TestInkDescriptionRead::neutralizer()
{
    QFETCH(QString, model);
    QFETCH(QByteArray, flags);
    QFETCH(QStringList, errors);
    QFETCH(QStringList, uses);
    QFETCH(bool, unchanged);
    const Read read =
        readFor(model, "PRINTER=" + model.toLatin1() + "\nLIMIT_Y=0\nLIMIT_LC=40\n" + flags);
    QCOMPARE(read.load.errors, errors);
    QCOMPARE(read.load.unchanged, unchanged);
    QStringList got;
    for (const char *ink : {"Y", "LC", "LM", "C", "M"}) {
        const int k = read.description.slotOf(QString::fromLatin1(ink));
        got << (k < 0 ? QStringLiteral("absent")
                      : inkUseNames()[int(read.description.inkSlots[size_t(k)].use)]);
    }
    QCOMPARE(got, uses);
    for (int k = 0; k < read.description.inkCount; ++k) {
        const InkSlot &slot = read.description.inkSlots[size_t(k)];
        if (slot.use == InkUse::CopyCurveFrom)
            QCOMPARE(slot.copySource, QStringLiteral("LK"));
    }
}

void TestInkDescriptionRead::notesLoseLeadingBlanks()
{
    const Read read = readFor(QStringLiteral("Four CMYK"),
                              "#Notes    warm tone, glossy  \n#Notes \n#NOTES=second\n"
                              "#notes\n# a comment\n#Note not a note\n");
    QCOMPARE(read.load.errors, QStringList());
    QCOMPARE(read.description.notes, (QStringList{"warm tone, glossy  ", "", "second", ""}));
}

void TestInkDescriptionRead::lineSyntax_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("boost");
    QTest::addColumn<int>("errorCount");
    QTest::newRow("plain") << QByteArray("BOOST_K=70") << "70" << 0;
    QTest::newRow("old key") << QByteArray("boost 70") << "70" << 0;
    QTest::newRow("blanks and = skipped") << QByteArray("Boost_K = = 70 ") << "70 " << 0;
    QTest::newRow("inner blanks kept") << QByteArray("BOOST_K=7 0") << "7 0" << 0;
    QTest::newRow("leading blank ignored") << QByteArray(" BOOST_K=70") << "100" << 0;
    QTest::newRow("leading tab ignored") << QByteArray("\tBOOST_K=70") << "100" << 0;
    QTest::newRow("quote ignored") << QByteArray("\"BOOST_K=70\"") << "100" << 0;
    QTest::newRow("tab ends the keyword") << QByteArray("BOOST_K\t70") << "\t70" << 0;
    QTest::newRow("unknown key") << QByteArray("BOOST_KK=70") << "100" << 1;
    QTest::newRow("Latin-1 value")
        << QByteArray("BOOST_K=\xe9\xff") << QString::fromLatin1("\xe9\xff") << 0;
}

void TestInkDescriptionRead::lineSyntax()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, boost);
    QFETCH(int, errorCount);
    const Read read = readFor(QStringLiteral("Four CMYK"), line + "\n");
    QCOMPARE(read.description.boostK, boost);
    QCOMPARE(read.load.errors.size(), errorCount);
}

void TestInkDescriptionRead::partListsSetUses()
{
    const Read read = readFor(QStringLiteral("Four CMYK"), "PRINTER=Seven PHOTOCMYK7\n"
                                                           "TONER_INK_1=C\nTONER_VAL_1=30\n"
                                                           "GRAY_INK_1=C\nGRAY_VAL_1=abc\n"
                                                           "GRAY_INK_2=LK\nGRAY_VAL_2=40\n"
                                                           "TONER_2_INK_3=M\nTONER_2_VAL_3=12.5\n"
                                                           "UNUSED_INK_1=K\nUNUSED_INK_2=Y\n");
    QCOMPARE(read.load.errors, QStringList());
    const InkDescription &d = read.description;
    // Toner entry 1 comes after gray entry 1, so C ends as toner.
    QCOMPARE(slotOf(d, "C").use, InkUse::Toner);
    QCOMPARE(slotOf(d, "C").density, QStringLiteral("30"));
    QCOMPARE(slotOf(d, "LK").use, InkUse::GrayInk);
    QCOMPARE(slotOf(d, "LK").density, QStringLiteral("40"));
    QCOMPARE(slotOf(d, "M").use, InkUse::Toner2);
    QCOMPARE(slotOf(d, "M").density, QStringLiteral("12.5"));
    // K was the new description's gray ink; the unused list clears it.
    QCOMPARE(slotOf(d, "K").use, InkUse::NotUsed);
    QCOMPARE(slotOf(d, "K").density, QString());

    const Read abc = readFor(QStringLiteral("Four CMYK"), "GRAY_INK_1=K\nGRAY_VAL_1=abc\n");
    QCOMPARE(abc.description.inkSlots[0].density, QStringLiteral("abc"));
}

void TestInkDescriptionRead::curves_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<InkUse>("use");
    QTest::addColumn<QString>("data");
    QTest::addColumn<CurveSource>("source");
    QTest::newRow("point list") << QByteArray("CURVE_Y=\"0;0 50;40 100;100 \"") << InkUse::LoadCurve
                                << "0;0 50;40 100;100 " << CurveSource::PointList;
    QTest::newRow("point list without closing quote")
        << QByteArray("CURVE_Y=\"0;0 5") << InkUse::LoadCurve << "0;0 5" << CurveSource::PointList;
    QTest::newRow("only a quote") << QByteArray("CURVE_Y=\"") << InkUse::LoadCurve << ""
                                  << CurveSource::PointList;
    QTest::newRow("file name") << QByteArray("CURVE_Y=My curve.acv") << InkUse::LoadCurve
                               << "My curve.acv" << CurveSource::FileName;
    QTest::newRow("copy") << QByteArray("COPY_CURVE_Y=K") << InkUse::CopyCurveFrom << ""
                          << CurveSource::PointList;
}

void TestInkDescriptionRead::curves()
{
    QFETCH(QByteArray, line);
    QFETCH(InkUse, use);
    QFETCH(QString, data);
    QFETCH(CurveSource, source);
    const Read read = readFor(QStringLiteral("Four CMYK"), line + "\n");
    QCOMPARE(read.load.errors, QStringList());
    const InkSlot &y = read.description.inkSlots[3];
    QCOMPARE(y.use, use);
    QCOMPARE(y.curveData, data);
    QCOMPARE(y.curveSource, source);
    QCOMPARE(y.copySource, use == InkUse::CopyCurveFrom ? QStringLiteral("K") : QString());
}

void TestInkDescriptionRead::linearization_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("boxes"); // the first ones; the rest must be empty
    QTest::addColumn<QString>("boost");
    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("three values") << QByteArray("LINEARIZE=\"10 20 30 \"\nBOOST_K=1\n") << c
                                  << QStringList{"10", "20", "30"} << "1";
    QTest::newRow("comma in a point locale")
        << QByteArray("LINEARIZE=\"12,5 \"\n") << c << QStringList{"12.5"} << "100";
    QTest::newRow("point in a comma locale") << QByteArray("LINEARIZE=\"12.5 3,25\"\n") << german
                                             << QStringList{"12,5", "3,25"} << "100";
    QTest::newRow("continued on next lines")
        << QByteArray("LINEARIZE=\"10 20\n30\n\n40 \"\nBOOST_K=2\n") << c
        << QStringList{"10", "20", "30", "40"} << "2";
    QTest::newRow("no closing quote at end of file")
        << QByteArray("LINEARIZE=\"1 2") << c << QStringList{"1", "2"} << "100";
    QTest::newRow("continuation is not read as a key")
        << QByteArray("LINEARIZE=\"5\nBOOST_K=3 \"\n") << c << QStringList{"5", "BOOST_K", "3"}
        << "100";
    QTest::newRow("tab stops the values")
        << QByteArray("LINEARIZE=\"5\t6\"\n") << c << QStringList{"5"} << "100";
}

void TestInkDescriptionRead::linearization()
{
    QFETCH(QByteArray, text);
    QFETCH(QLocale, locale);
    QFETCH(QStringList, boxes);
    QFETCH(QString, boost);
    InkDescription description = fresh(QStringLiteral("Four CMYK"));
    description.linearization.fill(QStringLiteral("old"));
    const InkDescriptionLoad load =
        readInkDescription(crlf(text), description, models(), inkSetOf, locale);
    QCOMPARE(load.errors, QStringList());
    for (int i = 0; i < LinearizationValueCount; ++i)
        QCOMPARE(description.linearization[size_t(i)], boxes.value(i));
    QCOMPARE(description.boostK, boost);
}

void TestInkDescriptionRead::missingFileRaisesFileError()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("absent.zidf"));
    InkDescription description = fresh(QStringLiteral("Four CMYK"));
    try {
        readInkDescriptionFile(path, description, models(), inkSetOf);
        QFAIL("a missing file was read");
    } catch (const ZorError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot open file \"%1\".").arg(path)),
                 qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(TestInkDescriptionRead)
#include "tst_inkdescriptionread.moc"
