#include "CurveCatalogue.h"
#include "Dialogs.h"
#include "TestInstall.h"
#include "ZorError.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <utility>

namespace {

const QString mismatchText = QStringLiteral("PPD PageSize list and PaperDimension list different");

// The message of the ZorError that loading model throws, or empty.
QString loadError(TestInstall &install, const QString &model)
{
    try {
        install.load(model);
    } catch (const ZorError &error) {
        return error.message();
    }
    return {};
}

// Page sizes Size1 ... SizeN with PaperDimension and ImageableArea lines for the first
// dimensions and areas of them; default Size1.
QStringList pageSizeLines(int sizes, int dimensions, int areas)
{
    QStringList lines{"*OpenUI *PageSize/Page Size: PickOne", "*DefaultPageSize: Size1"};
    for (int i = 1; i <= sizes; ++i)
        lines << QStringLiteral("*PageSize Size%1/Size %1: \"<</PageSize[612 792]>>\"").arg(i);
    lines << "*CloseUI: *PageSize";
    for (int i = 1; i <= dimensions; ++i)
        lines << QStringLiteral("*PaperDimension Size%1/Size %1: \"%2 792\"").arg(i).arg(600 + i);
    for (int i = 1; i <= areas; ++i)
        lines
            << QStringLiteral("*ImageableArea Size%1/Size %1: \"9 36 %2 783\"").arg(i).arg(590 + i);
    return lines;
}

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(DIRIDU_SOURCE_DIR "/tests/fixtures/ppd/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read fixture %s", qPrintable(name));
    return file.readAll();
}

// Every field of a model record, for comparing two loads as a whole.
QStringList describe(const TPrintingModel &m)
{
    QStringList lines;
    const auto group = [&](const QStringList &values, int defaultIndex) {
        lines << values.join(u'|') + QStringLiteral(" default %1").arg(defaultIndex);
    };
    group(m.PageSizeValues, m.PageSizeDefault);
    group(m.DitherValues, m.DitherDefault);
    group(m.ResolutionValues, m.ResolutionDefault);
    group(m.FeedValues, m.FeedDefault);
    group(m.Curve1Values, m.Curve1Default);
    group(m.Curve2Values, m.Curve2Default);
    group(m.MediaValues, m.MediaDefault);
    group(m.BlackValues, m.BlackDefault);
    group(m.SpeedValues, m.SpeedDefault);
    const auto number = [](double value) { return QString::number(value, 'g', 17); };
    lines << m.FeedOptionName << m.PaperDimensions.join(u'|') << m.ImageableAreas.join(u'|')
          << number(m.HWMargins.left) << number(m.HWMargins.bottom) << number(m.HWMargins.right)
          << number(m.HWMargins.top) << number(m.MaxMediaWidth) << number(m.MaxMediaLength)
          << number(m.MinMediaWidth) << number(m.MinMediaLength)
          << (m.CustomPageSize ? "custom" : "no custom") << m.ModelHint;
    return lines;
}

QStringList group(const QString &keyword, const QString &defaultName, const QStringList &options)
{
    QStringList lines{QStringLiteral("*OpenUI *%1: PickOne").arg(keyword)};
    if (!defaultName.isEmpty())
        lines << QStringLiteral("*Default%1: %2").arg(keyword, defaultName);
    for (const QString &option : options)
        lines << QStringLiteral("*%1 %2/%2 text: \"\"").arg(keyword, option);
    lines << QStringLiteral("*CloseUI: *%1").arg(keyword);
    return lines;
}

} // namespace

class TestPpdLoader : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void groupReading_data();
    void groupReading();
    void groupKeywordsOnly();
    void boxesClearedWhenGroupMissing();
    void otherBoxesKeptWhenGroupMissing();
    void choicesStillOfferedStaySelected();
    void pageSizeSelection_data();
    void pageSizeSelection();
    void customPageSize();
    void customPageSizeWords_data();
    void customPageSizeWords();
    void paperLinesWithoutTranslation_data();
    void paperLinesWithoutTranslation();
    void fixtureStyles_data();
    void fixtureStyles();
    void fixtureStylesGiveTheSameModel();
    void pageSizeCheck_data();
    void pageSizeCheck();
    void product_data();
    void product();
    void numbers_data();
    void numbers();
    void failedLoadKeepsWhatWasRead();
    void unknownGroupSkipped();
    void fileVersionHint();
    void missingFile_data();
    void missingFile();
    void fileFoundIgnoringCase();
    void curveListsAfterLoad();
    void curveFolderCreatedAndWatched();
    void modelEnumeration();

private:
    // Catches message boxes that a test does not expect (tests that expect one install
    // their own recorder).
    RecordingDialogs m_unexpected;
};

void TestPpdLoader::init()
{
    m_unexpected.clear();
    Dialogs::setInstance(&m_unexpected);
}

