#include "PointList.h"

#include <QTest>

using Rows = QList<PointRow>;
using Points = QList<QPointF>;

class TestPointList : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
    void rowsFromText_data();
    void rowsFromText();
    void textsRoundTrip_data();
    void textsRoundTrip();
    void pointsOfRows_data();
    void pointsOfRows();
    void conversionMessage();
};

void TestPointList::texts_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("pointList");
    QTest::addColumn<QString>("clipboard");

    QTest::newRow("no rows") << Rows{} << ""
                             << "";
    QTest::newRow("all empty") << Rows(50) << ""
                               << "";
    QTest::newRow("two points") << Rows{{"0", "0"}, {"25", "30"}} << "0;0 25;30 "
                                << "0;0\t25;30\t";
    QTest::newRow("empty row between")
        << Rows{{"10", "12"}, {"", ""}, {"90", "95.5"}} << "10;12 90;95.5 "
        << "10;12\t90;95.5\t";
    QTest::newRow("row without input is no point") << Rows{{"", "40"}, {"50", "55"}} << "50;55 "
                                                   << "50;55\t";
    QTest::newRow("texts kept as typed") << Rows{{"12,5", "7"}} << "12,5;7 "
                                         << "12,5;7\t";
}

void TestPointList::texts()
{
    QFETCH(Rows, rows);
    QFETCH(QString, pointList);
    QFETCH(QString, clipboard);
    QCOMPARE(pointListText(rows), pointList);
    QCOMPARE(pointClipboardText(rows), clipboard);
}

void TestPointList::rowsFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decimalPoint");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<Rows>("filled"); // the rows before the empty ones

    QTest::newRow("pairs with semicolons")
        << "0;0 25;30 50;55 100;100"
        << "." << 50 << Rows{{"0", "0"}, {"25", "30"}, {"50", "55"}, {"100", "100"}};
    QTest::newRow("blanks only") << "0 0 25 30"
                                 << "." << 50 << Rows{{"0", "0"}, {"25", "30"}};
    QTest::newRow("tabs of Copy Points") << "5;6\t7;8\t"
                                         << "." << 50 << Rows{{"5", "6"}, {"7", "8"}};
    QTest::newRow("odd count leaves an output empty") << "1 2 3"
                                                      << "." << 50 << Rows{{"1", "2"}, {"3", ""}};
    QTest::newRow("both separators to the locale's") << "1,5;2.5"
                                                     << "," << 50 << Rows{{"1,5", "2,5"}};
    QTest::newRow("words and lines between numbers")
        << "in 10 out 20\r\nin 30 out 40"
        << "." << 50 << Rows{{"10", "20"}, {"30", "40"}};
    QTest::newRow("nothing") << ""
                             << "." << 50 << Rows{};
    QTest::newRow("no numbers") << "curve"
                                << "." << 50 << Rows{};
    QTest::newRow("more numbers than rows") << "1 2 3 4 5 6 7 8"
                                            << "." << 3 << Rows{{"1", "2"}, {"3", "4"}, {"5", "6"}};
}

void TestPointList::rowsFromText()
{
    QFETCH(QString, text);
    QFETCH(QString, decimalPoint);
    QFETCH(int, rowCount);
    QFETCH(Rows, filled);

    const Rows rows = pointRowsFromText(text, decimalPoint.at(0), rowCount);
    QCOMPARE(rows.size(), rowCount);
    QCOMPARE(rows.mid(0, filled.size()), filled);
    for (qsizetype i = filled.size(); i < rows.size(); ++i)
        QCOMPARE(rows[i], PointRow());
}

void TestPointList::textsRoundTrip_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::newRow("full rows") << Rows{{"0", "0"}, {"33.3", "40"}, {"100", "100"}};
    QTest::newRow("one point") << Rows{{"50", "50"}};
    QTest::newRow("gaps close up") << Rows{{"1", "2"}, {}, {}, {"7", "8"}};
}

void TestPointList::textsRoundTrip()
{
    QFETCH(Rows, rows);
    Rows points;
    for (const PointRow &row : rows) {
        if (!row.input.isEmpty())
            points.append(row);
    }
    for (const QString &text : {pointListText(rows), pointClipboardText(rows)}) {
        const Rows read = pointRowsFromText(text, u'.');
        QCOMPARE(read.mid(0, points.size()), points);
        QCOMPARE(read.value(points.size()), PointRow());
    }
}

void TestPointList::pointsOfRows_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<Points>("points");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QString>("failure"); // the text that is no number

    QTest::newRow("rows in order") << Rows{{"0", "0"}, {"25", "30"}, {"", ""}, {"100", "99.5"}}
                                   << "C" << Points{{0, 0}, {25, 30}, {100, 99.5}} << false << "";
    QTest::newRow("comma locale") << Rows{{"12,5", "7,25"}} << "de_DE" << Points{{12.5, 7.25}}
                                  << false << "";
    QTest::newRow("no points") << Rows(50) << "C" << Points{} << false << "";
    QTest::newRow("empty output") << Rows{{"0", "0"}, {"40", ""}} << "C" << Points{} << true << "";
    QTest::newRow("output not a number") << Rows{{"40", "4x"}} << "C" << Points{} << true << "4x";
    QTest::newRow("input not a number")
        << Rows{{"1.5", "2"}} << "de_DE" << Points{} << true << "1.5";
    QTest::newRow("first failure counts")
        << Rows{{"1", "a"}, {"b", "2"}} << "C" << Points{} << true << "a";
}

void TestPointList::pointsOfRows()
{
    QFETCH(Rows, rows);
    QFETCH(QString, locale);
    QFETCH(Points, points);
    QFETCH(bool, fails);
    QFETCH(QString, failure);

    const auto result = ::pointsOfRows(rows, QLocale(locale));
    QCOMPARE(std::holds_alternative<NotAFloat>(result), fails);
    if (fails)
        QCOMPARE(std::get<NotAFloat>(result).text, failure);
    else
        QCOMPARE(std::get<Points>(result), points);
}

void TestPointList::conversionMessage()
{
    QCOMPARE(notAFloatMessage({QStringLiteral("4x")}),
             QStringLiteral("'4x' is not a valid floating point value"));
    QCOMPARE(notAFloatMessage({QString()}),
             QStringLiteral("'' is not a valid floating point value"));
    // A text with a place marker of its own is shown as it is.
    QCOMPARE(notAFloatMessage({QStringLiteral("%1")}),
             QStringLiteral("'%1' is not a valid floating point value"));
}

QTEST_GUILESS_MAIN(TestPointList)
#include "tst_pointlist.moc"
