#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

class Diagnostics;

// The job prefix that the front end puts before the parameters: "gui 0 0 <copies>".
// Its four words may come as four arguments (a shell split them) or fewer arguments
// holding blanks (a caller that passed the prefix as one argument).
struct JobPrefix
{
    QStringList words;
    int copies = 1;
};

constexpr int MinCopies = 1;
constexpr int MaxCopies = 99;

// Reads the prefix from args starting at index next, which it moves past the prefix.
// Reports what is wrong and returns nothing when the prefix is not "gui <n> <n> <copies>".
std::optional<JobPrefix> takeJobPrefix(const QStringList &args, qsizetype &next,
                                       Diagnostics &diagnostics);

// A parameter text: key=value items separated by single blanks, in the order given. The
// values are not quoted, so a value may hold blanks (a model file named "Studio A"): a
// word that does not start with key= continues the value before it.
class ParameterText
{
public:
    static std::optional<ParameterText> parse(const QString &text, Diagnostics &diagnostics);

    bool has(const QString &key) const;
    QString value(const QString &key) const;
    QStringList keys() const;

private:
    QList<QPair<QString, QString>> m_items;
};

// Numbers in parameter texts are written with the user's decimal separator, so both
// "0.5" and "0,5" are read. No exponents, no thousands separators.
std::optional<double> parseDecimal(const QString &text);
// A plain decimal integer, optionally signed.
std::optional<int> parseInteger(const QString &text);

// What every tool's arguments begin with: the job prefix and the parameter text, after which
// `trailing` further arguments follow (`expected` names them in the message when they do
// not). `next` is the index of the first of them.
struct ToolRequestHead
{
    JobPrefix prefix;
    ParameterText parameters;
    qsizetype next = 0;
};
std::optional<ToolRequestHead> takeRequestHead(const QStringList &args, qsizetype trailing,
                                               const QString &expected,
                                               Diagnostics &diagnostics);

// The program's arguments after its name, in the system's encoding.
QStringList toolArguments(int argc, char **argv);

// A name that may be used as one component of a path inside the installation.
bool isPlainFileName(const QString &name);
