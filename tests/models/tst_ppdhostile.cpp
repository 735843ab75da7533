#include "Dialogs.h"
#include "TestInstall.h"
#include "ZorError.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

// Damaged or malicious model files: each load ends in a ZorError or a usable model,
// quickly, and never crashes.
class TestPpdHostile : public QObject
{
    Q_OBJECT

private slots:
    void namedCases_data();
    void namedCases();
    void randomBytes();
    void randomKeywordSoup();

private:
    // Loads content as a model; returns the error message, or empty after a load that
    // succeeded (whose lists must then be in step with their boxes).
    QString loadWithinLimit(const QByteArray &content);
};

namespace {
constexpr int megabytes = 4 * 1024 * 1024;
constexpr qint64 limitMs = 2000;
} // namespace

QString TestPpdHostile::loadWithinLimit(const QByteArray &content)
{
    ScopedRecordingDialogs dialogs;
    TestInstall install;
    install.write("ppd/M.ppd", content);
    QElapsedTimer timer;
    timer.start();
    QString error;
    try {
        install.load("M");
    } catch (const ZorError &e) {
        error = e.message();
    }
    const qint64 elapsed = timer.elapsed();
    if (elapsed >= limitMs)
        qWarning("load took %lld ms", elapsed);
    [&] { QVERIFY(elapsed < limitMs); }();
    if (error.isEmpty())
        [&] { QVERIFY(install.listsInStep()); }();
    return error;
}

void TestPpdHostile::namedCases_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("errorStart"); // empty: the load must succeed

    const QByteArray big(megabytes, 'x');
    const QByteArray blanks(megabytes, ' ');
    const QByteArray digits(megabytes, '9');
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("only line ends") << QByteArray("\n\r\n\n") << "";
    QTest::newRow("only CRs") << QByteArray(1000, '\r') << "";
    QTest::newRow("NUL bytes") << QByteArray(1000, '\0') << "";
    QTest::newRow("long line without blanks") << "*PageSize" + big << "";
    QTest::newRow("long line of blanks") << blanks + "\n" + blanks << "";
    QTest::newRow("long keyword-like token") << "*OpenUI *" + big + "\n*CloseUI: x"
                                             << "";
    QTest::newRow("long option in a group")
        << "*OpenUI *PageSize\n*PageSize " + big + "/" + big + ": \"\"\n*CloseUI: *PageSize"
        << "";
    QTest::newRow("long quoted value, unterminated")
        << "*PaperDimension A/A: \"" + blanks + big << "";
    QTest::newRow("long number") << "*HWMargins: " + digits << "'9999";
    QTest::newRow("long product") << "*Product: \"(Zorlane " + big + ")\""
                                  << "";
    QTest::newRow("unterminated quote")
        << QByteArray("*PaperDimension Letter/Letter: \"612 792") << "";
    QTest::newRow("group never closed")
        << QByteArray("*OpenUI *PageSize: PickOne\n*DefaultPageSize: A\n*PageSize A/A: \"\"") << "";
    QTest::newRow("unused group never closed")
        << QByteArray("*OpenUI *PageRegion\n*HWMargins: 9 9 9 9\n") << "";
    QTest::newRow("many groups")
        << QByteArray("*OpenUI *RipSpeed\n*RipSpeed a/A: \"\"\n*CloseUI: *RipSpeed\n")
               .repeated(20000)
        << "";
    QTest::newRow("keywords alone")
        << QByteArray("*CustomPageSize\n*OpenUI\n*CloseUI\n*PageSize\n*PaperDimension\n"
                      "*ImageableArea\n*FileVersion\n*ParamCustomPageSize\n*StpDither\nTrue\n")
        << "";
    QTest::newRow("group keywords alone")
        << QByteArray("*OpenUI *PageSize\n*DefaultPageSize\n*PageSize\n*PageSize /\n"
                      "*PageSize :\n*CloseUI\n*CloseUI:\n")
        << "";
    QTest::newRow("margins alone") << QByteArray("*HWMargins\n") << "*HWMargins needs 4 numbers";
    QTest::newRow("width alone") << QByteArray("*MaxMediaWidth") << "*MaxMediaWidth needs 1 number";
    QTest::newRow("custom width alone")
        << QByteArray("*ParamCustomPageSize Width\n") << "*ParamCustomPageSize Width needs";
    QTest::newRow("product alone")
        << QByteArray("*Product\n") << "Unsupported Zorlane version found \"\"";
    QTest::newRow("fraction") << QByteArray("*MaxMediaHeight: 612.5\n")
                              << "'612.5' is not a valid integer value";
    QTest::newRow("quote inside number")
        << QByteArray("*MaxMediaHeight: 6\"12\n") << "'6\"12' is not a valid integer value";
}

void TestPpdHostile::namedCases()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, errorStart);
    const QString error = loadWithinLimit(content);
    if (QTest::currentTestFailed())
        return;
    if (errorStart.isEmpty())
        QCOMPARE(error, QString());
    else
        QVERIFY2(error.startsWith(errorStart), qPrintable(error.left(200)));
}

void TestPpdHostile::randomBytes()
{
    QRandomGenerator random(4711);
    for (int n = 0; n < 40; ++n) {
        QByteArray content(64 * 1024, Qt::Uninitialized);
        for (char &c : content)
            c = char(random.bounded(256));
        loadWithinLimit(content);
        if (QTest::currentTestFailed())
            return;
    }
}

// Lines put together from the pieces the reader reacts to, so that the damaged paths
// inside groups and number lines are taken often.
void TestPpdHostile::randomKeywordSoup()
{
    const QList<QByteArray> pieces{"*OpenUI",
                                   "*CloseUI",
                                   "*PageSize",
                                   "*StpDither",
                                   "*Resolution",
                                   "*InputSlot",
                                   "*RipFeed",
                                   "*RipCurve1",
                                   "*RipCurve2",
                                   "*MediaType",
                                   "*RipBlack",
                                   "*RipSpeed",
                                   "*DefaultPageSize",
                                   "*PaperDimension",
                                   "*ImageableArea",
                                   "*HWMargins",
                                   "*MaxMediaWidth",
                                   "*MaxMediaHeight",
                                   "*CustomPageSize",
                                   "True",
                                   "*FileVersion",
                                   "*ParamCustomPageSize",
                                   "Width",
                                   "Height",
                                   "points",
                                   "*Product",
                                   "(Zorlane",
                                   "3.0)",
                                   "72",
                                   "-9",
                                   "612.5",
                                   "A4",
                                   "Letter",
                                   "\"",
                                   ":",
                                   "/",
                                   " ",
                                   " ",
                                   " ",
                                   "\t",
                                   "\r",
                                   "\n",
                                   "\n",
                                   "\n",
                                   "\xff",
                                   QByteArray(1, '\0')};
    QRandomGenerator random(1966);
    for (int n = 0; n < 200; ++n) {
        QByteArray content;
        const int count = random.bounded(2000);
        for (int i = 0; i < count; ++i)
            content += pieces.at(random.bounded(int(pieces.size())));
        loadWithinLimit(content);
        if (QTest::currentTestFailed())
            return;
    }
}

QTEST_GUILESS_MAIN(TestPpdHostile)
#include "tst_ppdhostile.moc"