void TestPpdLoader::cleanup()
{
    Dialogs::setInstance(nullptr);
    QCOMPARE(m_unexpected.texts(), QStringList());
}

void TestPpdLoader::groupReading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("defaultIndex");

    const QByteArray example = "*OpenUI *Resolution/Resolution: PickOne\n"
                               "*DefaultResolution: 1440x720dpi\n"
                               "*Resolution 720x720dpi/720 dpi: \"\"\n"
                               "*Resolution 1440x720dpi/1440 x 720 dpi: \"\"\n"
                               "*CloseUI: *Resolution\n";
    const QStringList exampleValues{"720x720dpi", "1440x720dpi"};
    const QStringList exampleItems{"720 dpi", "1440 x 720 dpi"};

    QTest::newRow("example") << example << exampleValues << exampleItems << 1;
    QByteArray crlf = example;
    crlf.replace("\n", "\r\n");
    QTest::newRow("CR LF line ends") << crlf << exampleValues << exampleItems << 1;
    QByteArray noFinalNewline = example;
    noFinalNewline.chop(1);
    QTest::newRow("no newline at the end") << noFinalNewline << exampleValues << exampleItems << 1;
    QTest::newRow("default after its options")
        << QByteArray("*OpenUI *Resolution: PickOne\n*Resolution 720dpi/720: \"\"\n"
                      "*DefaultResolution: 720dpi\n*CloseUI: *Resolution\n")
        << QStringList{"720dpi"} << QStringList{"720"} << -1;
    // The value after the colon is what the option sends to the printer, never its name.
    QTest::newRow("without translation the name is shown")
        << QByteArray("*OpenUI *Resolution\n*Resolution 360dpi: \"Fast draft\"\n"
                      "*CloseUI: *Resolution\n")
        << QStringList{"360dpi"} << QStringList{"360dpi"} << -1;
    QTest::newRow("without translation, code as value")
        << QByteArray("*OpenUI *Resolution: PickOne\n*DefaultResolution: 720dpi\n"
                      "*Resolution 360dpi: \"<</HWResolution[360 360]>>setpagedevice\"\n"
                      "*Resolution 720dpi: \"<</HWResolution[720 720]>>setpagedevice\"\n"
                      "*CloseUI: *Resolution\n")
        << QStringList{"360dpi", "720dpi"} << QStringList{"360dpi", "720dpi"} << 1;
    QTest::newRow("empty translation is the name")
        << QByteArray("*OpenUI *Resolution\n*DefaultResolution: 360dpi\n"
                      "*Resolution 360dpi: \"\"\n*CloseUI: *Resolution\n")
        << QStringList{"360dpi"} << QStringList{"360dpi"} << 0;
    QTest::newRow("letter case of keywords")
        << QByteArray("*openui *RESOLUTION/Res: PickOne\n*defaultresolution: b\n"
                      "*resolution a/A: \"\"\n*RESOLUTION b/B: \"\"\n*closeui: *Resolution\n")
        << QStringList{"a", "b"} << QStringList{"A", "B"} << 1;
    QTest::newRow("any *Default line counts")
        << QByteArray("*OpenUI *Resolution\n*DefaultSomething: b\n*Resolution a/A: \"\"\n"
                      "*Resolution b/B: \"\"\n*CloseUI: *Resolution\n")
        << QStringList{"a", "b"} << QStringList{"A", "B"} << 1;
    QTest::newRow("default text compared exactly")
        << QByteArray("*OpenUI *Resolution\n*DefaultResolution: B\n*Resolution b/B: \"\"\n"
                      "*CloseUI: *Resolution\n")
        << QStringList{"b"} << QStringList{"B"} << -1;
    QTest::newRow("tabs")
        << QByteArray("*OpenUI\t*Resolution\n*DefaultResolution:\tb\n*Resolution\ta/A: \"\"\n"
                      "*Resolution\tb/B:\t\"\"\n*CloseUI: *Resolution\n")
        << QStringList{"a", "b"} << QStringList{"A", "B"} << 1;
    QTest::newRow("other options of the group ignored")
        << QByteArray("*OpenUI *Resolution\n*MediaType x/X: \"\"\n*Resolution a/A: \"\"\n"
                      "*CloseUI: *Resolution\n*Resolution z/Z: \"\"\n")
        << QStringList{"a"} << QStringList{"A"} << -1;
    QTest::newRow("never closed")
        << QByteArray("*OpenUI *Resolution\n*DefaultResolution: a\n*Resolution a/A: \"\"\n")
        << QStringList{"a"} << QStringList{"A"} << 0;
}

