#include "MonitorFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestMonitorFiles : public QObject
{
    Q_OBJECT

private slots:
    void tiffPattern_data();
    void tiffPattern();
    void listingTakesVisibleTiffFilesInNameOrder();
    void listingOfNoFolder();

    void sequencedName_data();
    void sequencedName();
    void sequenceGivesUpPastTheLimit();

    void writerKeepsAFileIncomplete_data();
    void writerKeepsAFileIncomplete();
    void withoutLeasesAnOldFileIsComplete();
    void withoutLeasesAFreshFileWaitsASecond();
    void withoutLeasesAFileMustStayUnchanged();
    void forgottenFilesStartOver();

    void moveKeepsContentAndTime_data();
    void moveKeepsContentAndTime();
    void moveNeverReplaces_data();
    void moveNeverReplaces();
    void moveOfAMissingFileFails_data();
    void moveOfAMissingFileFails();

private:
    // A folder on another file system than the temporary folder, when there is one.
    QString otherFileSystemFolder();

    QTemporaryDir m_dir;
    std::unique_ptr<QTemporaryDir> m_other;
};

static void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

static QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

static void setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}

static dev_t deviceOf(const QString &path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_dev : dev_t(-1);
}

// Leases need a local file system that allows them; without them the kernel cannot be
// asked and those cases cannot be checked here.
static bool leasesWork(const QString &folder)
{
    const QString probe = folder + QStringLiteral("/lease-probe");
    writeFile(probe, "x");
    HeldFile file;
    const bool works = file.open(probe) && FileCompleteness::askKernel(file.handle()) ==
                                               FileCompleteness::LeaseAnswer::NoWriter;
    file.close();
    QFile::remove(probe);
    return works;
}

QString TestMonitorFiles::otherFileSystemFolder()
{
    if (!m_other) {
        m_other = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/diridu-test-XXXXXX"));
        if (!m_other->isValid())
            return {};
    }
    if (deviceOf(m_other->path()) == deviceOf(m_dir.path()))
        return {};
    return m_other->path();
}

void TestMonitorFiles::tiffPattern_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("tif") << "photo.tif" << true;
    QTest::newRow("upper case") << "PHOTO.TIF" << true;
    QTest::newRow("mixed tiff") << "photo.Tiff" << true;
    QTest::newRow("longer extension") << "photo.tiff.bak" << true;
    QTest::newRow(".tif inside") << "a.tif.x.y" << true;
    QTest::newRow("jpeg") << "photo.jpg" << false;
    QTest::newRow("no dot") << "photo_tif" << false;
    QTest::newRow("too short") << "photo.ti" << false;
    QTest::newRow("tif without dot at start") << "tif.jpg" << false;
}

void TestMonitorFiles::tiffPattern()
{
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(matchesTiffPattern(name), matches);
}

void TestMonitorFiles::listingTakesVisibleTiffFilesInNameOrder()
{
    QTemporaryDir dir;
    const QString root = dir.path();
    for (const char *name : {"b.tif", "B.tif", "A.TIF", "a.tiff", "c.tif.bak", ".hidden.tif",
                             "notes.txt", "photo.jpg"})
        writeFile(root + '/' + name, "x");
    QVERIFY(QDir(root).mkdir(QStringLiteral("folder.tif")));
    QVERIFY(QFile::link(root + QStringLiteral("/b.tif"), root + QStringLiteral("/link.tif")));
    QCOMPARE(::mkfifo(QFile::encodeName(root + QStringLiteral("/pipe.tif")).constData(), 0600), 0);

    const QStringList expected = {"A.TIF", "a.tiff", "B.tif", "b.tif", "c.tif.bak"};
    QCOMPARE(listMonitoredFiles(root), expected);
    QCOMPARE(listMonitoredFiles(root + '/'), expected);
}

void TestMonitorFiles::listingOfNoFolder()
{
    // An empty folder name must not fall back to the current folder.
    const QString previous = QDir::currentPath();
    QTemporaryDir dir;
    writeFile(dir.path() + QStringLiteral("/photo.tif"), "x");
    QVERIFY(QDir::setCurrent(dir.path()));
    const QStringList empty = listMonitoredFiles(QString());
    const QStringList missing = listMonitoredFiles(dir.path() + QStringLiteral("/gone"));
    QVERIFY(QDir::setCurrent(previous));
    QVERIFY(empty.isEmpty());
    QVERIFY(missing.isEmpty());
}

