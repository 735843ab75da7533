#include "NumberField.h"

#include <QTest>

class TestNumberField : public QObject
{
    Q_OBJECT

private slots:
    void checkedText_data();
    void checkedText();
    void numbers_data();
    void numbers();
};

void TestNumberField::checkedText_data()
{
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("corrected");

    QTest::newRow("limit above") << "percent" << "C" << "150" << "100" << true;
    QTest::newRow("limit below") << "percent" << "C" << "-1" << "0" << true;
    QTest::newRow("letters cleared") << "percent" << "C" << "abc" << "" << true;
    QTest::newRow("empty stays, no beep") << "percent" << "C" << "" << "" << false;
    QTest::newRow("in range kept as typed") << "percent" << "C" << "45.50" << "45.50" << false;
    QTest::newRow("bounds are in range") << "percent" << "C" << "100" << "100" << false;
    QTest::newRow("blanks around a number") << "percent" << "C" << " 12 " << " 12 " << false;
    QTest::newRow("gamma too small") << "gamma" << "C" << "0.05" << "0.1" << true;
    QTest::newRow("gamma too large") << "gamma" << "C" << "11" << "10" << true;
    QTest::newRow("density zero") << "density" << "C" << "0" << "1" << true;
    QTest::newRow("shape above") << "shape" << "C" << "301" << "300" << true;
    QTest::newRow("comma in a point locale") << "percent" << "C" << "12,5" << "" << true;
    QTest::newRow("comma in a comma locale") << "percent" << "de_DE" << "12,5" << "12,5" << false;
    QTest::newRow("group separator is no number") << "shape" << "C" << "1,000" << "" << true;
    QTest::newRow("exponent is no number") << "percent" << "C" << "1e1" << "" << true;
    QTest::newRow("infinity is no number") << "percent" << "C" << "inf" << "" << true;
    QTest::newRow("nan is no number") << "percent" << "C" << "nan" << "" << true;
    QTest::newRow("signed number") << "percent" << "C" << "+5" << "+5" << false;
}

void TestNumberField::checkedText()
{
    QFETCH(QString, range);
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QFETCH(bool, corrected);

    const NumberRange &r = range == u"gamma"     ? NumberRanges::gamma()
                           : range == u"density" ? NumberRanges::density()
                           : range == u"shape"   ? NumberRanges::shape()
                                                 : NumberRanges::percent();
    const CheckedField checked = checkedFieldText(typed, r, QLocale(locale));
    QCOMPARE(checked.text, result);
    QCOMPARE(checked.corrected, corrected);
}

void TestNumberField::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decimalPoint");
    QTest::addColumn<QStringList>("numbers");

    QTest::newRow("semicolon and blank") << "10;20 30" << "." << QStringList{"10", "20", "30"};
    QTest::newRow("tabs and an empty field")
        << "1\t2\t\t3\t" << "." << QStringList{"1", "2", "3"};
    QTest::newRow("comma becomes the point") << "0;0 25,5;30" << "." << QStringList{"0", "0", "25.5", "30"};
    QTest::newRow("point becomes the comma") << "12.5" << "," << QStringList{"12,5"};
    QTest::newRow("signs stay in the run") << "x-3+4y" << "." << QStringList{"-3+4"};
    QTest::newRow("nothing numeric") << "abc" << "." << QStringList{};
    QTest::newRow("empty") << "" << "." << QStringList{};
}

void TestNumberField::numbers()
{
    QFETCH(QString, text);
    QFETCH(QString, decimalPoint);
    QFETCH(QStringList, numbers);
    QCOMPARE(numbersInText(text, decimalPoint.at(0)), numbers);
}

QTEST_APPLESS_MAIN(TestNumberField)
#include "tst_numberfield.moc"
