#include "QueueModelName.h"

#include <QTest>

class TestQueueModelName : public QObject
{
    Q_OBJECT

private slots:
    void derivesModelName_data();
    void derivesModelName();
};

void TestQueueModelName::derivesModelName_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("model");
    QTest::newRow("R code") << "EPSON Stylus Photo R2400" << "ZorlR2400";
    QTest::newRow("copy suffix") << "Epson Stylus Pro 3800 (Copy 1)" << "Zorl3800";
    QTest::newRow("digits") << "EPSON Stylus Photo 2200" << "Zorl2200";
    QTest::newRow("no digits") << "Office Printer" << "Zorl";
    QTest::newRow("small r") << "Epson r800" << "Zorl";
    QTest::newRow("underscores") << "EPSON_Stylus_Pro_3800" << "Zorl3800";
    QTest::newRow("digit first") << "3880 in the studio" << "Zorl3880";
    QTest::newRow("R at start") << "R1800" << "ZorlR1800";
    QTest::newRow("letters after code") << "Stylus R1800x" << "ZorlR1800";
    QTest::newRow("instance") << "EPSON_R2400/matte" << "ZorlR2400";
    QTest::newRow("non-ASCII digit ignored") << QString::fromUtf8("Printer \u0663\u0664 R2880")
                                             << "ZorlR2880";
    QTest::newRow("empty") << "" << "Zorl";
}

void TestQueueModelName::derivesModelName()
{
    QFETCH(QString, queue);
    QFETCH(QString, model);
    QCOMPARE(modelNameFromQueue(queue), model);
}

QTEST_GUILESS_MAIN(TestQueueModelName)
#include "tst_queuemodelname.moc"
