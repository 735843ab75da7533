#include "InstancePaths.h"
#include "MailChannel.h"
#include "MailMessage.h"
#include "MailTestSupport.h"
#include "SingleInstanceGuard.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QtEndian>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class TestMailChannel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void runtimeDirectoryIsCreatedPrivate();
    void createNeedsTheInstanceLock();
    void liveServerIsNotTakenOver_data();
    void liveServerIsNotTakenOver();
    void leftoverSocketFileIsReplaced_data();
    void leftoverSocketFileIsReplaced();
    void closingRemovesTheSocket();

    void writeWithoutSocketIsQueued();
    void keepsOrderAndBoundaries_data();
    void keepsOrderAndBoundaries();
    void readingAnEmptyQueueDoesNotWait();
    void manyWritersKeepTheirOrder();
    void queuesCommandLineFiles();
    void commandLineFilesNeedNoSocket();
    void queuedPathsFollowTheQueue();

    void batchFromSocketIsQueuedAndAcknowledged();
    void activationAloneQueuesNothing();
    void hostileStreams_data();
    void hostileStreams();

private:
    bool exchangeGoodBatch(const QByteArray &message);

    std::unique_ptr<PrivateRuntimeDirectory> m_runtime;
    std::unique_ptr<SingleInstanceGuard> m_guard;
    std::unique_ptr<MailChannel> m_channel;
};

static QByteArray lengthHeader(quint32 length)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToBigEndian(length, bytes.data());
    return bytes;
}

static QList<QByteArray> drain(MailChannel &channel)
{
    QList<QByteArray> messages;
    while (channel.hasMessage())
        messages.append(channel.read());
    return messages;
}

void TestMailChannel::init()
{
    m_runtime = std::make_unique<PrivateRuntimeDirectory>();
    QVERIFY(m_runtime->isValid());
    m_guard = std::make_unique<SingleInstanceGuard>();
    QVERIFY2(m_guard->holdsLock(), qPrintable(m_guard->errorString()));
    m_channel = std::make_unique<MailChannel>();
}

void TestMailChannel::cleanup()
{
    m_channel.reset();
    m_guard.reset();
    m_runtime.reset();
}

void TestMailChannel::runtimeDirectoryIsCreatedPrivate()
{
    const QFileInfo directory(runtimeDirectory());
    QCOMPARE(directory.absoluteFilePath(), m_runtime->path());
    QVERIFY(directory.isDir());
    QCOMPARE(directory.permissions() & 0x0077, QFile::Permissions());
    QCOMPARE(instanceLockPath(), m_runtime->path() + "/DIRIDU.MUTEX");
    QCOMPARE(mailServerPath(), m_runtime->path() + "/DiriduMail");
}

void TestMailChannel::createNeedsTheInstanceLock()
{
    m_guard.reset();
    QVERIFY(!SingleInstanceGuard::lockHeldByThisProcess());
    QVERIFY(!m_channel->create());
    QVERIFY(!m_channel->isListening());
    QVERIFY(!QFileInfo::exists(mailServerPath()));

    m_guard = std::make_unique<SingleInstanceGuard>();
    QVERIFY(m_channel->create());
    QVERIFY(m_channel->isListening());
    QVERIFY(QFileInfo::exists(mailServerPath()));
}

void TestMailChannel::liveServerIsNotTakenOver_data()
{
    QTest::addColumn<bool>("ours");
    QTest::newRow("another channel of this process") << true;
    QTest::newRow("some other server") << false;
}

void TestMailChannel::liveServerIsNotTakenOver()
{
    QFETCH(bool, ours);
    MailChannel first;
    QLocalServer foreign;
    if (ours)
        QVERIFY(first.create());
    else
        QVERIFY(foreign.listen(mailServerPath()));

    QVERIFY(!m_channel->create());
    QVERIFY(!m_channel->isListening());

    // The one that was there still answers.
    QLocalSocket client;
    client.connectToServer(mailServerPath());
    QVERIFY(client.waitForConnected(1000));
    if (!ours)
        QTRY_VERIFY(foreign.hasPendingConnections());
}

void TestMailChannel::leftoverSocketFileIsReplaced_data()
{
    QTest::addColumn<bool>("socketFile");
    QTest::newRow("socket nobody listens on") << true;
    QTest::newRow("plain file") << false;
}

