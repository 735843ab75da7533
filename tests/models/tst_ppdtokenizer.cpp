#include "PpdTokenizer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(PpdKeyword)

class TestPpdTokenizer : public QObject
{
    Q_OBJECT

private slots:
    void nextToken_data();
    void nextToken();
    void tokenEnd_data();
    void tokenEnd();
    void optionName_data();
    void optionName();
    void lineCursorMatchesNextToken();
    void chainedTokens_data();
    void chainedTokens();
    void keywordIndex_data();
    void keywordIndex();
    void longLineIsLinear();
};

void TestPpdTokenizer::nextToken_data()
{
    using namespace PpdDelimiters;
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("delimiters");
    QTest::addColumn<QString>("token");
    QTest::addColumn<PpdKeyword>("keyword");
    QTest::addColumn<QString>("rest");

    const auto row = [](const char *name, const QString &line, QStringView delimiters,
                        const QString &token, PpdKeyword keyword, const QString &rest) {
        QTest::newRow(name) << line << delimiters.toString() << token << keyword << rest;
    };
    const PpdKeyword none = PpdKeyword::None;

    row("first token ends at blank", "*OpenUI *PageSize/Page Size: PickOne ", K, "*OpenUI",
        PpdKeyword::OpenUI, "*PageSize/Page Size: PickOne ");
    row("first token ends at colon", "*DefaultPageSize: Letter ", K, "*DefaultPageSize", none,
        " Letter ");
    row("option name ends at slash", "*PageSize/Page Size: PickOne ", N, "*PageSize",
        PpdKeyword::PageSize, "Page Size: PickOne ");
    row("option name ends at colon", "720dpi: \"\" ", N, "720dpi", none, " \"\" ");
    row("translation keeps blanks", "Page Size: PickOne ", T, "Page Size", none, " PickOne ");
    row("value after skipped blanks", " Letter ", V, "Letter", none, "");
    row("quoted value without quotes", " \"612 792\" ", V, "612 792", none, " ");
    row("empty quotes", " \"\" ", V, "", none, " ");
    row("unterminated quote runs to the end", "\"abc ", V, "abc", none, "");
    row("quote as last character", " \"", V, "", none, "");
    row("lone quote", "\"", V, "", none, "");
    row("last character never in the token", "abc", V, "ab", none, "");
    row("empty line", "", K, "", none, "");
    row("only blanks", "   ", K, "", none, "");
    row("only blanks, blank not a delimiter", "   ", T, "", none, "");
    row("tabs skipped whatever the delimiters", "\t \tLetter: x ", T, "Letter", none, " x ");
    row("tab splits when blank does", "*HWMargins\t9 36 ", K, "*HWMargins", PpdKeyword::HWMargins,
        "9 36 ");
    row("tab kept when blank does not split", "a\tb:c ", T, "a\tb", none, "c ");
    row("delimiter right after the blanks", " :x ", K, "", none, "x ");
    row("word ends at slash", "True/Custom Size: x ", W, "True", PpdKeyword::True,
        "Custom Size: x ");
    row("word ends at colon", "True: x ", W, "True", PpdKeyword::True, " x ");
    row("word ends at blank", "True  ", W, "True", PpdKeyword::True, " ");
    row("keyword in any letter case", "*pagesize x ", K, "*pagesize", PpdKeyword::PageSize, "x ");
    row("the word True", "TRUE: x ", K, "TRUE", PpdKeyword::True, " x ");
    row("longer word is no keyword", "*PageSizes x ", K, "*PageSizes", none, "x ");
}

void TestPpdTokenizer::nextToken()
{
    QFETCH(QString, line);
    QFETCH(QString, delimiters);

    QString shortened = line;
    const PpdToken token = NextToken(shortened, delimiters);
    QTEST(token.text, "token");
    QTEST(token.keyword, "keyword");
    QTEST(shortened, "rest");
}

void TestPpdTokenizer::tokenEnd_data()
{
    using namespace PpdDelimiters;
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("delimiters");
    QTest::addColumn<QString>("end");

    QTest::newRow("slash") << "Letter/US: x " << N.toString() << "/";
    QTest::newRow("colon") << "Letter: x " << N.toString() << ":";
    QTest::newRow("tab") << "a\tb " << V.toString() << "\t";
    QTest::newRow("closing quote") << "\"a b\" " << V.toString() << "\"";
    QTest::newRow("last character") << "abc" << V.toString() << "c";
    QTest::newRow("empty line") << "" << V.toString() << "";
}

void TestPpdTokenizer::tokenEnd()
{
    QFETCH(QString, line);
    QFETCH(QString, delimiters);
    QFETCH(QString, end);
    PpdLine cursor(line);
    const PpdToken token = cursor.NextToken(delimiters);
    QCOMPARE(token.end.isNull() ? QString() : QString(token.end), end);
}

void TestPpdTokenizer::optionName_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QString>("value");

    QTest::newRow("with translation") << "Letter/US Letter: \"612 792\" "
                                      << "Letter"
                                      << "US Letter"
                                      << "612 792";
    QTest::newRow("without translation") << "Letter: \"612 792\" "
                                         << "Letter"
                                         << ""
                                         << "612 792";
    QTest::newRow("blanks before the name") << "  A4:\t\"595 842\" "
                                            << "A4"
                                            << ""
                                            << "595 842";
    QTest::newRow("slash in the value only") << "Letter: \"<</PageSize[612 792]>>\" "
                                             << "Letter"
                                             << ""
                                             << "<</PageSize[612 792]>>";
    QTest::newRow("empty translation") << "Letter/: \"612 792\" "
                                       << "Letter"
                                       << ""
                                       << "612 792";
    QTest::newRow("no colon") << "Letter "
                              << "Letter"
                              << ""
                              << "";
}