void TestPpdLoader::groupReading()
{
    QFETCH(QByteArray, file);
    QFETCH(int, defaultIndex);
    TestInstall install;
    install.write("ppd/M.ppd", file);
    install.load("M");
    QTEST(install.model.ResolutionValues, "values");
    QTEST(install.resolution.items(), "items");
    QCOMPARE(install.model.ResolutionDefault, defaultIndex);
    QCOMPARE(install.resolution.currentIndex(), defaultIndex);
}

// Lines inside a group that belong elsewhere are not read while the group is.
void TestPpdLoader::groupKeywordsOnly()
{
    TestInstall install;
    install.writePpd("M", {"*OpenUI *MediaType", "*HWMargins: 9 9 9 9", "*MediaType p/P: \"\"",
                           "*CloseUI: *MediaType", "*MaxMediaWidth: 720"});
    install.load("M");
    QCOMPARE(install.model.MediaValues, QStringList{"p"});
    QCOMPARE(install.model.HWMargins.left, 0.0);
    QCOMPARE(install.model.MaxMediaWidth, 10.0);
}

void TestPpdLoader::boxesClearedWhenGroupMissing()
{
    TestInstall install;
    install.writePpd("Full", group("RipSpeed", "Fast", {"Slow", "Fast"}) +
                                 group("RipBlack", "MK", {"PK", "MK"}) +
                                 group("InputSlot", "Roll", {"Sheet", "Roll"}));
    install.writePpd("Bare", {"*ModelName: \"Bare\""});
    install.writePpd("Fed", group("RipFeed", "", {"Front"}));

    install.load("Full");
    QVERIFY(install.ripSpeed.isEnabled());
    QCOMPARE(install.ripSpeed.currentText(), "Fast text");
    QCOMPARE(install.model.SpeedDefault, 1);
    QVERIFY(install.ripBlack.isEnabled());
    QCOMPARE(install.ripBlack.currentText(), "MK text");
    QVERIFY(install.paperFeed.isEnabled());
    QCOMPARE(install.paperFeed.currentText(), "Roll text");
    QCOMPARE(install.model.FeedOptionName, "InputSlot");

    install.load("Bare");
    for (PlainOptionBox *box : {&install.ripSpeed, &install.ripBlack, &install.paperFeed}) {
        QCOMPARE(box->count(), 0);
        QVERIFY(!box->isEnabled());
    }
    QVERIFY(install.listsInStep());
    QCOMPARE(install.model.FeedOptionName, "InputSlot"); // kept until a file sets it

    install.load("Fed");
    QCOMPARE(install.model.FeedOptionName, "RipFeed");
    QVERIFY(install.paperFeed.isEnabled());
    QCOMPARE(install.paperFeed.currentIndex(), -1);
    QVERIFY(!install.ripSpeed.isEnabled());
}

void TestPpdLoader::otherBoxesKeptWhenGroupMissing()
{
    TestInstall install;
    install.writePpd("Dithered", group("StpDither", "Ordered", {"Ordered", "Adaptive"}));
    install.writePpd("Plain", group("Resolution", "", {"720dpi"}));
    install.load("Dithered");
    install.load("Plain");
    QCOMPARE(install.model.DitherValues, (QStringList{"Ordered", "Adaptive"}));
    QCOMPARE(install.ditherType.items(), (QStringList{"Ordered text", "Adaptive text"}));
    QCOMPARE(install.ditherType.currentIndex(), 0);
    QCOMPARE(install.model.DitherDefault, 0);
}

void TestPpdLoader::choicesStillOfferedStaySelected()
{
    TestInstall install;
    const QStringList common =
        group("StpDither", "A", {"A", "B"}) + group("MediaType", "P", {"P", "G"}) +
        group("InputSlot", "S", {"S", "R"}) + group("RipSpeed", "F", {"F", "U"});
    install.writePpd("One", common + group("Resolution", "r1", {"r1", "r2"}));
    install.writePpd("Other", group("StpDither", "C", {"C", "A"}) + group("MediaType", "G", {"G"}) +
                                  group("InputSlot", "R", {"R"}) +
                                  group("Resolution", "r3", {"r3"}));

    install.load("One");
    install.ditherType.setCurrentIndex(1);
    install.mediaType.setCurrentIndex(1);
    install.paperFeed.setCurrentIndex(1);
    install.ripSpeed.setCurrentIndex(1);
    install.resolution.setCurrentIndex(1);

    // The same model again: choices still offered stay, speed returns to its default.
    install.load("One");
    QCOMPARE(install.ditherType.currentText(), "B text");
    QCOMPARE(install.mediaType.currentText(), "G text");
    QCOMPARE(install.paperFeed.currentText(), "R text");
    QCOMPARE(install.resolution.currentText(), "r2 text");
    QCOMPARE(install.ripSpeed.currentText(), "F text");

    install.load("Other");
    QCOMPARE(install.ditherType.currentText(), "C text"); // B is gone: the new default
    QCOMPARE(install.mediaType.currentText(), "G text");
    QCOMPARE(install.paperFeed.currentText(), "R text");
    QCOMPARE(install.resolution.currentText(), "r3 text");
}

