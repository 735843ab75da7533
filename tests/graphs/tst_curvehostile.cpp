#include "CurveFileReader.h"
#include "CurveText.h"
#include "ZorError.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

using namespace curvetext;

// Damaged or malicious curve files and graph outputs: each read ends in a ZorError or a
// sound result, quickly, and never crashes.
class TestCurveHostile : public QObject
{
    Q_OBJECT

private slots:
    void namedCases_data();
    void namedCases();
    void randomBytes();
    void mutatedCurves();

private:
    // Reads text both ways; returns the curve reader's error, empty after a sound read.
    QString readWithinLimit(const QByteArray &text);
};

namespace {
constexpr qint64 limitMs = 3000;
constexpr int megabytes = 4 * 1024 * 1024;

void checkSound(const QList<CurveChannel> &channels)
{
    QVERIFY(!channels.isEmpty());
    QVERIFY(channels.size() <= MaxCurveChannels);
    for (const CurveChannel &channel : channels) {
        QVERIFY(channel.points.size() <= CurveLevels);
        for (qsizetype level = 0; level < channel.points.size(); ++level)
            QCOMPARE(channel.points[level].x(), level / 255.0 * 100.0);
    }
}
} // namespace

QString TestCurveHostile::readWithinLimit(const QByteArray &text)
{
    QElapsedTimer timer;
    timer.start();
    QString error;
    try {
        const auto channels = readCurveChannels(text, QStringLiteral("H.zorl"));
        [&] { checkSound(channels); }();
    } catch (const ZorError &e) {
        error = e.message();
        [&] { QVERIFY(!error.isEmpty()); }();
    }
    try {
        const Linearization result = readLinearization(text, QStringLiteral("H.out"));
        [&] { QVERIFY(result.found || result.points.isEmpty()); }();
    } catch (const ZorError &e) {
        [&] { QVERIFY(!e.message().isEmpty()); }();
    }
    const qint64 elapsed = timer.elapsed();
    if (elapsed >= limitMs)
        qWarning("reading took %lld ms", elapsed);
    [&] { QVERIFY(elapsed < limitMs); }();
    return error;
}

void TestCurveHostile::namedCases_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("errorStart"); // empty: the read must succeed

    QTest::newRow("nul bytes") << QByteArray(1000, '\0') << "Line 1 of \"H.zorl\" is not";
    QTest::newRow("nul in a value") << QByteArray("# Z K\n1\0002\n", 10) << "'1";
    QTest::newRow("only newlines") << QByteArray(megabytes, '\n') << "Line 1 of \"H.zorl\" is not";
    QTest::newRow("one huge header") << "# Z " + QByteArray(megabytes, ',') + "K" << QString();
    QTest::newRow("huge value line") << "# Z K\n" + QByteArray(megabytes, '9') << "'9999999999";
    QTest::newRow("comments without end") << "# Z K\n" + QByteArray(megabytes, '#') << QString();
    QTest::newRow("many comment lines")
        << "# Z K\n" + QByteArray("#\n").repeated(megabytes / 2) << QString();
    QTest::newRow("carriage returns only") << "# Z K\n" + QByteArray(megabytes, '\r') << "'\r";
    QTest::newRow("high bytes in the list") << QByteArray("# Z \xff\xfe\x80,K\n") << QString();
    QTest::newRow("invalid UTF-8 value") << QByteArray("# Z K\n\xc3\x28\n") << "'";
    QTest::newRow("long names run past the end") << QByteArray("# Z LLK") << QString();
    QTest::newRow("values of the eighth channel, then more")
        << curve("1 2 3 4 5 6 7 8", QList<QList<int>>(8, ramp(1))) + "1\n"
        << "Line 2059 of \"H.zorl\" holds a value after";
    QTest::newRow("marker and a huge pair line")
        << "LINEARIZE_CURVE\n" + QByteArray("1 ").repeated(megabytes / 2)
        << "Line 1 of \"H.zorl\" is not";
}

void TestCurveHostile::namedCases()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, errorStart);
    const QString error = readWithinLimit(text);
    if (errorStart.isEmpty())
        QCOMPARE(error, QString());
    else
        QVERIFY2(error.startsWith(errorStart), qPrintable(error));
    QVERIFY(error.size() < 300);
}

void TestCurveHostile::randomBytes()
{
    QRandomGenerator random(20261208);
    for (int round = 0; round < 300; ++round) {
        QByteArray text(int(random.bounded(1, 4000)), '\0');
        for (char &c : text)
            c = char(random.bounded(256));
        if (round % 2)
            text.prepend("# Z K,C\n");
        readWithinLimit(text);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

// A valid curve with a few bytes changed, inserted or removed: the closest a damaged file
// gets to a real one.
void TestCurveHostile::mutatedCurves()
{
    const QByteArray valid =
        curve("K,C,LLK", {ramp(65535), ramp(3000), zeros()}) + "LINEARIZE_CURVE\n0 0\n255 65535\n";
    const QByteArray alphabet("0123456789 ,#\n\r-+KCLMPGx\t");
    QRandomGenerator random(7);
    for (int round = 0; round < 400; ++round) {
        QByteArray text = valid;
        for (int change = int(random.bounded(1, 8)); change > 0; --change) {
            const int at = int(random.bounded(int(text.size())));
            const char c = alphabet.at(int(random.bounded(int(alphabet.size()))));
            switch (random.bounded(3)) {
            case 0:
                text[at] = c;
                break;
            case 1:
                text.insert(at, c);
                break;
            default:
                text.remove(at, 1);
                break;
            }
        }
        readWithinLimit(text);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

QTEST_APPLESS_MAIN(TestCurveHostile)
#include "tst_curvehostile.moc"
