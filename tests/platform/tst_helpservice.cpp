#include "HelpService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

class TestHelpService : public QObject
{
    Q_OBJECT

private slots:
    void parsesContextMap();
    void showsPages_data();
    void showsPages();

private:
    static QString writeHelp(const QTemporaryDir &dir);
};

void TestHelpService::parsesContextMap()
{
    const HelpContextMap map = HelpContextMap::parse("# contexts\n"
                                                     "1000=html/Printing.htm\r\n"
                                                     " 4000 = html/Image.htm \n"
                                                     "start=html/index.htm\n"
                                                     "=html/nothing.htm\n"
                                                     "junk without equals\n"
                                                     "abc=html/ignored.htm\n"
                                                     "\xff\xfe\x00garbage=\n");
    QCOMPARE(map.pages.size(), 2);
    QCOMPARE(map.pages.value(1000), QStringLiteral("html/Printing.htm"));
    QCOMPARE(map.pages.value(4000), QStringLiteral("html/Image.htm"));
    QCOMPARE(map.startPage, QStringLiteral("html/index.htm"));
}

QString TestHelpService::writeHelp(const QTemporaryDir &dir)
{
    const QString help = dir.path() + QStringLiteral("/DirIduHelp");
    QDir().mkpath(help + QStringLiteral("/html"));
    for (const char *page : {"index.htm", "Configuring.htm", "Curve Creation.htm"}) {
        QFile file(help + QStringLiteral("/html/") + QLatin1String(page));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray("<html><body><h1>") + page + "</h1></body></html>");
    }
    QFile map(help + QStringLiteral("/context.map"));
    if (map.open(QIODevice::WriteOnly))
        map.write("start=html/index.htm\n9000=html/Curve Creation.htm\n");
    return help;
}

void TestHelpService::showsPages_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("heading");
    QTest::newRow("start page") << "help" << "" << true << "index.htm";
    QTest::newRow("topic") << "topic" << "::/html/Configuring.htm" << true << "Configuring.htm";
    QTest::newRow("missing topic") << "topic" << "::/html/Nothing.htm" << false << "";
    QTest::newRow("context") << "context" << "9000" << true << "Curve Creation.htm";
    QTest::newRow("unknown context") << "context" << "1234" << false << "";
}

void TestHelpService::showsPages()
{
    QFETCH(QString, request);
    QFETCH(QString, argument);
    QFETCH(bool, shown);
    QFETCH(QString, heading);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString help = writeHelp(dir);
    ViewerHelpService service;
    bool answer = false;
    if (request == QLatin1String("help"))
        answer = service.showHelp(help);
    else if (request == QLatin1String("topic"))
        answer = service.showTopic(help + argument);
    else
        answer = service.showContext(help, argument.toInt());
    QCOMPARE(answer, shown);

    QWidget *viewer = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("HelpViewer"))
            viewer = window;
    }
    QCOMPARE(viewer != nullptr && viewer->isVisible(), shown);
    if (shown)
        QVERIFY(viewer->findChild<QTextBrowser *>()->toPlainText().contains(heading));
}

QTEST_MAIN(TestHelpService)
#include "tst_helpservice.moc"
