#include "MailMessage.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

class TestMailMessage : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void emptyMessageHasNoCode();
    void textPathsUseTheFileSystemEncoding();
    void commandLineKeepsOrderAndText();
    void commandLineArgumentsSkipTheProgram();
    void pathsAreMadeAbsoluteAgainstTheCaller_data();
    void pathsAreMadeAbsoluteAgainstTheCaller();
    void currentFolderIsThisProcesss();

    void framesSurviveAnySplit_data();
    void framesSurviveAnySplit();
    void largestFrameIsAccepted();
    void oversizedPayloadIsNotFramed();
    void hostileHeaderIsRefusedAtOnce_data();
    void hostileHeaderIsRefusedAtOnce();
    void truncatedFrameYieldsNothing();
    void randomBytesStayBounded_data();
    void randomBytesStayBounded();
};

static QByteArray header(quint32 length)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToBigEndian(length, bytes.data());
    return bytes;
}

void TestMailMessage::roundTrip_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("plain") << 1 << QByteArray("/home/ann/Pictures/photo.tif");
    QTest::newRow("spaces and quotes") << 2 << QByteArray("/tmp/my \"best\" 'print' .tif");
    QTest::newRow("newline and tab") << 2 << QByteArray("/tmp/two\nlines\tphoto.tif");
    QTest::newRow("not UTF-8") << 3 << QByteArray("/tmp/caf\xe9\xff\xfe.tif");
    QTest::newRow("NUL inside") << 2 << QByteArray("/tmp/a\0b.tif", 12);
    QTest::newRow("64 KB") << 2 << QByteArray(64 * 1024, 'x');
    QTest::newRow("empty path") << 2 << QByteArray();
    QTest::newRow("unknown code") << 200 << QByteArray("/tmp/x.tif");
    QTest::newRow("code 0") << 0 << QByteArray("/tmp/x.tif");
}

void TestMailMessage::roundTrip()
{
    QFETCH(int, code);
    QFETCH(QByteArray, path);
    const QByteArray message = makeMailMessage(quint8(code), path);
    QCOMPARE(message.size(), path.size() + 1);
    QCOMPARE(quint8(message.at(0)), quint8(code));
    const MailMessage parsed = parseMailMessage(message);
    QCOMPARE(parsed.code, quint8(code));
    QCOMPARE(parsed.pathBytes, path);

    // Through a frame, fed a byte at a time, as a socket may deliver it.
    MailFrameReader reader;
    const QByteArray frame = makeFrame(MailFrame::Message, message);
    for (char byte : frame)
        reader.feed(QByteArray(1, byte));
    const std::optional<Frame> received = reader.next();
    QVERIFY(received);
    QCOMPARE(received->kind, MailFrame::Message);
    QCOMPARE(parseMailMessage(received->payload).pathBytes, path);
    QVERIFY(!reader.next());
    QCOMPARE(reader.bufferedBytes(), 0);
}

void TestMailMessage::emptyMessageHasNoCode()
{
    const MailMessage parsed = parseMailMessage(QByteArray());
    QCOMPARE(parsed.code, quint8(0));
    QVERIFY(parsed.pathBytes.isEmpty());
    const MailMessage codeOnly = parseMailMessage(QByteArray(1, '\x03'));
    QCOMPARE(codeOnly.code, MailCode::MonitorFolder);
    QVERIFY(codeOnly.pathBytes.isEmpty());
}

void TestMailMessage::textPathsUseTheFileSystemEncoding()
{
    const QString path = QStringLiteral("/tmp/\u041c\u044e/\u00e9t\u00e9 photo.tif");
    const QByteArray message = makeMailMessage(MailCode::Print, path);
    QCOMPARE(message.mid(1), QFile::encodeName(path));
    QCOMPARE(parseMailMessage(message).path(), path);
}

void TestMailMessage::commandLineKeepsOrderAndText()
{
    const QStringList arguments = {"b.tif", "/abs/a.TIFF", "", "not an image", "../rel.tif"};
    const QList<QByteArray> messages = commandLineMessages(arguments);
    QCOMPARE(messages.size(), arguments.size());
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const MailMessage parsed = parseMailMessage(messages.at(i));
        QCOMPARE(parsed.code, MailCode::Open);
        QCOMPARE(parsed.path(), arguments.at(i));
    }
    QCOMPARE(commandLineMessages(QList<QByteArray>{"\xff.tif"}).value(0),
             QByteArray("\x02\xff.tif"));
}

