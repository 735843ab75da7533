#include "InstancePaths.h"
#include "MailChannel.h"
#include "MailMessage.h"
#include "MailTestSupport.h"
#include "SingleInstanceGuard.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

// A second start hands over well within this; the hand-over's own limit is 5 s, so a
// start that waited for it would fail the check.
static constexpr qint64 PromptExitMs = 4000;

class TestHandOver : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void secondStartHandsOverInOrder_data();
    void secondStartHandsOverInOrder();
    void twoSecondStartsAtOnce();

    void secondGuardOfThisProcessSeesTheFirst();
    void otherProcessSeesTheRunningInstance();
    void runningInstanceInAnotherProcessReceives();
    void killedInstanceIsTakenOver();
    void instanceStillStartingIsWaitedFor();

    void noRunningInstanceFailsFast();
    void lockWithoutChannelFailsWithinTheTimeout();

private:
    std::unique_ptr<PrivateRuntimeDirectory> m_runtime;
};

static QStringList asArguments(const QList<QByteArray> &paths, bool hex)
{
    QStringList arguments = {QStringLiteral("handover")};
    if (hex)
        arguments << QStringLiteral("--hex");
    for (const QByteArray &path : paths)
        arguments << (hex ? QString::fromLatin1(path.toHex()) : QFile::decodeName(path));
    return arguments;
}

static QList<QByteArray> drain(MailChannel &channel)
{
    QList<QByteArray> messages;
    while (channel.hasMessage())
        messages.append(channel.read());
    return messages;
}

void TestHandOver::init()
{
    m_runtime = std::make_unique<PrivateRuntimeDirectory>();
    QVERIFY(m_runtime->isValid());
}

void TestHandOver::cleanup()
{
    m_runtime.reset();
}

void TestHandOver::secondStartHandsOverInOrder_data()
{
    QTest::addColumn<QList<QByteArray>>("paths");
    QTest::addColumn<bool>("hex");
    QTest::newRow("plain") << QList<QByteArray>{"/tmp/a.tif", "b.tif", "/tmp/c.TIFF"} << false;
    QTest::newRow("blanks, quotes, newline, empty")
        << QList<QByteArray>{"/tmp/with space.tif",   "quote\"d 'single'.tif", "new\nline.tif", "",
                             "\xc3\xa9t\xc3\xa9.tif", "$(touch /tmp/x).tif"}
        << false;
    QTest::newRow("100 KB path") << QList<QByteArray>{"/" + QByteArray(100 * 1000, 'p'), "/b.tif"}
                                 << false;
    QTest::newRow("not UTF-8") << QList<QByteArray>{"/tmp/\xff\xfe.tif", "caf\xe9.tif"} << true;
    QTest::newRow("no files") << QList<QByteArray>{} << false;
}

void TestHandOver::secondStartHandsOverInOrder()
{
    QFETCH(QList<QByteArray>, paths);
    QFETCH(bool, hex);
    const SingleInstanceGuard guard;
    QVERIFY(guard.holdsLock());
    MailChannel channel;
    QVERIFY(channel.create());
    CheckMailCounter window;
    channel.setCheckMailReceiver(&window);
    QSignalSpy arrived(&channel, &MailChannel::messagesArrived);
    QSignalSpy activation(&channel, &MailChannel::activationRequested);

    Peer second(asArguments(paths, hex));
    QElapsedTimer timer;
    timer.start();
    second.start();
    QTRY_VERIFY_WITH_TIMEOUT(second.finished(), 10000);
    QVERIFY2(timer.elapsed() < PromptExitMs, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process().exitCode(), 0);

    // Everything is queued by the time the second start has ended.
    QCOMPARE(drain(channel), commandLineMessages(paths));
    QCOMPARE(activation.count(), 1);
    QCOMPARE(arrived.count(), paths.isEmpty() ? 0 : 1);
    QTRY_COMPARE(window.count, paths.isEmpty() ? 0 : 1);
    QCoreApplication::processEvents();
    QCOMPARE(window.count, paths.isEmpty() ? 0 : 1);
}