void TestPpdLoader::pageSizeSelection_data()
{
    QTest::addColumn<QString>("defaultName");
    QTest::addColumn<QString>("shownBefore");
    QTest::addColumn<int>("pageSizeDefault");
    QTest::addColumn<QString>("selected");

    QTest::newRow("default listed") << "A4"
                                    << "" << 1 << "A4";
    QTest::newRow("default not listed") << "Tabloid"
                                        << "" << -1 << "";
    QTest::newRow("default not listed, shown text listed") << "Tabloid"
                                                           << "Letter" << -1 << "Letter";
    QTest::newRow("shown text listed wins") << "A4"
                                            << "Letter" << 1 << "Letter";
    QTest::newRow("shown text not listed") << "A4"
                                           << "Legal" << 1 << "A4";
    QTest::newRow("shown text in other letter case") << "A4"
                                                     << "letter" << 1 << "A4";
}

void TestPpdLoader::pageSizeSelection()
{
    QFETCH(QString, defaultName);
    QFETCH(QString, shownBefore);
    ScopedRecordingDialogs dialogs;
    TestInstall install;
    install.writePpd("M", {"*OpenUI *PageSize: PickOne", "*DefaultPageSize: " + defaultName,
                           "*PageSize Letter/Letter: \"\"", "*PageSize A4/A4: \"\"",
                           "*CloseUI: *PageSize", "*PaperDimension Letter/Letter: \"612 792\"",
                           "*PaperDimension A4/A4: \"595 842\"",
                           "*ImageableArea Letter/Letter: \"9 36 603 783\"",
                           "*ImageableArea A4/A4: \"9 36 586 833\""});
    if (!shownBefore.isEmpty()) {
        install.paperSize.addItem(shownBefore);
        install.paperSize.setCurrentIndex(0);
    }
    install.load("M");
    QTEST(install.model.PageSizeDefault, "pageSizeDefault");
    QTEST(install.paperSize.currentText(), "selected");
    QCOMPARE(install.model.PageSizeValues, (QStringList{"Letter", "A4"}));
    QCOMPARE(install.model.PaperDimensions, (QStringList{"612 792", "595 842"}));
    QCOMPARE(install.model.ImageableAreas, (QStringList{"9 36 603 783", "9 36 586 833"}));
    QCOMPARE(dialogs.texts(), QStringList());
}

void TestPpdLoader::customPageSize()
{
    ScopedRecordingDialogs dialogs;
    TestInstall install;
    install.writePpd("M",
                     QStringList{"*CustomPageSize True: \"pop pop\""} + pageSizeLines(12, 12, 12));
    install.writePpd("NoCustom", pageSizeLines(12, 12, 12) + QStringList{"*CustomPageSize False"});
    install.load("M");
    QVERIFY(install.model.CustomPageSize);
    QCOMPARE(install.paperSize.count(), 13);
    QCOMPARE(install.paperSize.itemText(12), "Custom");
    QCOMPARE(install.model.PageSizeValues.last(), "Custom");
    QCOMPARE(install.paperSize.currentIndex(), 0);
    QCOMPARE(dialogs.texts(), QStringList());

    install.load("NoCustom");
    QVERIFY(!install.model.CustomPageSize);
    QCOMPARE(install.paperSize.count(), 12);
    QCOMPARE(dialogs.texts(), QStringList());
}

void TestPpdLoader::customPageSizeWords_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("custom");
    QTest::newRow("True with code") << "*CustomPageSize True: \"pop pop\"" << true;
    QTest::newRow("True with translation")
        << "*CustomPageSize True/Custom Page Size: \"pop pop\"" << true;
    QTest::newRow("true, any case, with translation")
        << "*CustomPageSize true/Custom: \"pop\"" << true;
    QTest::newRow("True alone") << "*CustomPageSize True" << true;
    QTest::newRow("True and blanks") << "*CustomPageSize True   " << true;
    QTest::newRow("False with translation") << "*CustomPageSize False/No: \"\"" << false;
    QTest::newRow("Truer is not True") << "*CustomPageSize Truer/x: \"\"" << false;
}

void TestPpdLoader::customPageSizeWords()
{
    QFETCH(QString, line);
    QFETCH(bool, custom);
    TestInstall install;
    install.writePpd("M", QStringList{line} + pageSizeLines(2, 2, 2));
    install.load("M");
    QCOMPARE(install.model.CustomPageSize, custom);
    QCOMPARE(install.paperSize.items().contains("Custom"), custom);
    QVERIFY(install.listsInStep());
}