void TestMailMessage::commandLineArgumentsSkipTheProgram()
{
    const char *argv[] = {"/usr/bin/Diridu", "one.tif", "", "th\xffree.tif", nullptr};
    QCOMPARE(commandLineArguments(4, argv), QList<QByteArray>({"one.tif", "", "th\xffree.tif"}));
    QVERIFY(commandLineArguments(1, argv).isEmpty());
}

void TestMailMessage::pathsAreMadeAbsoluteAgainstTheCaller_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("bare name") << QByteArray("photo.tif") << QByteArray("/home/ann/Pictures")
                               << QByteArray("/home/ann/Pictures/photo.tif");
    QTest::newRow("folder with trailing slash")
        << QByteArray("photo.tif") << QByteArray("/home/ann/") << QByteArray("/home/ann/photo.tif");
    QTest::newRow("dot and doubled slashes")
        << QByteArray("./sub//./a.tif") << QByteArray("/w") << QByteArray("/w/sub/a.tif");
    QTest::newRow("climbing out of the folder")
        << QByteArray("../../b.tif") << QByteArray("/home/ann/Pictures")
        << QByteArray("/home/b.tif");
    QTest::newRow("climbing past the root")
        << QByteArray("../../../c.tif") << QByteArray("/top") << QByteArray("/c.tif");
    // "link" may be a symbolic link to another folder: its ".." is left to the kernel.
    QTest::newRow("dot-dot after a part of the path")
        << QByteArray("link/../d.tif") << QByteArray("/w") << QByteArray("/w/link/../d.tif");
    QTest::newRow("in the root") << QByteArray("e.tif") << QByteArray("/") << QByteArray("/e.tif");
    QTest::newRow("just a dot") << QByteArray(".") << QByteArray("/w") << QByteArray("/w");
    QTest::newRow("trailing slash kept")
        << QByteArray("album/") << QByteArray("/w") << QByteArray("/w/album/");
    QTest::newRow("not UTF-8") << QByteArray("caf\xe9.tif") << QByteArray("/d\xff")
                               << QByteArray("/d\xff/caf\xe9.tif");
    QTest::newRow("blanks and quotes")
        << QByteArray("my \"best\" print.tif") << QByteArray("/home/a b")
        << QByteArray("/home/a b/my \"best\" print.tif");
    QTest::newRow("absolute stays as given")
        << QByteArray("/x/./y/../z.tif") << QByteArray("/w") << QByteArray("/x/./y/../z.tif");
    QTest::newRow("empty stays empty") << QByteArray() << QByteArray("/w") << QByteArray();
    QTest::newRow("unknown folder") << QByteArray("f.tif") << QByteArray() << QByteArray("f.tif");
    QTest::newRow("folder not absolute")
        << QByteArray("g.tif") << QByteArray("(unreachable)/w") << QByteArray("g.tif");
}

void TestMailMessage::pathsAreMadeAbsoluteAgainstTheCaller()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, expected);
    QCOMPARE(absolutePath(path, folder), expected);
    QCOMPARE(absolutePaths({path, "/abs.tif", path}, folder),
             QList<QByteArray>({expected, "/abs.tif", expected}));
}

void TestMailMessage::currentFolderIsThisProcesss()
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + "/caf\xc3\xa9 a\"b";
    QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QFile::decodeName(folder)));
    const QByteArray found = currentFolder();
    QVERIFY(QDir::setCurrent(before));
    QCOMPARE(found, folder);
}

void TestMailMessage::framesSurviveAnySplit_data()
{
    QTest::addColumn<int>("chunk");
    for (int chunk : {1, 2, 3, 5, 7, 4096})
        QTest::addRow("chunks of %d", chunk) << chunk;
}

