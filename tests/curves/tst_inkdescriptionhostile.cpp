#include "InkDescription.h"
#include "InkTestModels.h"
#include "ZorError.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

using namespace inktest;

// Damaged or malicious ink descriptions and PPD files: every read ends quickly in a sound
// description and at most the error limit's report, never in a crash.
class TestInkDescriptionHostile : public QObject
{
    Q_OBJECT

private slots:
    void namedCases_data();
    void namedCases();
    void randomBytes();
    void randomPpdBytes();
};

namespace {
constexpr qint64 limitMs = 3000;
constexpr int megabytes = 4 * 1024 * 1024;

struct Outcome
{
    InkDescription description;
    InkDescriptionLoad load;
};

Outcome readWithinLimit(const QByteArray &text)
{
    QElapsedTimer timer;
    timer.start();
    Outcome outcome{fresh(QStringLiteral("Four CMYK")), {}};
    outcome.load = readInkDescription(text, outcome.description, models(), inkSetOf);
    [&] {
        QVERIFY2(timer.elapsed() < limitMs, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(outcome.load.errors.size() <= 11);
        QVERIFY(outcome.description.inkCount >= 1 && outcome.description.inkCount <= MaxInkSlots);
        // What was read must be writable, and the written text must read without errors.
        const QByteArray written = inkDescriptionText(outcome.description, QStringLiteral("h"));
        InkDescription again = fresh(QStringLiteral("Four CMYK"));
        const QStringList errors = readInkDescription(written, again, models(), inkSetOf).errors;
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
        QCOMPARE(inkDescriptionText(again, QStringLiteral("h")), written);
    }();
    return outcome;
}
} // namespace

void TestInkDescriptionHostile::namedCases_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("errorCount");
    QTest::addColumn<QString>("boost");
    QTest::newRow("empty") << QByteArray() << 0 << "100";
    QTest::newRow("NUL bytes") << QByteArray("BOOST_K=1\0\0\0", 12) << 0
                               << QString::fromLatin1("1\0\0\0", 4);
    QTest::newRow("NUL in keyword") << QByteArray("BOO\0ST_K=1\n", 11) << 1 << "100";
    QTest::newRow("no line ends") << QByteArray("BOOST_K=1 PRINTER=Seven PHOTOCMYK7 LIMIT_LK=3")
                                  << 0 << "1 PRINTER=Seven PHOTOCMYK7 LIMIT_LK=3";
    QTest::newRow("lone CRs") << QByteArray("BOOST_K=1\rLIMIT_K=2\r\rJUNK\r") << 1 << "1";
    QTest::newRow("huge keyword line") << QByteArray(megabytes, 'A') << 1 << "100";
    QTest::newRow("huge value") << "BOOST_K=" + QByteArray(megabytes, 'x') << 0
                                << QString(megabytes, u'x');
    QTest::newRow("huge linearization")
        << "LINEARIZE=\"" + QByteArray(megabytes, '9') + " 1 2" << 0 << "100";
    QTest::newRow("linearization of empty lines")
        << "LINEARIZE=\"" + QByteArray(megabytes / 4, '\n') + "BOOST_K=5" << 0 << "100";
    QTest::newRow("many short lines") << QByteArray(megabytes, '\n') << 0 << "100";
    QTest::newRow("only binary") << QByteArray("\xff\xfe\x80\x01\x7f\r\n\x9b", 8) << 0 << "100";
    QTest::newRow("underscores") << QByteArray("_\n__\n_1\nGRAY_INK__=K\n") << 4 << "100";
}

void TestInkDescriptionHostile::namedCases()
{
    QFETCH(QByteArray, text);
    QFETCH(int, errorCount);
    QFETCH(QString, boost);
    const Outcome outcome = readWithinLimit(text);
    QCOMPARE(outcome.load.errors.size(), errorCount);
    QCOMPARE(outcome.description.boostK, boost);
}

void TestInkDescriptionHostile::randomBytes()
{
    QRandomGenerator generator(20261208);
    const QByteArray pieces[] = {"PRINTER=Seven PHOTOCMYK7\r\n",
                                 "LINEARIZE=\"",
                                 "GRAY_INK_",
                                 "CURVE_K=\"",
                                 "UC_NEUTRALIZER=YES\r\n",
                                 "=",
                                 "\"",
                                 "\r\n"};
    for (int round = 0; round < 300; ++round) {
        QByteArray text;
        const int length = int(generator.bounded(2000));
        while (text.size() < length) {
            if (generator.bounded(4) == 0)
                text += pieces[generator.bounded(int(std::size(pieces)))];
            else
                text += char(generator.bounded(256));
        }
        readWithinLimit(text);
        if (QTest::currentTestFailed())
            qFatal("failed on round %d", round);
    }
}

void TestInkDescriptionHostile::randomPpdBytes()
{
    QRandomGenerator generator(7);
    for (int round = 0; round < 300; ++round) {
        QByteArray text = round % 2 ? "*%INKS " : "";
        const int length = int(generator.bounded(200));
        while (text.size() < length)
            text +=
                generator.bounded(3) ? "K,LK,"[generator.bounded(5)] : char(generator.bounded(256));
        try {
            const QStringList inks = inkSetFromPpd(text, QStringLiteral("M"));
            QVERIFY(!inks.isEmpty() && inks.size() <= MaxInkSlots);
            for (const QString &ink : inks)
                QVERIFY(!inkDisplayName(ink).isEmpty());
        } catch (const ZorError &e) {
            QVERIFY(e.message().startsWith(QStringLiteral("The printing model \"M\"")));
        }
    }
}

QTEST_GUILESS_MAIN(TestInkDescriptionHostile)
#include "tst_inkdescriptionhostile.moc"