void TestMonitorFiles::sequencedName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("expected");
    // Whether the result was looked up: past the limit it is used unchecked.
    QTest::addColumn<bool>("checked");
    QTest::newRow("first clash") << "photo.tif" << QStringList() << "[1]photo.tif" << true;
    QTest::newRow("second clash") << "photo.tif" << QStringList{"[1]photo.tif"} << "[2]photo.tif"
                                  << true;
    QTest::newRow("gap is used") << "photo.tif" << QStringList{"[2]photo.tif"} << "[1]photo.tif"
                                 << true;
    QTest::newRow("numbered name continues")
        << "[7]photo.tif" << QStringList() << "[8]photo.tif" << true;
    QTest::newRow("numbered name skips taken")
        << "[7]photo.tif" << QStringList{"[8]photo.tif", "[9]photo.tif"} << "[10]photo.tif" << true;
    QTest::newRow("leading zeros") << "[007]photo.tif" << QStringList() << "[8]photo.tif" << true;
    QTest::newRow("bracket without close") << "[abc.tif" << QStringList() << "[1][abc.tif" << true;
    QTest::newRow("no number in brackets")
        << "[abc]x.tif" << QStringList() << "[1][abc]x.tif" << true;
    QTest::newRow("empty brackets") << "[]x.tif" << QStringList() << "[1][]x.tif" << true;
    QTest::newRow("blank before number") << "[ 7]x.tif" << QStringList() << "[1][ 7]x.tif" << true;
    QTest::newRow("number with letters") << "[7x]p.tif" << QStringList() << "[1][7x]p.tif" << true;
    QTest::newRow("too large for a number")
        << "[99999999999]p.tif" << QStringList() << "[1][99999999999]p.tif" << true;
    QTest::newRow("negative number") << "[-3]p.tif" << QStringList() << "[-2]p.tif" << true;
    QTest::newRow("close bracket only") << "x]y.tif" << QStringList() << "[1]x]y.tif" << true;
    QTest::newRow("nothing after number") << "[7]" << QStringList() << "[8]" << true;
    QTest::newRow("at the limit, unchecked")
        << "[32760]p.tif" << QStringList{"[32761]p.tif"} << "[32761]p.tif" << false;
    QTest::newRow("beyond the limit") << "[40000]p.tif" << QStringList() << "[40001]p.tif" << false;
}

void TestMonitorFiles::sequencedName()
{
    QFETCH(QString, name);
    QFETCH(QStringList, taken);
    QFETCH(QString, expected);
    QFETCH(bool, checked);
    QStringList asked;
    const QString result = ::sequencedName(name, [&](const QString &candidate) {
        asked.append(candidate);
        return taken.contains(candidate);
    });
    QCOMPARE(result, expected);
    QCOMPARE(asked.contains(expected), checked);
}

void TestMonitorFiles::sequenceGivesUpPastTheLimit()
{
    int asked = 0;
    const QString result = ::sequencedName(QStringLiteral("photo.tif"), [&](const QString &) {
        ++asked;
        return true;
    });
    QCOMPARE(result, QStringLiteral("[32761]photo.tif"));
    QCOMPARE(asked, MaxSequenceNumber);
}

void TestMonitorFiles::writerKeepsAFileIncomplete_data()
{
    QTest::addColumn<bool>("otherProcess");
    QTest::newRow("written by this process") << false;
    QTest::newRow("written by another process") << true;
}

