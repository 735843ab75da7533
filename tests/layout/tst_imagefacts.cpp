#include "PathCaption.h"
#include "TImageFacts.h"

#include <QTest>

// The image facts as plain data: the pixel layout classes, the validation the page
// layout runs on them, and the shortening of the image path for its label.
class TestImageFacts : public QObject
{
    Q_OBJECT

private slots:
    void startUpValues();
    void failedFacts();
    void layoutClass_data();
    void layoutClass();
    void validation_data();
    void validation();
    void shortenedCaption_data();
    void shortenedCaption();
    void captionsTriedInOrder();
};

Q_DECLARE_METATYPE(TPixelLayout)

void TestImageFacts::startUpValues()
{
    const TImageFacts facts;
    QCOMPARE(facts.Loaded, false);
    QCOMPARE(facts.Width, 1);
    QCOMPARE(facts.Height, 1);
    QCOMPARE(facts.BitsPerSample, qint16(8));
    QCOMPARE(facts.ExtraSamples, 0);
    QCOMPARE(facts.ResolutionUnit, 2);
    QCOMPARE(facts.XResolution, 1.0);
    QCOMPARE(facts.YResolution, 1.0);
    QCOMPARE(facts.PixelLayout, TPixelLayout::Bits8);
    // The start-up facts raise no image warning of their own.
    QVERIFY(imageWarnings(validateImageFacts(facts)).isEmpty());
}

void TestImageFacts::failedFacts()
{
    const TImageFacts facts = TImageFacts::failed();
    QCOMPARE(facts.Loaded, true);
    QCOMPARE(facts.Width, 0);
    QCOMPARE(facts.Height, 0);
    QCOMPARE(facts.BitsPerSample, qint16(0));
    QCOMPARE(facts.ResolutionUnit, 0);
    QCOMPARE(facts.XResolution, 0.0);
    QCOMPARE(facts.YResolution, 0.0);
    QCOMPARE(facts.PixelLayout, TPixelLayout::Device);
    QCOMPARE(imageWarnings(validateImageFacts(facts)),
             QStringList({InvalidTagsWarning, FormatNotSupportedWarning}));
}

void TestImageFacts::layoutClass_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("extra");
    QTest::addColumn<int>("bits");
    QTest::addColumn<TPixelLayout>("layout");
    QTest::addColumn<bool>("supported");

    QTest::newRow("bilevel") << 1 << 0 << 1 << TPixelLayout::Bits1 << true;
    QTest::newRow("grey 4") << 1 << 0 << 4 << TPixelLayout::Bits4 << true;
    QTest::newRow("grey 8") << 1 << 0 << 8 << TPixelLayout::Bits8 << true;
    QTest::newRow("grey 16") << 1 << 0 << 16 << TPixelLayout::Bits16 << true;
    QTest::newRow("grey+alpha 8") << 2 << 1 << 8 << TPixelLayout::Bits8 << true;
    QTest::newRow("grey+alpha 8 without ExtraSamples")
        << 2 << 0 << 8 << TPixelLayout::Bits16 << true;
    QTest::newRow("RGB 8") << 3 << 0 << 8 << TPixelLayout::Bits24 << true;
    QTest::newRow("RGB 16") << 3 << 0 << 16 << TPixelLayout::Bits24 << true;
    QTest::newRow("RGBA 8 with ExtraSamples") << 4 << 1 << 8 << TPixelLayout::Bits24 << true;
    QTest::newRow("RGBA 8 without ExtraSamples") << 4 << 0 << 8 << TPixelLayout::Bits32 << false;
    QTest::newRow("RGBA 16 without ExtraSamples") << 4 << 0 << 16 << TPixelLayout::Bits32 << false;
    QTest::newRow("grey 2") << 1 << 0 << 2 << TPixelLayout::Custom << false;
    QTest::newRow("grey 12") << 1 << 0 << 12 << TPixelLayout::Custom << false;
    QTest::newRow("RGB 32") << 3 << 0 << 32 << TPixelLayout::Custom << false;
    QTest::newRow("tags absent") << 0 << 0 << 0 << TPixelLayout::Device << false;
    QTest::newRow("more extra than samples") << 1 << 2 << 8 << TPixelLayout::Custom << false;
}

void TestImageFacts::layoutClass()
{
    QFETCH(int, samples);
    QFETCH(int, extra);
    QFETCH(int, bits);
    QFETCH(TPixelLayout, layout);
    QFETCH(bool, supported);
    QCOMPARE(pixelLayoutFor(samples, extra, bits), layout);
    QCOMPARE(isSupportedLayout(layout), supported);
}