void TestMailChannel::leftoverSocketFileIsReplaced()
{
    QFETCH(bool, socketFile);
    const QByteArray path = QFile::encodeName(mailServerPath());
    if (socketFile) {
        // What a killed instance leaves: a bound socket file without a listener.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QVERIFY(size_t(path.size()) < sizeof(address.sun_path));
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
        ::close(fd);
    } else {
        QFile file(mailServerPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFileInfo::exists(mailServerPath()));

    QVERIFY2(m_channel->create(), qPrintable(m_channel->errorString()));
    QVERIFY(exchangeGoodBatch(makeMailMessage(MailCode::Open, QByteArray("/tmp/x.tif"))));
}

void TestMailChannel::closingRemovesTheSocket()
{
    QVERIFY(m_channel->create());
    QVERIFY(QFileInfo::exists(mailServerPath()));
    m_channel.reset();
    QVERIFY(!QFileInfo::exists(mailServerPath()));
    // Still held: the next channel of this process may open.
    MailChannel again;
    QVERIFY(again.create());
}

// Requests of this process need no socket: without one, only other programs are shut out.
void TestMailChannel::writeWithoutSocketIsQueued()
{
    m_guard.reset();
    QVERIFY(!m_channel->create());
    m_channel->write(makeMailMessage(MailCode::Print, QByteArray("/tmp/a.tif")));
    m_channel->write(makeMailMessage(MailCode::Open, QByteArray("/tmp/b.tif")));
    QCOMPARE(m_channel->count(), 2);
    QCOMPARE(m_channel->read(), QByteArray("\x01/tmp/a.tif"));
    QCOMPARE(m_channel->read(), QByteArray("\x02/tmp/b.tif"));
    QVERIFY(!m_channel->hasMessage());
}

void TestMailChannel::keepsOrderAndBoundaries_data()
{
    QTest::addColumn<QList<QByteArray>>("messages");
    QTest::newRow("one") << QList<QByteArray>{"\x01/tmp/a.tif"};
    QTest::newRow("prefixes of each other")
        << QList<QByteArray>{"\x02/tmp/a", "\x02/tmp/a.tif", "\x02/tmp/a", "\x02"};
    QTest::newRow("empty messages between") << QList<QByteArray>{"", "\x03/x.tif", "", ""};
    QTest::newRow("NUL and newline bytes")
        << QList<QByteArray>{QByteArray("\x02\0\n\0", 4), QByteArray("\x02\n", 2)};
    QTest::newRow("large") << QList<QByteArray>{"\x01" + QByteArray(3 * 1024 * 1024, 'L'),
                                                "\x01small"};
}

void TestMailChannel::keepsOrderAndBoundaries()
{
    QFETCH(QList<QByteArray>, messages);
    QVERIFY(m_channel->create());
    for (const QByteArray &message : messages)
        m_channel->write(message);
    QCOMPARE(m_channel->count(), messages.size());
    QList<QByteArray> read;
    while (m_channel->hasMessage()) {
        const qsizetype size = m_channel->nextSize();
        read.append(m_channel->read());
        QCOMPARE(read.last().size(), size);
    }
    QCOMPARE(read, messages);
    QCOMPARE(m_channel->count(), 0);
    QCOMPARE(m_channel->nextSize(), -1);
}

void TestMailChannel::readingAnEmptyQueueDoesNotWait()
{
    QVERIFY(m_channel->create());
    QVERIFY(m_channel->read().isEmpty());
    m_channel->write("\x01/a.tif");
    QCOMPARE(m_channel->read(), QByteArray("\x01/a.tif"));
    QVERIFY(m_channel->read().isEmpty());
}

void TestMailChannel::manyWritersKeepTheirOrder()
{
    QVERIFY(m_channel->create());
    constexpr int Writers = 6;
    constexpr int PerWriter = 400;
    QList<QThread *> threads;
    for (int writer = 0; writer < Writers; ++writer) {
        threads.append(QThread::create([this, writer] {
            for (int i = 0; i < PerWriter; ++i) {
                // Lengths differ from message to message, so a split or merged message
                // would not parse back.
                const QByteArray path = QByteArray::number(writer) + ':' + QByteArray::number(i) +
                                        ':' + QByteArray(i % 37, char('a' + writer));
                m_channel->write(makeMailMessage(MailCode::Open, path));
            }
        }));
    }
    for (QThread *thread : threads)
        thread->start();
    for (QThread *thread : threads) {
        QVERIFY(thread->wait(30000));
        delete thread;
    }

    QCOMPARE(m_channel->count(), Writers * PerWriter);
    QList<int> next(Writers, 0);
    for (const QByteArray &message : drain(*m_channel)) {
        const MailMessage parsed = parseMailMessage(message);
        QCOMPARE(parsed.code, MailCode::Open);
        const QList<QByteArray> parts = parsed.pathBytes.split(':');
        QCOMPARE(parts.size(), 3);
        const int writer = parts.at(0).toInt();
        const int i = parts.at(1).toInt();
        QCOMPARE(i, next[writer]);
        QCOMPARE(parts.at(2), QByteArray(i % 37, char('a' + writer)));
        ++next[writer];
    }
    QCOMPARE(next, QList<int>(Writers, PerWriter));
}

void TestMailChannel::queuesCommandLineFiles()
{
    QVERIFY(m_channel->create());
    m_channel->write(makeMailMessage(MailCode::Print, QByteArray("/first.tif")));
    QueueCommandLineFiles(*m_channel, QStringList{"z.tif", "", "/abs/a b.TIFF", "../up.tif"});
    QueueCommandLineFiles(*m_channel, QList<QByteArray>{"\xff\xfe.tif"});
    QCOMPARE(drain(*m_channel),
             QList<QByteArray>({"\x01/first.tif", "\x02z.tif", "\x02", "\x02/abs/a b.TIFF",
                                "\x02../up.tif", "\x02\xff\xfe.tif"}));
}

void TestMailChannel::commandLineFilesNeedNoSocket()
{
    m_guard.reset();
    QVERIFY(!m_channel->create());
    QueueCommandLineFiles(*m_channel, QStringList{"/a.tif", "/b.tif"});
    QCOMPARE(drain(*m_channel), QList<QByteArray>({"\x02/a.tif", "\x02/b.tif"}));
}

void TestMailChannel::queuedPathsFollowTheQueue()
{
    QVERIFY(m_channel->queuedPaths().isEmpty());
    m_channel->write(makeMailMessage(MailCode::MonitorFolder, QByteArray("/hot/Processed/a.tif")));
    m_channel->write(QByteArray());
    m_channel->write(makeMailMessage(MailCode::Print, QByteArray("/b\xff.tif")));
    QCOMPARE(m_channel->queuedPaths(),
             QList<QByteArray>({"/hot/Processed/a.tif", QByteArray(), "/b\xff.tif"}));
    m_channel->read();
    QCOMPARE(m_channel->queuedPaths(), QList<QByteArray>({QByteArray(), "/b\xff.tif"}));
}

bool TestMailChannel::exchangeGoodBatch(const QByteArray &message)
{
    QLocalSocket client;
    client.connectToServer(mailServerPath());
    if (!client.waitForConnected(1000))
        return false;
    client.write(makeFrame(MailFrame::Message, message) + makeFrame(MailFrame::Activate));
    const QByteArray acknowledge = makeFrame(MailFrame::Acknowledge);
    QByteArray received;
    const bool answered = QTest::qWaitFor([&] {
        received += client.readAll();
        return received.size() >= acknowledge.size();
    });
    return answered && received == acknowledge;
}

void TestMailChannel::batchFromSocketIsQueuedAndAcknowledged()
{
    QVERIFY(m_channel->create());
    CheckMailCounter window;
    m_channel->setCheckMailReceiver(&window);
    QSignalSpy arrived(m_channel.get(), &MailChannel::messagesArrived);
    QSignalSpy activation(m_channel.get(), &MailChannel::activationRequested);
    m_channel->write("\x01/local-before.tif");

    const QList<QByteArray> messages = {"\x02/one.tif", "\x02", "\x02two\nlines.tif"};
    QByteArray batch;
    for (const QByteArray &message : messages)
        batch += makeFrame(MailFrame::Message, message);
    batch += makeFrame(MailFrame::Activate);

    QLocalSocket client;
    client.connectToServer(mailServerPath());
    QVERIFY(client.waitForConnected(1000));
    // Split inside a header: the server must wait for the rest.
    client.write(batch.left(3));
    QVERIFY(client.waitForBytesWritten(1000));
    client.write(batch.mid(3));

    QTRY_COMPARE(client.bytesAvailable(), makeFrame(MailFrame::Acknowledge).size());
    QCOMPARE(client.readAll(), makeFrame(MailFrame::Acknowledge));
    QCOMPARE(arrived.count(), 1);
    QCOMPARE(arrived.first().first().toInt(), messages.size());
    QCOMPARE(activation.count(), 1);
    QCOMPARE(drain(*m_channel), QList<QByteArray>{"\x01/local-before.tif"} + messages);
    QTRY_COMPARE(window.count, 1);
    QCoreApplication::processEvents();
    QCOMPARE(window.count, 1);
}

void TestMailChannel::activationAloneQueuesNothing()
{
    QVERIFY(m_channel->create());
    CheckMailCounter window;
    m_channel->setCheckMailReceiver(&window);
    QSignalSpy arrived(m_channel.get(), &MailChannel::messagesArrived);
    QSignalSpy activation(m_channel.get(), &MailChannel::activationRequested);

    QLocalSocket client;
    client.connectToServer(mailServerPath());
    QVERIFY(client.waitForConnected(1000));
    client.write(makeFrame(MailFrame::Activate));
    QTRY_COMPARE(activation.count(), 1);
    QTRY_COMPARE(client.bytesAvailable(), makeFrame(MailFrame::Acknowledge).size());
    QCOMPARE(arrived.count(), 0);
    QCOMPARE(m_channel->count(), 0);
    QCoreApplication::processEvents();
    // Nothing new to read: a file still waiting from before must wait for its own
    // notification.
    QCOMPARE(window.count, 0);
}

void TestMailChannel::hostileStreams_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Whether the server must hang up by itself; otherwise the client leaves.
    QTest::addColumn<bool>("serverHangsUp");

    const QByteArray message = makeFrame(MailFrame::Message, "\x02/tmp/evil.tif");
    QTest::newRow("length of 4 GB") << lengthHeader(0xffffffffu) << true;
    QTest::newRow("length of 4 GB after a message") << message + lengthHeader(0xffffffffu) << true;
    QTest::newRow("length past the limit")
        << lengthHeader(quint32(MailFrame::MaxLength + 1)) + "M" << true;
    QTest::newRow("zero length") << lengthHeader(0) << true;
    QTest::newRow("unknown kind") << message + makeFrame('Z', "x") << true;
    QTest::newRow("acknowledge sent by a client") << makeFrame(MailFrame::Acknowledge) << true;
    QTest::newRow("activate with a payload")
        << message + makeFrame(MailFrame::Activate, "x") << true;

    QByteArray flood;
    const QByteArray big = makeFrame(MailFrame::Message, QByteArray(MailFrame::MaxLength - 1, 'f'));
    for (qsizetype payload = 0; payload <= MailChannel::MaxPendingBytes;
         payload += MailFrame::MaxLength - 1)
        flood += big;
    QTest::newRow("more than may wait for activation")
        << flood + makeFrame(MailFrame::Activate) << true;

    QTest::newRow("messages without activation") << message + message << false;
    QTest::newRow("truncated header") << message + lengthHeader(20).left(2) << false;
    QTest::newRow("truncated body") << message + message.left(message.size() - 1) << false;

    for (quint32 seed : {3u, 17u, 2024u}) {
        QRandomGenerator random(seed);
        QByteArray garbage(8192, Qt::Uninitialized);
        for (char &byte : garbage)
            byte = char(random.bounded(256));
        QTest::addRow("random bytes, seed %u", seed) << garbage << false;
        QTest::addRow("message then random bytes, seed %u", seed) << message + garbage << false;
    }
}

void TestMailChannel::hostileStreams()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, serverHangsUp);
    QVERIFY(m_channel->create());
    QSignalSpy activation(m_channel.get(), &MailChannel::activationRequested);

    QLocalSocket hostile;
    hostile.connectToServer(mailServerPath());
    QVERIFY(hostile.waitForConnected(1000));
    hostile.write(bytes);
    if (serverHangsUp) {
        QTRY_COMPARE_WITH_TIMEOUT(hostile.state(), QLocalSocket::UnconnectedState, 20000);
    } else {
        QTRY_COMPARE(hostile.bytesToWrite(), 0);
        hostile.disconnectFromServer();
    }
    QCOMPARE(hostile.bytesAvailable(), 0); // never acknowledged

    // The channel goes on serving, and nothing of the hostile stream was queued.
    const QByteArray good = makeMailMessage(MailCode::Open, QByteArray("/tmp/good.tif"));
    QVERIFY(exchangeGoodBatch(good));
    QCOMPARE(drain(*m_channel), QList<QByteArray>{good});
    QCOMPARE(activation.count(), 1);
}

QTEST_GUILESS_MAIN(TestMailChannel)
#include "tst_mailchannel.moc"