void TestMonitorFiles::writerKeepsAFileIncomplete()
{
    QFETCH(bool, otherProcess);
    if (!leasesWork(m_dir.path()))
        QSKIP("file leases are not available here");
    const QString path = m_dir.path() + QStringLiteral("/photo.tif");
    writeFile(path, "part");
    // Old enough that only the writer can make it incomplete.
    setModified(path, QDateTime::currentDateTime().addSecs(-60));

    QFile writer(path);
    QProcess process;
    if (otherProcess) {
        process.start(QStringLiteral("/bin/sh"),
                      {QStringLiteral("-c"),
                       QStringLiteral("exec 3>>\"$1\"; echo open; read line; printf rest >&3"),
                       QStringLiteral("sh"), path});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY(process.canReadLine());
    } else {
        QVERIFY(writer.open(QIODevice::Append));
    }

    FileCompleteness completeness;
    HeldFile file;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QVERIFY(file.open(path));
    QVERIFY(!completeness.isComplete(file, QStringLiteral("photo.tif"), now));
    QVERIFY(!completeness.isComplete(file, QStringLiteral("photo.tif"), now + 60000));
    file.close();

    if (otherProcess) {
        process.write("\n");
        QTRY_COMPARE(process.state(), QProcess::NotRunning);
        QCOMPARE(process.exitCode(), 0);
    } else {
        QCOMPARE(writer.write("rest"), 4);
        writer.close();
    }
    QVERIFY(file.open(path));
    QVERIFY(completeness.isComplete(file, QStringLiteral("photo.tif"), now));
    QCOMPARE(readFile(path), QByteArray("partrest"));
}

void TestMonitorFiles::withoutLeasesAnOldFileIsComplete()
{
    const QString path = m_dir.path() + QStringLiteral("/old.tif");
    writeFile(path, "x");
    const QDateTime modified = QDateTime::currentDateTime().addSecs(-5);
    setModified(path, modified);
    FileCompleteness completeness(false);
    HeldFile file;
    QVERIFY(file.open(path));
    QVERIFY(completeness.isComplete(file, QStringLiteral("old.tif"),
                                    modified.toMSecsSinceEpoch() + FileCompleteness::SettleMs));
}

void TestMonitorFiles::withoutLeasesAFreshFileWaitsASecond()
{
    const QString path = m_dir.path() + QStringLiteral("/fresh.tif");
    writeFile(path, "x");
    const QDateTime modified = QDateTime::currentDateTime();
    setModified(path, modified);
    const qint64 at = modified.toMSecsSinceEpoch();
    FileCompleteness completeness(false);
    HeldFile file;
    QVERIFY(file.open(path));
    QVERIFY(!completeness.isComplete(file, QStringLiteral("fresh.tif"), at));
    QVERIFY(!completeness.isComplete(file, QStringLiteral("fresh.tif"), at + 999));
    QVERIFY(completeness.isComplete(file, QStringLiteral("fresh.tif"), at + 1000));
}

// A server clock ahead of ours puts the modification time into the future; then only a
// file that stays the same for a second is complete.
void TestMonitorFiles::withoutLeasesAFileMustStayUnchanged()
{
    const QString path = m_dir.path() + QStringLiteral("/ahead.tif");
    writeFile(path, "x");
    const QDateTime modified = QDateTime::currentDateTime().addSecs(3600);
    setModified(path, modified);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QString name = QStringLiteral("ahead.tif");
    FileCompleteness completeness(false);
    HeldFile file;
    QVERIFY(file.open(path));
    QVERIFY(!completeness.isComplete(file, name, now));
    QVERIFY(!completeness.isComplete(file, name, now + 500));

    {
        QFile grow(path);
        QVERIFY(grow.open(QIODevice::Append));
        grow.write("more");
    }
    setModified(path, modified);
    QVERIFY(!completeness.isComplete(file, name, now + 1000)); // grew: seen anew
    QVERIFY(!completeness.isComplete(file, name, now + 1999));
    QVERIFY(completeness.isComplete(file, name, now + 2000));
}

void TestMonitorFiles::forgottenFilesStartOver()
{
    const QString path = m_dir.path() + QStringLiteral("/ahead2.tif");
    writeFile(path, "x");
    setModified(path, QDateTime::currentDateTime().addSecs(3600));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QString name = QStringLiteral("ahead2.tif");
    FileCompleteness completeness(false);
    HeldFile file;
    QVERIFY(file.open(path));
    QVERIFY(!completeness.isComplete(file, name, now));
    completeness.keepOnly({name});
    QVERIFY(completeness.isComplete(file, name, now + 1000));

    FileCompleteness forgetting(false);
    QVERIFY(!forgetting.isComplete(file, name, now));
    forgetting.keepOnly({QStringLiteral("other.tif")});
    QVERIFY(!forgetting.isComplete(file, name, now + 1000));
}

