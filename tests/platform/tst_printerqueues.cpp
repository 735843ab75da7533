#include "PrinterQueues.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cups/cups.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// Runs against the private scheduler of the fixture "cups" (CUPS_SERVER is set by ctest).
// The user's side of CUPS (lpoptions with instances and a personal default) lives in a
// temporary HOME, so the machine's own settings do not leak in and nothing leaks out.
class TestPrinterQueues : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void listsTheServersQueues_data();
    void listsTheServersQueues();
    void unreachableServerGivesEmptyListAtOnce_data();
    void unreachableServerGivesEmptyListAtOnce();
    void silentServerIsGivenUp();
    void instanceCanBeReplaced();
    void jobsAreCaptured_data();
    void jobsAreCaptured();

private:
    void pointAt(const QByteArray &server);

    QTemporaryDir m_client;
    QStringList m_queues;
    QByteArray m_server;
};

void TestPrinterQueues::initTestCase()
{
    m_server = qgetenv("CUPS_SERVER");
    QVERIFY2(!m_server.isEmpty(), "CUPS_SERVER is not set; run this test through ctest");
    m_queues = QString::fromUtf8(DIRIDU_TEST_CUPS_QUEUES).split(QLatin1Char(','));
    QVERIFY(m_queues.size() >= 2);

    // libcups reads these once, at its first call in the thread, so set them first.
    QVERIFY(m_client.isValid());
    QVERIFY(QDir(m_client.path()).mkdir(QStringLiteral("serverroot")));
    qputenv("HOME", QFile::encodeName(m_client.path()));
    qputenv("CUPS_SERVERROOT", QFile::encodeName(m_client.filePath(QStringLiteral("serverroot"))));
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
}

void TestPrinterQueues::init()
{
    QDir(m_client.filePath(QStringLiteral(".cups"))).removeRecursively();
    pointAt(m_server);
}

void TestPrinterQueues::pointAt(const QByteArray &server)
{
    qputenv("CUPS_SERVER", server);
    cupsSetServer(nullptr); // forget the server chosen before, read CUPS_SERVER again
}

void TestPrinterQueues::listsTheServersQueues_data()
{
    QTest::addColumn<QList<QStringList>>("lpoptionsCalls");
    QTest::addColumn<QStringList>("instances");
    QTest::addColumn<QString>("defaultName");

    const QString first = m_queues.first();
    const QString other = m_queues.at(1);
    const QString draft = m_queues.last() + QStringLiteral("/draft");
    const QString utf8 = m_queues.last() + QStringLiteral("/Entwürfe_ß");
    const QStringList makeDraft{"-p", draft, "-o", "number-up=2"};

    QTest::newRow("server queues only") << QList<QStringList>{} << QStringList{} << first;
    QTest::newRow("instance") << QList<QStringList>{makeDraft} << QStringList{draft} << first;
    QTest::newRow("instance as the user's default")
        << QList<QStringList>{makeDraft, {"-d", draft}} << QStringList{draft} << draft;
    QTest::newRow("queue as the user's default")
        << QList<QStringList>{{"-d", other}} << QStringList{} << other;
    QTest::newRow("instance named in UTF-8")
        << QList<QStringList>{{"-p", utf8, "-o", "number-up=2"}} << QStringList{utf8} << first;
}

void TestPrinterQueues::listsTheServersQueues()
{
    QFETCH(QList<QStringList>, lpoptionsCalls);
    QFETCH(QStringList, instances);
    QFETCH(QString, defaultName);

    for (const QStringList &arguments : lpoptionsCalls) {
        QProcess lpoptions;
        lpoptions.start(QStringLiteral("lpoptions"), arguments);
        QVERIFY2(lpoptions.waitForFinished(10000), "lpoptions did not finish");
        QVERIFY2(lpoptions.exitStatus() == QProcess::NormalExit && lpoptions.exitCode() == 0,
                 lpoptions.readAllStandardError().constData());
    }

    const PrinterQueueList list = CupsPrinterQueues().queues();

    QStringList expected = m_queues + instances;
    expected.sort();
    QStringList names = list.names;
    names.sort();
    QCOMPARE(names, expected);
    QCOMPARE(list.defaultName, defaultName);
}

void TestPrinterQueues::unreachableServerGivesEmptyListAtOnce_data()
{
    QTest::addColumn<QString>("kind");

    QTest::newRow("missing socket") << "missing";
    QTest::newRow("missing folder") << "folder";
    QTest::newRow("plain file") << "file";
    QTest::newRow("socket without a listener") << "unlistened";
}

