#pragma once

#include <QString>
#include <QStringView>

// The words the model reader acts on, in the order of its keyword list. Tokens are
// matched after conversion to upper case, so the file's letter case does not matter.
enum class PpdKeyword {
    None = -1,
    CustomPageSize,
    OpenUI,
    CloseUI,
    PageSize,
    MaxMediaWidth,
    MaxMediaHeight,
    HWMargins,
    StpDither,
    Resolution,
    InputSlot,
    RipCurve1,
    RipCurve2,
    PaperDimension,
    MediaType,
    ImageableArea,
    RipFeed,
    RipBlack,
    RipSpeed,
    FileVersion,
    ParamCustomPageSize,
    Product,
    True,
};

inline constexpr int PpdKeywordCount = int(PpdKeyword::True) + 1;

struct PpdToken
{
    QString text;
    PpdKeyword keyword = PpdKeyword::None;
    // The character dropped after the token: the delimiter that ended it, the closing
    // quote, or the line's last character; null for an empty line.
    QChar end;
};

// The option part of a line "*Keyword name/translation: value" or "*Keyword name: value".
struct PpdOptionName
{
    QString name;
    QString translation; // empty when the line has none
};

// The delimiter sets the reader uses. A set holding the blank also splits at tabs.
namespace PpdDelimiters {
inline constexpr QStringView K = u" :"; // first token of a line
inline constexpr QStringView N = u"/:"; // option name
inline constexpr QStringView T = u":";  // translation
inline constexpr QStringView V = u" ";  // value
inline constexpr QStringView W = u" /:"; // a word that a translation may follow, e.g. True
} // namespace PpdDelimiters

// The keyword as written in the list, e.g. "*PageSize" or "True"; empty for None.
QString ppdKeywordText(PpdKeyword keyword);
// The keyword whose upper-cased text equals the upper-cased token, or None.
PpdKeyword ppdKeywordIndex(QStringView token);
// Upper case for the letters a to z only: keyword matching must not depend on the locale
// or on Unicode's wider case mappings.
QString ppdUpper(QStringView text);

// Cuts the next token off the front of line:
// - leading blanks and tabs are skipped (whatever the delimiters are);
// - a token starting with a double quote runs to the next double quote and comes out
//   without the quotes;
// - otherwise it runs up to the next delimiter;
// - the character that ends the token (delimiter, closing quote, or the line's last
//   character) is dropped too, together with everything before it.
// Because of the last rule, callers add a blank to every line read from a file.
PpdToken NextToken(QString &line, QStringView delimiters);

// A line under tokenisation. Keeps the text and how much of it NextToken has used, so
// tokenising a long line never copies its rest; otherwise the same as NextToken above.
class PpdLine
{
public:
    PpdLine() = default;
    explicit PpdLine(QString text) : m_text(std::move(text)) {}

    PpdToken NextToken(QStringView delimiters);
    // The name up to the slash or the colon, and the translation after a slash up to the
    // colon. Files often leave the translation out; the name then ends at the colon.
    PpdOptionName NextOptionName();
    // What NextToken has not consumed yet.
    QStringView rest() const { return QStringView(m_text).mid(m_pos); }

private:
    QString m_text;
    qsizetype m_pos = 0;
};