// Lines that give no translation name their size up to the colon.
void TestPpdLoader::paperLinesWithoutTranslation_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("dimensions");
    QTest::addColumn<QStringList>("areas");

    const QStringList sizes{"*OpenUI *PageSize: PickOne", "*DefaultPageSize: A4",
                            "*PageSize Letter: \"<</PageSize[612 792]>>setpagedevice\"",
                            "*PageSize A4: \"<</PageSize[595 842]>>setpagedevice\"",
                            "*CloseUI: *PageSize"};
    const QStringList dimensions{"612 792", "595 842"};
    const QStringList areas{"18 36 594 783", "18 36 577 833"};
    QTest::newRow("no translations")
        << sizes + QStringList{"*PaperDimension Letter: \"612 792\"",
                               "*PaperDimension A4: \"595 842\"",
                               "*ImageableArea Letter: \"18 36 594 783\"",
                               "*ImageableArea A4: \"18 36 577 833\""}
        << dimensions << areas;
    QTest::newRow("mixed styles") << sizes +
                                         QStringList{
                                             "*PaperDimension Letter/US Letter: \"612 792\"",
                                             "*PaperDimension A4: \"595 842\"",
                                             "*ImageableArea Letter: \"18 36 594 783\"",
                                             "*ImageableArea A4/A4 210 x 297 mm: \"18 36 577 833\""}
                                  << dimensions << areas;
    QTest::newRow("tabs and no blank before the value")
        << sizes + QStringList{"*PaperDimension\tLetter:\"612 792\"",
                               "*PaperDimension A4:\t\"595 842\"",
                               "*ImageableArea\tLetter: \"18 36 594 783\"",
                               "*ImageableArea A4:\"18 36 577 833\""}
        << dimensions << areas;
}

void TestPpdLoader::paperLinesWithoutTranslation()
{
    QFETCH(QStringList, lines);
    ScopedRecordingDialogs dialogs;
    TestInstall install;
    install.writePpd("M", lines);
    install.load("M");
    QCOMPARE(dialogs.texts(), QStringList());
    QCOMPARE(install.model.PageSizeValues, (QStringList{"Letter", "A4"}));
    QTEST(install.model.PaperDimensions, "dimensions");
    QTEST(install.model.ImageableAreas, "areas");
    QCOMPARE(install.paperSize.currentText(), "A4");
}

void TestPpdLoader::fixtureStyles_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("with translations") << "Translated.ppd";
    QTest::newRow("without translations") << "Untranslated.ppd";
}

void TestPpdLoader::fixtureStyles()
{
    QFETCH(QString, file);
    ScopedRecordingDialogs dialogs;
    TestInstall install;
    install.write("ppd/ZorlT900.ppd", fixture(file));
    install.load("ZorlT900");

    QCOMPARE(dialogs.texts(), QStringList());
    const TPrintingModel &m = install.model;
    QCOMPARE(m.PageSizeValues, (QStringList{"Letter", "A4", "Tabloid", "w288h432", "Custom"}));
    QCOMPARE(install.paperSize.items(), m.PageSizeValues);
    QCOMPARE(install.paperSize.currentText(), "Letter");
    QCOMPARE(m.PaperDimensions, (QStringList{"612 792", "595 842", "792 1224", "288 432"}));
    QCOMPARE(m.ImageableAreas,
             (QStringList{"18 36 594 783", "18 36 577 833", "18 36 774 1215", "18 36 270 423"}));
    QVERIFY(m.CustomPageSize);
    QCOMPARE(m.MinMediaWidth, 2.0);
    QCOMPARE(m.MaxMediaWidth, 18.0);
    QCOMPARE(m.MinMediaLength, 2.0);
    QCOMPARE(m.MaxMediaLength, 45.0);
    QCOMPARE(m.HWMargins.left, 0.25);
    QCOMPARE(m.HWMargins.bottom, 0.5);
    QCOMPARE(m.HWMargins.right, 0.25);
    QCOMPARE(m.HWMargins.top, 0.125);
    QCOMPARE(m.FeedOptionName, "InputSlot");
    QCOMPARE(install.paperFeed.items(), (QStringList{"Auto", "Manual"}));
    QCOMPARE(install.mediaType.currentText(), "Matte");
    QCOMPARE(install.resolution.items(), (QStringList{"720x720dpi", "1440x720dpi"}));
    QCOMPARE(install.resolution.currentIndex(), 1);
    QCOMPARE(install.ripSpeed.currentText(), "Uni");
    QCOMPARE(install.ripBlack.currentText(), "Photo");
    QCOMPARE(m.ModelHint, "Version 1.4");
    QVERIFY(install.listsInStep());
}