void TestMonitorFiles::moveKeepsContentAndTime_data()
{
    QTest::addColumn<bool>("acrossFileSystems");
    QTest::newRow("same file system") << false;
    QTest::newRow("across file systems") << true;
}

void TestMonitorFiles::moveKeepsContentAndTime()
{
    QFETCH(bool, acrossFileSystems);
    QString targetFolder = m_dir.path() + QStringLiteral("/Processed");
    if (acrossFileSystems) {
        targetFolder = otherFileSystemFolder();
        if (targetFolder.isEmpty())
            QSKIP("no second file system at /dev/shm");
    } else {
        QVERIFY(QDir().mkpath(targetFolder));
    }
    const QString source = m_dir.path() + QStringLiteral("/move me.tif");
    const QString target = targetFolder + QStringLiteral("/move me.tif");
    QByteArray bytes(3 * 256 * 1024 + 17, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + i / 251);
    writeFile(source, bytes);
    const QDateTime modified = QDateTime::currentDateTime().addDays(-3);
    setModified(source, modified);

    QVERIFY(moveWithoutReplacing(source, target));
    QVERIFY(!QFileInfo::exists(source));
    QCOMPARE(readFile(target), bytes);
    QCOMPARE(QFileInfo(target).lastModified(), modified);
    // No copy in progress is left beside it.
    QCOMPARE(QDir(targetFolder).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("move me.tif")});
    QFile::remove(target);
}

void TestMonitorFiles::moveNeverReplaces_data()
{
    QTest::addColumn<bool>("acrossFileSystems");
    QTest::addColumn<bool>("folderInTheWay");
    QTest::newRow("file, same file system") << false << false;
    QTest::newRow("folder, same file system") << false << true;
    QTest::newRow("file, across file systems") << true << false;
    QTest::newRow("folder, across file systems") << true << true;
}

void TestMonitorFiles::moveNeverReplaces()
{
    QFETCH(bool, acrossFileSystems);
    QFETCH(bool, folderInTheWay);
    QString targetFolder = m_dir.path() + QStringLiteral("/Processed");
    if (acrossFileSystems) {
        targetFolder = otherFileSystemFolder();
        if (targetFolder.isEmpty())
            QSKIP("no second file system at /dev/shm");
    } else {
        QVERIFY(QDir().mkpath(targetFolder));
    }
    const QString source = m_dir.path() + QStringLiteral("/clash.tif");
    const QString target = targetFolder + QStringLiteral("/clash.tif");
    writeFile(source, "new");
    if (folderInTheWay) {
        QVERIFY(QDir().mkpath(target));
        writeFile(target + QStringLiteral("/inside"), "kept");
    } else {
        writeFile(target, "old");
    }

    QVERIFY(!moveWithoutReplacing(source, target));
    QCOMPARE(readFile(source), QByteArray("new"));
    if (folderInTheWay)
        QCOMPARE(readFile(target + QStringLiteral("/inside")), QByteArray("kept"));
    else
        QCOMPARE(readFile(target), QByteArray("old"));
    QCOMPARE(QDir(targetFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("clash.tif")});
    QDir(target).removeRecursively();
    QFile::remove(target);
    QFile::remove(source);
}

void TestMonitorFiles::moveOfAMissingFileFails_data()
{
    moveKeepsContentAndTime_data();
}

void TestMonitorFiles::moveOfAMissingFileFails()
{
    QFETCH(bool, acrossFileSystems);
    QString targetFolder = m_dir.path();
    if (acrossFileSystems) {
        targetFolder = otherFileSystemFolder();
        if (targetFolder.isEmpty())
            QSKIP("no second file system at /dev/shm");
    }
    const QString target = targetFolder + QStringLiteral("/nothing.tif");
    QVERIFY(!moveWithoutReplacing(m_dir.path() + QStringLiteral("/gone.tif"), target));
    QVERIFY(!pathTaken(target));
}

QTEST_GUILESS_MAIN(TestMonitorFiles)
#include "tst_monitorfiles.moc"