void TestPrinterQueues::unreachableServerGivesEmptyListAtOnce()
{
    QFETCH(QString, kind);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(QStringLiteral("cups.sock"));
    int fd = -1;
    if (kind == QLatin1String("folder")) {
        path = dir.filePath(QStringLiteral("gone/cups.sock"));
    } else if (kind == QLatin1String("file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == QLatin1String("unlistened")) {
        // Bound but not listening: what a scheduler that died leaves behind.
        fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray encoded = QFile::encodeName(path);
        QVERIFY(size_t(encoded.size()) < sizeof address.sun_path);
        qstrcpy(address.sun_path, encoded.constData());
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    }
    pointAt(QFile::encodeName(path));

    QElapsedTimer timer;
    timer.start();
    const PrinterQueueList list = CupsPrinterQueues().queues();
    const qint64 elapsed = timer.elapsed();
    if (fd >= 0)
        ::close(fd);

    QVERIFY2(list.names.isEmpty(), qPrintable(list.names.join(QLatin1Char(' '))));
    QVERIFY(list.defaultName.isEmpty());
    QVERIFY2(elapsed < 2000, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
}

void TestPrinterQueues::silentServerIsGivenUp()
{
    // Accepts connections (the system queues them) but never answers, like a hung scheduler.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QLocalServer silent;
    const QString path = dir.filePath(QStringLiteral("cups.sock"));
    QVERIFY2(silent.listen(path), qPrintable(silent.errorString()));
    pointAt(QFile::encodeName(path));

    QElapsedTimer timer;
    timer.start();
    const PrinterQueueList list = CupsPrinterQueues().queues();
    const qint64 elapsed = timer.elapsed();

    QVERIFY(silent.waitForNewConnection(0)); // it was asked, and did not answer
    QVERIFY(list.names.isEmpty());
    QVERIFY(list.defaultName.isEmpty());
    QVERIFY2(elapsed < CupsPrinterQueues::AnswerBudgetMs + 3000,
             qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
}

void TestPrinterQueues::instanceCanBeReplaced()
{
    FixedPrinterQueues fixed({QStringLiteral("Stylus R2400"), QStringLiteral("Office")},
                             QStringLiteral("Office"));
    PrinterQueues::setInstance(&fixed);
    const PrinterQueueList list = PrinterQueues::instance().queues();
    PrinterQueues::setInstance(nullptr);

    QCOMPARE(list.names, QStringList({QStringLiteral("Stylus R2400"), QStringLiteral("Office")}));
    QCOMPARE(list.defaultName, QStringLiteral("Office"));
    QCOMPARE(fixed.calls(), 1);
    QVERIFY(dynamic_cast<CupsPrinterQueues *>(&PrinterQueues::instance()));
}

// The fixture's queues hand each raw job, byte for byte, to <dir>/<queue>.out; the tests
// that print rely on it.
void TestPrinterQueues::jobsAreCaptured_data()
{
    QTest::addColumn<QStringList>("lpArguments");
    QTest::addColumn<bool>("fromStandardInput");
    QTest::addColumn<int>("copies");

    QTest::newRow("file") << QStringList{} << false << 1;
    QTest::newRow("two copies of a file") << QStringList{"-n", "2"} << false << 2;
    QTest::newRow("standard input") << QStringList{} << true << 1;
}

void TestPrinterQueues::jobsAreCaptured()
{
    QFETCH(QStringList, lpArguments);
    QFETCH(bool, fromStandardInput);
    QFETCH(int, copies);

    // Printer data is binary: every byte value, and a mark that no other job carries.
    QByteArray job = QTest::currentDataTag() + QByteArray(" ") +
                     QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + '\n';
    for (int byte = 0; byte < 256; ++byte)
        job += char(byte);
    QByteArray expected;
    for (int i = 0; i < copies; ++i)
        expected += job;

    const QString queue = m_queues.last();
    QFile capture(QDir(QStringLiteral(DIRIDU_TEST_CUPS_DIR)).filePath(queue + ".out"));
    QVERIFY2(capture.exists(), qPrintable(capture.fileName()));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QStringList arguments = QStringList{"-d", queue} + lpArguments;
    QProcess lp;
    if (fromStandardInput) {
        lp.start(QStringLiteral("lp"), arguments);
        QVERIFY(lp.waitForStarted());
        lp.write(job);
        lp.closeWriteChannel();
    } else {
        QFile file(dir.filePath(QStringLiteral("job.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(job);
        file.close();
        lp.start(QStringLiteral("lp"), arguments << file.fileName());
    }
    QVERIFY2(lp.waitForFinished(10000), "lp did not finish");
    QVERIFY2(lp.exitStatus() == QProcess::NormalExit && lp.exitCode() == 0,
             lp.readAllStandardError().constData());

    const auto captured = [&] {
        if (!capture.open(QIODevice::ReadOnly))
            return QByteArray();
        const QByteArray all = capture.readAll();
        capture.close();
        return all;
    };
    QTRY_VERIFY_WITH_TIMEOUT(captured().contains(expected), 10000);
    QVERIFY(!captured().contains(expected + job)); // no more copies than asked for
}

QTEST_GUILESS_MAIN(TestPrinterQueues)
#include "tst_printerqueues.moc"