void TestPpdLoader::fixtureStylesGiveTheSameModel()
{
    TestInstall translated, untranslated;
    translated.write("ppd/ZorlT900.ppd", fixture("Translated.ppd"));
    untranslated.write("ppd/ZorlT900.ppd", fixture("Untranslated.ppd"));
    translated.load("ZorlT900");
    untranslated.load("ZorlT900");
    QCOMPARE(describe(untranslated.model), describe(translated.model));
    for (const auto &[a, b] : {std::pair{&translated.paperSize, &untranslated.paperSize},
                               {&translated.ditherType, &untranslated.ditherType},
                               {&translated.resolution, &untranslated.resolution},
                               {&translated.paperFeed, &untranslated.paperFeed},
                               {&translated.mediaType, &untranslated.mediaType},
                               {&translated.ripBlack, &untranslated.ripBlack},
                               {&translated.ripSpeed, &untranslated.ripSpeed},
                               {&translated.curve1, &untranslated.curve1}}) {
        QCOMPARE(b->items(), a->items());
        QCOMPARE(b->currentIndex(), a->currentIndex());
    }
}

void TestPpdLoader::pageSizeCheck_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("boxes");

    const QStringList custom{"*CustomPageSize True"};
    QTest::newRow("all in step") << custom + pageSizeLines(12, 12, 12) << 0;
    QTest::newRow("one imageable area missing") << custom + pageSizeLines(12, 12, 11) << 1;
    QTest::newRow("one dimension missing") << pageSizeLines(12, 11, 12) << 1;
    QTest::newRow("both lists short") << pageSizeLines(12, 11, 11) << 1;
    QTest::newRow("one dimension too many") << pageSizeLines(11, 12, 11) << 1;
    QStringList renamed = pageSizeLines(3, 3, 3);
    renamed.replaceInStrings("*ImageableArea Size2/", "*ImageableArea size2/");
    QTest::newRow("area name in other letter case") << renamed << 1;
    QStringList swapped = pageSizeLines(3, 3, 3);
    swapped.swapItemsAt(swapped.indexOf(QRegularExpression("\\*PaperDimension Size1.*")),
                        swapped.indexOf(QRegularExpression("\\*PaperDimension Size2.*")));
    QTest::newRow("dimensions in other order") << swapped << 1;
}

void TestPpdLoader::pageSizeCheck()
{
    QFETCH(QStringList, lines);
    QFETCH(int, boxes);
    ScopedRecordingDialogs dialogs;
    TestInstall install;
    install.writePpd("M", lines);
    install.load("M");
    QCOMPARE(dialogs.shown().size(), boxes);
    for (const RecordingDialogs::Shown &shown : dialogs.shown()) {
        QCOMPARE(shown.kind, RecordingDialogs::Kind::Error);
        QCOMPARE(shown.text, mismatchText);
        QCOMPARE(shown.buttons, QStringList{"Cancel"});
    }
    // The model stays in use either way.
    QCOMPARE(install.paperSize.currentText(), "Size 1");
    QVERIFY(install.listsInStep());
}

void TestPpdLoader::product_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("error");

    QTest::newRow("2.0") << "(Zorlane 2.0)"
                         << "Unsupported Zorlane version found \"2.0\"";
    QTest::newRow("2.1") << "(Zorlane 2.1)"
                         << "";
    QTest::newRow("3.0") << "(Zorlane 3.0)"
                         << "";
    QTest::newRow("2.10") << "(Zorlane 2.10)"
                          << "";
    QTest::newRow("10.0 is below 2.1 as text") << "(Zorlane 10.0)"
                                               << "Unsupported Zorlane version found \"10.0\"";
    QTest::newRow("no version") << "(Zorlane)"
                                << "Unsupported Zorlane version found \"\"";
}

void TestPpdLoader::product()
{
    QFETCH(QString, product);
    TestInstall install;
    install.writePpd("M", {"*Product: \"" + product + "\""});
    QTEST(loadError(install, "M"), "error");
}