void TestImageFacts::validation_data()
{
    QTest::addColumn<double>("xres");
    QTest::addColumn<double>("yres");
    QTest::addColumn<int>("unit");
    QTest::addColumn<TPixelLayout>("layout");
    QTest::addColumn<double>("effectiveX");
    QTest::addColumn<double>("effectiveY");
    QTest::addColumn<bool>("inCm");
    QTest::addColumn<QStringList>("warnings");

    const QStringList none;
    const QStringList tags{InvalidTagsWarning};
    const QStringList format{FormatNotSupportedWarning};
    QTest::newRow("300 dpi grey") << 300.0 << 300.0 << 2 << TPixelLayout::Bits8 << 300.0 << 300.0
                                  << false << none;
    QTest::newRow("per centimetre")
        << 118.11 << 118.11 << 3 << TPixelLayout::Bits16 << 118.11 << 118.11 << true << none;
    QTest::newRow("no resolution tags")
        << 0.0 << 0.0 << 0 << TPixelLayout::Bits8 << 72.0 << 72.0 << false << tags;
    QTest::newRow("x missing only")
        << 0.0 << 200.0 << 2 << TPixelLayout::Bits8 << 72.0 << 200.0 << false << tags;
    QTest::newRow("negative y") << 300.0 << -300.0 << 2 << TPixelLayout::Bits8 << 300.0 << 72.0
                                << false << tags;
    QTest::newRow("no absolute unit")
        << 300.0 << 300.0 << 1 << TPixelLayout::Bits8 << 300.0 << 300.0 << false << tags;
    QTest::newRow("unit 4 is not centimetres")
        << 300.0 << 300.0 << 4 << TPixelLayout::Bits8 << 300.0 << 300.0 << false << tags;
    QTest::newRow("everything wrong, listed once")
        << -1.0 << 0.0 << 0 << TPixelLayout::Bits32 << 72.0 << 72.0 << false
        << QStringList{InvalidTagsWarning, FormatNotSupportedWarning};
    QTest::newRow("32-bit") << 300.0 << 300.0 << 2 << TPixelLayout::Bits32 << 300.0 << 300.0
                            << false << format;
    QTest::newRow("15-bit") << 300.0 << 300.0 << 2 << TPixelLayout::Bits15 << 300.0 << 300.0
                            << false << format;
    QTest::newRow("24-bit") << 300.0 << 300.0 << 3 << TPixelLayout::Bits24 << 300.0 << 300.0 << true
                            << none;
    QTest::newRow("1-bit") << 300.0 << 300.0 << 2 << TPixelLayout::Bits1 << 300.0 << 300.0 << false
                           << none;
}

void TestImageFacts::validation()
{
    QFETCH(double, xres);
    QFETCH(double, yres);
    QFETCH(int, unit);
    QFETCH(TPixelLayout, layout);
    TImageFacts facts;
    facts.Loaded = true;
    facts.XResolution = xres;
    facts.YResolution = yres;
    facts.ResolutionUnit = unit;
    facts.PixelLayout = layout;
    const TImageValidation v = validateImageFacts(facts);
    QTEST(v.EffectiveResolutionX, "effectiveX");
    QTEST(v.EffectiveResolutionY, "effectiveY");
    QTEST(v.ResolutionInCm, "inCm");
    QTEST(imageWarnings(v), "warnings");
    QCOMPARE(v.TagsInvalid, imageWarnings(v).contains(InvalidTagsWarning));
    QCOMPARE(v.FormatSupported, !imageWarnings(v).contains(FormatNotSupportedWarning));
}

namespace {
// A label font where every character is 7 pixels wide.
int sevenPerChar(const QString &text)
{
    return int(text.size()) * 7;
}
} // namespace

void TestImageFacts::shortenedCaption_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("chars"); // the label's width in characters
    QTest::addColumn<QString>("caption");

    const QString windows = QStringLiteral("C:\\Photos\\2006\\May\\print.tif");
    QTest::newRow("fits whole") << windows << 60 << windows;
    QTest::newRow("fits exactly") << windows << int(windows.size()) << windows;
    QTest::newRow("one folder dropped")
        << windows << 25 << QStringLiteral("C:\\...\\2006\\May\\print.tif");
    QTest::newRow("two folders dropped")
        << windows << 24 << QStringLiteral("C:\\...\\May\\print.tif");
    QTest::newRow("down to the file name") << windows << 16 << QStringLiteral("C:\\...\\print.tif");
    QTest::newRow("file name alone too wide")
        << windows << 5 << QStringLiteral("C:\\...\\print.tif");

    const QString unix = QStringLiteral("/home/anna/Photos/2006/print.tif");
    QTest::newRow("unix fits") << unix << 40 << unix;
    QTest::newRow("unix one folder")
        << unix << 31 << QStringLiteral("/.../anna/Photos/2006/print.tif");
    QTest::newRow("unix three folders") << unix << 20 << QStringLiteral("/.../2006/print.tif");
    QTest::newRow("unix file name") << unix << 3 << QStringLiteral("/.../print.tif");
    QTest::newRow("no separator") << QStringLiteral("a-very-long-file-name.tif") << 5
                                  << QStringLiteral("a-very-long-file-name.tif");
    QTest::newRow("nothing behind the prefix")
        << QStringLiteral("C:\\a-very-long-file-name.tif") << 5
        << QStringLiteral("C:\\a-very-long-file-name.tif");
    QTest::newRow("relative unix path") << QStringLiteral("scans/2006/may/print.tif") << 18
                                        << QStringLiteral("scans/.../print.tif");
}

void TestImageFacts::shortenedCaption()
{
    QFETCH(QString, path);
    QFETCH(int, chars);
    QTEST(ShortenPathCaption(path, chars * 7, sevenPerChar), "caption");
}

void TestImageFacts::captionsTriedInOrder()
{
    QStringList tried;
    const auto record = [&](const QString &text) {
        tried << text;
        return 10000;
    };
    const QString caption =
        ShortenPathCaption(QStringLiteral("C:\\Photos\\2006\\May\\print.tif"), 418, record);
    QCOMPARE(caption, QStringLiteral("C:\\...\\print.tif"));
    QCOMPARE(tried, QStringList({QStringLiteral("C:\\Photos\\2006\\May\\print.tif"),
                                 QStringLiteral("C:\\...\\2006\\May\\print.tif"),
                                 QStringLiteral("C:\\...\\May\\print.tif"),
                                 QStringLiteral("C:\\...\\print.tif")}));
}

QTEST_APPLESS_MAIN(TestImageFacts)
#include "tst_imagefacts.moc"