void TestPpdTokenizer::optionName()
{
    QFETCH(QString, line);
    PpdLine cursor(line);
    const PpdOptionName option = cursor.NextOptionName();
    QTEST(option.name, "name");
    QTEST(option.translation, "translation");
    QTEST(cursor.NextToken(PpdDelimiters::V).text, "value");
}

// The cursor avoids copying; it must cut exactly what NextToken cuts, for any text.
void TestPpdTokenizer::lineCursorMatchesNextToken()
{
    using namespace PpdDelimiters;
    const QStringView sets[] = {K, N, T, V, W};
    const QString alphabet = QStringLiteral(" \t:/\"a*Z\r");
    QRandomGenerator random(20240611);
    for (int n = 0; n < 3000; ++n) {
        QString text;
        const int length = random.bounded(12);
        for (int i = 0; i < length; ++i)
            text += alphabet.at(random.bounded(int(alphabet.size())));
        QString shortened = text;
        PpdLine line(text);
        for (int call = 0; call < 6; ++call) {
            const QStringView delimiters = sets[random.bounded(5)];
            const PpdToken expected = NextToken(shortened, delimiters);
            const PpdToken actual = line.NextToken(delimiters);
            QCOMPARE(actual.text, expected.text);
            QCOMPARE(actual.end, expected.end);
            QCOMPARE(line.rest(), QStringView(shortened));
        }
    }
}

void TestPpdTokenizer::chainedTokens_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("delimiterSequence"); // one letter per call
    QTest::addColumn<QStringList>("tokens");

    QTest::newRow("paper dimension")
        << "*PaperDimension Letter/US Letter: \"612 792\" "
        << "KNTV" << QStringList{"*PaperDimension", "Letter", "US Letter", "612 792"};
    QTest::newRow("option without slash")
        << "*MediaType Plain: \"Plain paper\" "
        << "KNT" << QStringList{"*MediaType", "Plain", "Plain paper"};
    // The product text is tokenised without an added blank: the closing parenthesis is
    // the last character and so ends the version.
    QTest::newRow("product text") << "(Zorlane 2.1)"
                                  << "VV" << QStringList{"(Zorlane", "2.1"};
    QTest::newRow("custom size parameter")
        << "*ParamCustomPageSize Width: 1 points 72 1224 "
        << "KTVVVV" << QStringList{"*ParamCustomPageSize", "Width", "1", "points", "72", "1224"};
    QTest::newRow("running out of tokens")
        << "*HWMargins: 9 36 "
        << "KVVVV" << QStringList{"*HWMargins", "9", "36", "", ""};
}

void TestPpdTokenizer::chainedTokens()
{
    QFETCH(QString, line);
    QFETCH(QString, delimiterSequence);
    QFETCH(QStringList, tokens);

    PpdLine cursor(line);
    QStringList actual;
    for (QChar set : delimiterSequence) {
        const QStringView delimiters = set == u'K'   ? PpdDelimiters::K
                                       : set == u'N' ? PpdDelimiters::N
                                       : set == u'T' ? PpdDelimiters::T
                                       : set == u'V' ? PpdDelimiters::V
                                                     : PpdDelimiters::W;
        actual.append(cursor.NextToken(delimiters).text);
    }
    QCOMPARE(actual, tokens);
}

void TestPpdTokenizer::keywordIndex_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<PpdKeyword>("keyword");

    for (int i = 0; i < PpdKeywordCount; ++i) {
        const QString text = ppdKeywordText(PpdKeyword(i));
        QTest::addRow("%s", qPrintable(text)) << text << PpdKeyword(i);
        QTest::addRow("%s lower", qPrintable(text)) << text.toLower() << PpdKeyword(i);
    }
    QTest::newRow("empty") << QString() << PpdKeyword::None;
    QTest::newRow("without asterisk") << "PageSize" << PpdKeyword::None;
    QTest::newRow("default line") << "*DefaultPageSize" << PpdKeyword::None;
    QTest::newRow("prefix only") << "*Rip" << PpdKeyword::None;
}

void TestPpdTokenizer::keywordIndex()
{
    QFETCH(QString, token);
    QTEST(ppdKeywordIndex(token), "keyword");
}

void TestPpdTokenizer::longLineIsLinear()
{
    // Two million tokens on one line: copying the rest at every call would take hours.
    const int tokens = 2'000'000;
    PpdLine line(QStringLiteral("ab ").repeated(tokens));
    QElapsedTimer timer;
    timer.start();
    int count = 0;
    while (!line.rest().isEmpty()) {
        if (line.NextToken(PpdDelimiters::V).text != QLatin1String("ab"))
            QFAIL("wrong token");
        ++count;
    }
    QCOMPARE(count, tokens);
    QVERIFY2(timer.elapsed() < 10'000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestPpdTokenizer)
#include "tst_ppdtokenizer.moc"
