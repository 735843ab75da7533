#include "PpdModel.h"

#include <QFile>
#include <QTest>

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(DIRIDU_SOURCE_DIR "/tests/fixtures/ppd/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read fixture %s", qPrintable(name));
    return file.readAll();
}

QString paperText(const std::optional<PpdPaper> &paper)
{
    return paper ? QStringLiteral("%1 %2").arg(paper->width).arg(paper->length) : QString();
}

QString areaText(const std::optional<PpdArea> &area)
{
    return area ? QStringLiteral("%1 %2 %3 %4")
                      .arg(area->llx)
                      .arg(area->lly)
                      .arg(area->urx)
                      .arg(area->ury)
                : QString();
}

} // namespace

// The tools read a model file as the window does, whether or not it gives translations.
class TestPpdModel : public QObject
{
    Q_OBJECT

private slots:
    void fixtureStyles_data();
    void fixtureStyles();
    void customPageSizeWords_data();
    void customPageSizeWords();
};

void TestPpdModel::fixtureStyles_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("with translations") << "Translated.ppd";
    QTest::newRow("without translations") << "Untranslated.ppd";
}

void TestPpdModel::fixtureStyles()
{
    QFETCH(QString, file);
    const std::optional<PpdModel> model = PpdModel::parse(fixture(file));
    QVERIFY(model);
    QCOMPARE(model->options("PageSize"), (QStringList{"Letter", "A4", "Tabloid", "w288h432"}));
    QCOMPARE(model->options("InputSlot"), (QStringList{"Auto", "Manual"}));
    QCOMPARE(model->options("MediaType"), (QStringList{"Glossy", "Matte"}));
    QCOMPARE(paperText(model->paperDimension("Letter")), "612 792");
    QCOMPARE(paperText(model->paperDimension("A4")), "595 842");
    QCOMPARE(paperText(model->paperDimension("w288h432")), "288 432");
    QCOMPARE(areaText(model->imageableArea("Letter")), "18 36 594 783");
    QCOMPARE(areaText(model->imageableArea("Tabloid")), "18 36 774 1215");
    QVERIFY(model->customPageSize());
    QCOMPARE(model->minCustomWidth(), 144.0);
    QCOMPARE(model->maxCustomWidth(), 1296.0);
    QCOMPARE(model->minCustomLength(), 144.0);
    QCOMPARE(model->maxCustomLength(), 3240.0);
    QCOMPARE(model->hwMargins(), (std::array<double, 4>{18, 36, 18, 9}));
    QCOMPARE(model->inks(), (QStringList{"K", "LK", "LLK", "C", "M", "Y"}));
}

void TestPpdModel::customPageSizeWords_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("custom");
    QTest::newRow("True with code") << QByteArray("*CustomPageSize True: \"pop\"") << true;
    QTest::newRow("True with translation")
        << QByteArray("*CustomPageSize True/Custom Page Size: \"pop\"") << true;
    QTest::newRow("True alone") << QByteArray("*CustomPageSize True") << true;
    QTest::newRow("False with translation")
        << QByteArray("*CustomPageSize False/No: \"\"") << false;
}

void TestPpdModel::customPageSizeWords()
{
    QFETCH(QByteArray, line);
    const std::optional<PpdModel> model = PpdModel::parse(line + '\n');
    QVERIFY(model);
    QTEST(model->customPageSize(), "custom");
}

QTEST_GUILESS_MAIN(TestPpdModel)
#include "tst_ppdmodel.moc"
