// The program's help service is a static: it ends after the application, with the help
// window still open when the user had opened the help. Ending must not crash then.
#include "HelpService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestHelpExit : public QObject
{
    Q_OBJECT

public:
    explicit TestHelpExit(HelpService &service) : m_service(service) {}

private slots:
    void helpWindowOpenAtExit();

private:
    HelpService &m_service;
    QTemporaryDir m_dir;
};

void TestHelpExit::helpWindowOpenAtExit()
{
    const QString help = m_dir.path() + QStringLiteral("/DirIduHelp");
    QVERIFY(QDir().mkpath(help + QStringLiteral("/html")));
    QFile page(help + QStringLiteral("/html/index.htm"));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><body><h1>Diridu Help</h1></body></html>");
    page.close();
    QFile map(help + QStringLiteral("/context.map"));
    QVERIFY(map.open(QIODevice::WriteOnly));
    map.write("start=html/index.htm\n");
    map.close();
    QVERIFY(m_service.showHelp(help));
    QVERIFY(!QApplication::topLevelWidgets().isEmpty());
}

int main(int argc, char **argv)
{
    // Made before the application and ended after it, as the program's own service is.
    auto *service = new ViewerHelpService;
    int result = 0;
    {
        QApplication application(argc, argv);
        TestHelpExit test(*service);
        result = QTest::qExec(&test, argc, argv);
    }
    delete service;
    return result;
}

#include "tst_helpexit.moc"
