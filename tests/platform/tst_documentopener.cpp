#include "DocumentOpener.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestDocumentOpener : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void declaresApplication_data();
    void declaresApplication();
    void findsApplicationsInTheDataFolders();
    void refusesWhatCannotBeOpened();

private:
    QTemporaryDir m_home;
    QString m_applications;
};

// The desktop's folders point into a temporary home, so the machine's own applications
// do not decide the answers.
void TestDocumentOpener::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8());
    qputenv("XDG_DATA_DIRS", m_home.filePath("shared").toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toUtf8());
    qputenv("XDG_CONFIG_DIRS", m_home.filePath("xdg").toUtf8());
    m_applications = m_home.filePath("shared/applications");
    QVERIFY(QDir().mkpath(m_applications));
}

void TestDocumentOpener::declaresApplication_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("declared");
    QTest::newRow("desktop entry") << QByteArray("[Desktop Entry]\nName=Viewer\n"
                                                 "MimeType=image/png;application/pdf;\n")
                                   << true;
    QTest::newRow("desktop entry, other types")
        << QByteArray("[Desktop Entry]\nMimeType=application/pdfx;image/png\n") << false;
    QTest::newRow("default application")
        << QByteArray("[Default Applications]\napplication/pdf=viewer.desktop\n") << true;
    QTest::newRow("cache line") << QByteArray(
                                       "[MIME Cache]\napplication/pdf=a.desktop;b.desktop;\n")
                                << true;
    QTest::newRow("empty association")
        << QByteArray("[Added Associations]\napplication/pdf=;\n") << false;
    QTest::newRow("removed association")
        << QByteArray("[Removed Associations]\napplication/pdf=viewer.desktop\n") << false;
    QTest::newRow("comment") << QByteArray("# application/pdf=viewer.desktop\n") << false;
    QTest::newRow("binary junk") << QByteArray("\0\xff=\n=\n[\n", 9) << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestDocumentOpener::declaresApplication()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, declared);
    QCOMPARE(declaresApplicationFor(text, QStringLiteral("application/pdf")), declared);
}

void TestDocumentOpener::findsApplicationsInTheDataFolders()
{
    QVERIFY(!desktopHasApplicationFor(QStringLiteral("application/pdf")));
    QFile entry(m_applications + "/viewer.desktop");
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nMimeType=application/pdf;\n");
    entry.close();
    QVERIFY(desktopHasApplicationFor(QStringLiteral("application/pdf")));
    QVERIFY(!desktopHasApplicationFor(QStringLiteral("image/x-zorl")));
    QVERIFY(entry.remove());
}

void TestDocumentOpener::refusesWhatCannotBeOpened()
{
    DesktopDocumentOpener opener;
    QCOMPARE(opener.open(m_home.filePath("Zorlane User Guide.pdf")),
             int(DocumentOpener::FileNotFound));
    QCOMPARE(opener.open(m_home.path()), int(DocumentOpener::FileNotFound));
    QFile guide(m_home.filePath("Zorlane User Guide.pdf"));
    QVERIFY(guide.open(QIODevice::WriteOnly));
    guide.write("%PDF-1.4\n%%EOF\n");
    guide.close();
    // No application for PDF files in this desktop's folders.
    QCOMPARE(opener.open(guide.fileName()), int(DocumentOpener::NoAssociation));
    if (geteuid() != 0) { // root reads every file
        QVERIFY(guide.setPermissions(QFile::WriteOwner));
        QCOMPARE(opener.open(guide.fileName()), int(DocumentOpener::AccessDenied));
    }
    QVERIFY(!DocumentOpener::succeeded(DocumentOpener::NoAssociation));
    QVERIFY(DocumentOpener::succeeded(32));
}

QTEST_GUILESS_MAIN(TestDocumentOpener)
#include "tst_documentopener.moc"