void TestPpdLoader::numbers_data()
{
    QTest::addColumn<QString>("line");
    // HWMargins left, bottom, right, top, then MaxMediaWidth, MaxMediaLength, MinMediaWidth,
    // MinMediaLength.
    QTest::addColumn<QList<double>>("inches");
    QTest::addColumn<QString>("error");

    const QString needs4 = "*HWMargins needs 4 numbers";
    const QString shortWidth =
        "*ParamCustomPageSize Width needs an order number, a unit and 2 numbers";
    QTest::newRow("margins") << "*HWMargins: 9 36 9 9"
                             << QList<double>{0.125, 0.5, 0.125, 0.125, 0, 0, 0, 0} << "";
    QTest::newRow("signed margins")
        << "*HWMargins: -9 +36 0 72" << QList<double>{-0.125, 0.5, 0, 1, 0, 0, 0, 0} << "";
    QTest::newRow("three margins") << "*HWMargins: 9 36 9" << QList<double>() << needs4;
    QTest::newRow("no margins") << "*HWMargins" << QList<double>() << needs4;
    QTest::newRow("612.5") << "*HWMargins: 9 36 9 612.5" << QList<double>()
                           << "'612.5' is not a valid integer value";
    QTest::newRow("max width") << "*MaxMediaWidth: 1224" << QList<double>{0, 0, 0, 0, 17, 0, 0, 0}
                               << "";
    QTest::newRow("max height quoted")
        << "*maxmediaheight: \"1584\"" << QList<double>{0, 0, 0, 0, 0, 22, 0, 0} << "";
    QTest::newRow("max width missing")
        << "*MaxMediaWidth:" << QList<double>() << "*MaxMediaWidth needs 1 number";
    QTest::newRow("too large") << "*MaxMediaWidth: 2147483648" << QList<double>()
                               << "'2147483648' is not a valid integer value";
    QTest::newRow("hexadecimal") << "*MaxMediaHeight: 0x10" << QList<double>()
                                 << "'0x10' is not a valid integer value";
    QTest::newRow("sign only") << "*MaxMediaHeight: -" << QList<double>()
                               << "'-' is not a valid integer value";
    QTest::newRow("custom width") << "*ParamCustomPageSize Width: 1 points 72 1224"
                                  << QList<double>{0, 0, 0, 0, 17, 0, 1, 0} << "";
    QTest::newRow("custom height") << "*ParamCustomPageSize Height: 2 Points 144 1584"
                                   << QList<double>{0, 0, 0, 0, 0, 22, 0, 2} << "";
    QTest::newRow("custom width, any case") << "*paramcustompagesize width: 1 POINTS 36 720"
                                            << QList<double>{0, 0, 0, 0, 10, 0, 0.5, 0} << "";
    QTest::newRow("custom offsets ignored") << "*ParamCustomPageSize WidthOffset: 3 points 0 0"
                                            << QList<double>{0, 0, 0, 0, 0, 0, 0, 0} << "";
    QTest::newRow("custom units not points")
        << "*ParamCustomPageSize Width: 1 inches 1 17" << QList<double>()
        << "Custom media units are not in points";
    QTest::newRow("custom width short")
        << "*ParamCustomPageSize Width: 1 points 72" << QList<double>() << shortWidth;
    QTest::newRow("custom width without unit")
        << "*ParamCustomPageSize Width: 1" << QList<double>() << shortWidth;
    QTest::newRow("custom width fraction")
        << "*ParamCustomPageSize Width: 1 points 72 1224.0" << QList<double>()
        << "'1224.0' is not a valid integer value";
}

void TestPpdLoader::numbers()
{
    QFETCH(QString, line);
    QFETCH(QList<double>, inches);
    TestInstall install;
    install.writePpd("M", {line});
    QTEST(loadError(install, "M"), "error");
    if (inches.isEmpty())
        return;
    const TPrintingModel &m = install.model;
    const QList<double> actual{m.HWMargins.left, m.HWMargins.bottom, m.HWMargins.right,
                               m.HWMargins.top,  m.MaxMediaWidth,    m.MaxMediaLength,
                               m.MinMediaWidth,  m.MinMediaLength};
    QCOMPARE(actual, inches);
}

void TestPpdLoader::failedLoadKeepsWhatWasRead()
{
    TestInstall install;
    install.writePpd("Old", group("RipSpeed", "F", {"F"}) + QStringList{"*MaxMediaHeight: 720"});
    install.writePpd("Bad", group("Resolution", "r", {"r"}) +
                                QStringList{"*HWMargins: 9 36 9 9", "*Product: \"(Zorlane 2.0)\"",
                                            "*MaxMediaWidth: 720"});
    install.load("Old");
    QCOMPARE(loadError(install, "Bad"), "Unsupported Zorlane version found \"2.0\"");
    QCOMPARE(install.model.ResolutionValues, QStringList{"r"});
    QCOMPARE(install.model.HWMargins.bottom, 0.5);
    QCOMPARE(install.model.MaxMediaWidth, 0.0);   // after the error: not read
    QCOMPARE(install.model.MaxMediaLength, 10.0); // never set by Bad: kept
    QCOMPARE(install.ripSpeed.count(), 0);        // emptied before reading
}