void TestMailMessage::framesSurviveAnySplit()
{
    QFETCH(int, chunk);
    const QList<QByteArray> payloads = {"", "a", QByteArray(300, 'p'), QByteArray("\0\0\0\0", 4),
                                        "end"};
    QByteArray stream;
    for (const QByteArray &payload : payloads)
        stream += makeFrame(MailFrame::Message, payload);
    stream += makeFrame(MailFrame::Activate);

    MailFrameReader reader;
    QList<Frame> frames;
    for (qsizetype at = 0; at < stream.size(); at += chunk) {
        reader.feed(stream.mid(at, chunk));
        while (std::optional<Frame> frame = reader.next())
            frames.append(*frame);
    }
    QVERIFY(!reader.hasError());
    QCOMPARE(frames.size(), payloads.size() + 1);
    for (qsizetype i = 0; i < payloads.size(); ++i) {
        QCOMPARE(frames.at(i).kind, MailFrame::Message);
        QCOMPARE(frames.at(i).payload, payloads.at(i));
    }
    QCOMPARE(frames.last().kind, MailFrame::Activate);
    QVERIFY(frames.last().payload.isEmpty());
    QCOMPARE(reader.bufferedBytes(), 0);
}

void TestMailMessage::largestFrameIsAccepted()
{
    const QByteArray payload(MailFrame::MaxLength - 1, 'z');
    const QByteArray frame = makeFrame(MailFrame::Message, payload);
    QCOMPARE(frame.size(), MailFrame::HeaderSize + MailFrame::MaxLength);
    MailFrameReader reader;
    reader.feed(frame);
    const std::optional<Frame> received = reader.next();
    QVERIFY(received);
    QCOMPARE(received->payload.size(), payload.size());
}

void TestMailMessage::oversizedPayloadIsNotFramed()
{
    QVERIFY(makeFrame(MailFrame::Message, QByteArray(MailFrame::MaxLength, 'z')).isEmpty());
}

void TestMailMessage::hostileHeaderIsRefusedAtOnce_data()
{
    QTest::addColumn<quint32>("length");
    QTest::newRow("zero") << quint32(0);
    QTest::newRow("one past the limit") << quint32(MailFrame::MaxLength + 1);
    QTest::newRow("2 GB") << quint32(0x80000000u);
    QTest::newRow("4 GB") << quint32(0xffffffffu);
}

void TestMailMessage::hostileHeaderIsRefusedAtOnce()
{
    QFETCH(quint32, length);
    MailFrameReader reader;
    // The header alone decides; nothing of the claimed body has to arrive.
    reader.feed(header(length));
    QVERIFY(!reader.next());
    QVERIFY(reader.hasError());
    QCOMPARE(reader.bufferedBytes(), 0);
    // A valid frame afterwards is not taken: the stream cannot be resynchronised.
    reader.feed(makeFrame(MailFrame::Activate));
    QVERIFY(!reader.next());
    QCOMPARE(reader.bufferedBytes(), 0);
}

void TestMailMessage::truncatedFrameYieldsNothing()
{
    MailFrameReader reader;
    const QByteArray frame = makeFrame(MailFrame::Message, "\x02/tmp/a.tif");
    reader.feed(frame.left(frame.size() - 1));
    QVERIFY(!reader.next());
    QVERIFY(!reader.hasError());
    reader.feed(frame.right(1));
    QVERIFY(reader.next());
}

void TestMailMessage::randomBytesStayBounded_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 7u, 42u, 1234u, 99991u, 31337u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestMailMessage::randomBytesStayBounded()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    for (int round = 0; round < 50; ++round) {
        MailFrameReader reader;
        for (int piece = 0; piece < 40 && !reader.hasError(); ++piece) {
            QByteArray bytes(int(random.bounded(1, 600)), Qt::Uninitialized);
            for (char &byte : bytes)
                byte = char(random.bounded(256));
            // Small lengths now and then, so that some frames are complete.
            if (random.bounded(4) == 0 && bytes.size() >= 4)
                qToBigEndian(quint32(random.bounded(1, 64)), bytes.data());
            reader.feed(bytes);
            while (std::optional<Frame> frame = reader.next())
                QVERIFY(frame->payload.size() < MailFrame::MaxLength);
            QVERIFY(reader.bufferedBytes() <= MailFrame::HeaderSize + MailFrame::MaxLength);
        }
    }
}

QTEST_GUILESS_MAIN(TestMailMessage)
#include "tst_mailmessage.moc"