void TestHandOver::twoSecondStartsAtOnce()
{
    const SingleInstanceGuard guard;
    MailChannel channel;
    QVERIFY(channel.create());
    QSignalSpy arrived(&channel, &MailChannel::messagesArrived);
    QSignalSpy activation(&channel, &MailChannel::activationRequested);

    constexpr int PerStart = 40;
    QList<QByteArray> pathsA, pathsB;
    for (int i = 0; i < PerStart; ++i) {
        pathsA << "/tmp/a-" + QByteArray::number(i) + ".tif";
        pathsB << "/tmp/b-" + QByteArray::number(i) + ".tif";
    }
    Peer a(asArguments(pathsA, false));
    Peer b(asArguments(pathsB, false));
    a.start();
    b.start();
    QTRY_VERIFY_WITH_TIMEOUT(a.finished() && b.finished(), 10000);
    QCOMPARE(a.process().exitCode(), 0);
    QCOMPARE(b.process().exitCode(), 0);

    // Each start's files stay together and in their order.
    const QList<QByteArray> messages = drain(channel);
    QCOMPARE(messages.size(), 2 * PerStart);
    const QList<QByteArray> first = messages.mid(0, PerStart);
    const QList<QByteArray> second = messages.mid(PerStart);
    const QList<QByteArray> expectedA = commandLineMessages(pathsA);
    const QList<QByteArray> expectedB = commandLineMessages(pathsB);
    QVERIFY((first == expectedA && second == expectedB) ||
            (first == expectedB && second == expectedA));
    QCOMPARE(activation.count(), 2);
    QCOMPARE(arrived.count(), 2);
}

void TestHandOver::secondGuardOfThisProcessSeesTheFirst()
{
    auto first = std::make_unique<SingleInstanceGuard>();
    QVERIFY(first->holdsLock());
    QVERIFY(!first->isAnotherInstance());
    QVERIFY(SingleInstanceGuard::lockHeldByThisProcess());
    {
        const SingleInstanceGuard second;
        QVERIFY(second.isAnotherInstance());
        QVERIFY(!second.holdsLock());
    }
    QVERIFY(QFileInfo(instanceLockPath()).isFile());
    first.reset();
    QVERIFY(!SingleInstanceGuard::lockHeldByThisProcess());
    const SingleInstanceGuard third;
    QVERIFY(third.holdsLock());
}

void TestHandOver::otherProcessSeesTheRunningInstance()
{
    {
        Peer probe({QStringLiteral("probe")});
        probe.start();
        QTRY_VERIFY_WITH_TIMEOUT(probe.finished(), 10000);
        QCOMPARE(probe.lines(), QList<QByteArray>{"first"});
    }
    const SingleInstanceGuard guard;
    QVERIFY(guard.holdsLock());
    Peer probe({QStringLiteral("probe")});
    probe.start();
    QTRY_VERIFY_WITH_TIMEOUT(probe.finished(), 10000);
    QCOMPARE(probe.lines(), QList<QByteArray>{"another"});
}

void TestHandOver::runningInstanceInAnotherProcessReceives()
{
    Peer running({QStringLiteral("hold")});
    running.start();
    QTRY_VERIFY_WITH_TIMEOUT(running.said("ready"), 10000);

    const SingleInstanceGuard guard;
    QVERIFY(guard.isAnotherInstance());
    QVERIFY(!guard.holdsLock());
    MailChannel channel;
    QVERIFY(!channel.create());

    QVERIFY(guard.handOver(QStringList{"/tmp/one.tif", "two words.tif"}));
    QTRY_VERIFY_WITH_TIMEOUT(running.said("activate"), 10000);
    QCOMPARE(running.lines(),
             QList<QByteArray>({"ready", QByteArray("\x02/tmp/one.tif").toHex(),
                                QByteArray("\x02two words.tif").toHex(), "activate"}));
}