// A group the program does not use is skipped up to a line whose first token, read without
// an added blank, is *CloseUI: a bare "*CloseUI" at the end of a line loses its last letter.
void TestPpdLoader::unknownGroupSkipped()
{
    ScopedRecordingDialogs dialogs; // A5 has no dimension
    TestInstall install;
    install.writePpd("M", {"*OpenUI *PageRegion: PickOne", "*PageSize A4/A4: \"\"", "*CloseUI",
                           "*HWMargins: 9 9 9 9", "*CloseUI: *PageRegion", "*MaxMediaWidth: 720",
                           "*OpenUI *PageSize", "*PageSize A5/A5: \"\"", "*CloseUI: *PageSize"});
    install.load("M");
    QCOMPARE(install.model.PageSizeValues, QStringList{"A5"});
    QCOMPARE(install.model.HWMargins.left, 0.0);
    QCOMPARE(install.model.MaxMediaWidth, 10.0);
    QCOMPARE(dialogs.texts(), QStringList{mismatchText});
}

void TestPpdLoader::fileVersionHint()
{
    TestInstall install;
    install.writePpd("Versioned", {"*FileVersion: \"2.8.0\""});
    install.writePpd("Plain", {"*ModelName: \"Plain\""});
    install.load("Versioned");
    QCOMPARE(install.model.ModelHint, "Version 2.8.0");
    install.load("Plain");
    QCOMPARE(install.model.ModelHint, QString());
}

void TestPpdLoader::missingFile_data()
{
    QTest::addColumn<QString>("createFolder");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("path"); // below the install folder

    QTest::newRow("no such model") << "ppd"
                                   << "Nope"
                                   << "ppd/Nope.ppd";
    QTest::newRow("no ppd folder") << ""
                                   << "Nope"
                                   << "PPD/Nope.ppd";
    QTest::newRow("no model selected") << "ppd"
                                       << ""
                                       << "ppd/.ppd";
}

void TestPpdLoader::missingFile()
{
    QFETCH(QString, createFolder);
    QFETCH(QString, model);
    QFETCH(QString, path);
    TestInstall install;
    QDir(install.folder()).rmdir("ppd");
    if (!createFolder.isEmpty())
        QDir(install.folder()).mkdir(createFolder);
    install.ripSpeed.addItem("left over");
    QCOMPARE(loadError(install, model),
             "Cannot open file \"" + install.folder() + path + "\". No such file or directory");
    QCOMPARE(install.ripSpeed.count(), 0);
}

void TestPpdLoader::fileFoundIgnoringCase()
{
    TestInstall install;
    QDir(install.folder()).rmdir("ppd");
    install.write("Ppd/Zorl3800.PPD", "*MaxMediaWidth: 720\n");
    install.load("zorl3800");
    QCOMPARE(install.model.MaxMediaWidth, 10.0);
}

void TestPpdLoader::curveListsAfterLoad()
{
    TestInstall install;
    install.writePpd("M", group("RipCurve1", "K3", {"K1", "K2", "K3"}) +
                              group("RipCurve2", "K1", {"K1", "K2"}));
    install.write("zorlane/M/Warm.zorl", "");
    install.curve1.addItem("Warm");
    install.curve1.setCurrentIndex(0);

    install.load("M");
    QCOMPARE(install.curve1.items(), (QStringList{"K3 text", "Warm"}));
    QCOMPARE(install.model.Curve1Values, (QStringList{"K3", "Warm"}));
    QCOMPARE(install.curve1.currentText(), "Warm");
    QCOMPARE(install.curve2.items(), (QStringList{"K1 text", "Warm"}));
    QCOMPARE(install.model.Curve2Values, (QStringList{"K1", "Warm"}));
    QCOMPARE(install.curve2.currentIndex(), 0);
}

void TestPpdLoader::curveFolderCreatedAndWatched()
{
    TestInstall install;
    install.writePpd("M", {"*ModelName: \"M\""});
    install.load("M");
    const QString folder = install.folder() + "Zorlane/M/";
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(install.watch.folder(), folder);

    QSignalSpy spy(&install.watch, &CurveFolderWatch::changed);
    install.write("Zorlane/M/New.zorl", "");
    QTRY_COMPARE(spy.count(), 1);
    install.loader.RebuildCurveLists(install.folder(), "M", {}, {});
    QCOMPARE(install.model.Curve1Values, QStringList{"New"});
}

void TestPpdLoader::modelEnumeration()
{
    TestInstall install;
    QCOMPARE(listPrintingModels(install.folder()), QStringList());
    QDir(install.folder()).rmdir("ppd");
    QCOMPARE(listPrintingModels(install.folder()), QStringList());

    for (const char *file :
         {"Zorl3800.ppd", "ZorlR2400.PPD", "a.ppd.ppd", "Zorl.Ppd", "notes.txt", "x.ppdx", "ppd"})
        install.write(QStringLiteral("PPD/") + file, "");
    QDir(install.folder()).mkpath("PPD/sub.ppd");
    QCOMPARE(listPrintingModels(install.folder()),
             (QStringList{"Zorl", "Zorl3800", "ZorlR2400", "a"}));
}

QTEST_GUILESS_MAIN(TestPpdLoader)
#include "tst_ppdloader.moc"