void TestHandOver::killedInstanceIsTakenOver()
{
    Peer crashed({QStringLiteral("hold")});
    crashed.start();
    QTRY_VERIFY_WITH_TIMEOUT(crashed.said("ready"), 10000);
    {
        const SingleInstanceGuard second;
        QVERIFY(second.isAnotherInstance());
    }
    crashed.process().kill();
    QTRY_VERIFY_WITH_TIMEOUT(crashed.finished(), 10000);
    QCOMPARE(crashed.process().exitStatus(), QProcess::CrashExit);
    // Killed without a chance to clean up: both files are still there.
    QVERIFY(QFileInfo::exists(mailServerPath()));
    QVERIFY(QFileInfo::exists(instanceLockPath()));

    const SingleInstanceGuard guard;
    QVERIFY2(guard.holdsLock(), qPrintable(guard.errorString()));
    MailChannel channel;
    QVERIFY2(channel.create(), qPrintable(channel.errorString()));

    Peer next(asArguments({"/tmp/after.tif"}, false));
    next.start();
    QTRY_VERIFY_WITH_TIMEOUT(next.finished(), 10000);
    QCOMPARE(next.process().exitCode(), 0);
    QCOMPARE(drain(channel), QList<QByteArray>{"\x02/tmp/after.tif"});
}

void TestHandOver::instanceStillStartingIsWaitedFor()
{
    // The running instance holds the lock but opens its channel only at the end of its
    // start-up; a second start in between must not lose its files.
    Peer running({QStringLiteral("hold"), QStringLiteral("--wait")});
    running.start();
    QTRY_VERIFY_WITH_TIMEOUT(running.said("locked"), 10000);
    QVERIFY(!QFileInfo::exists(mailServerPath()));

    Peer second(asArguments({"/tmp/early.tif"}, false));
    second.start();
    QTRY_VERIFY_WITH_TIMEOUT(second.said("another"), 10000);
    running.process().write("go\n");
    QTRY_VERIFY_WITH_TIMEOUT(second.finished(), 10000);
    QCOMPARE(second.process().exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(running.said("activate"), 10000);
    QVERIFY(running.said(QByteArray("\x02/tmp/early.tif").toHex()));
}

void TestHandOver::noRunningInstanceFailsFast()
{
    QElapsedTimer timer;
    timer.start();
    Peer alone(asArguments({"/tmp/a.tif"}, false));
    alone.start();
    QTRY_VERIFY_WITH_TIMEOUT(alone.finished(), 10000);
    QCOMPARE(alone.process().exitCode(), 2);
    QVERIFY2(timer.elapsed() < PromptExitMs, qPrintable(QString::number(timer.elapsed())));

    // The first instance has nobody to hand over to.
    const SingleInstanceGuard guard;
    timer.restart();
    QVERIFY(!guard.handOver(QStringList{"/tmp/a.tif"}));
    // Without waiting for a server, a missing one fails at once.
    QVERIFY(!sendToRunningInstance(mailServerPath(), {"\x02/tmp/a.tif"}, 5000, false));
    QVERIFY(!sendToRunningInstance(QString(), {"\x02/tmp/a.tif"}, 5000, true));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
}

void TestHandOver::lockWithoutChannelFailsWithinTheTimeout()
{
    Peer running({QStringLiteral("hold-lock")});
    running.start();
    QTRY_VERIFY_WITH_TIMEOUT(running.said("ready"), 10000);

    const SingleInstanceGuard guard;
    QVERIFY(guard.isAnotherInstance());
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!guard.handOver(QStringList{"/tmp/a.tif"}, 300));
    QVERIFY2(timer.elapsed() >= 300 && timer.elapsed() < 3000,
             qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestHandOver)
#include "tst_handover.moc"
