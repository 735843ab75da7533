#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// An ink description says how the inks of one printing model are combined into a curve.
// It is a text file in the system's 8-bit code page (Latin-1), one "KEYWORD=value" entry a
// line, CR LF line ends. This is the plain data the editor holds and the file's reader
// and writer; the editor maps it onto its controls.

constexpr int MaxInkSlots = 8;
constexpr int LinearizationValueCount = 55;

struct KnownInk
{
    QString ink;         // short name, as in the files and the PPD ink sets
    QString displayName; // the slot's label in the editor
};

// The 14 inks a slot can hold, in their fixed order.
const std::array<KnownInk, 14> &KnownInks();
// The display name of a known short name; empty for any other text.
QString inkDisplayName(const QString &ink);

// A slot's use, in the order of the editor's use lists.
enum class InkUse { NotUsed, GrayInk, Toner, Toner2, CopyCurveFrom, LoadCurve };
// "Not Used", "Gray Ink", "Toner", "Toner 2", "Copy curve from", "Load Curve".
const QStringList &inkUseNames();

// Which page of the curve entry dialog made a slot's curve data.
enum class CurveSource { PointList, FileName };

struct InkSlot
{
    QString ink;
    InkUse use = InkUse::NotUsed;
    QString density;
    QString limit;
    QString copySource;
    QString curveData;
    CurveSource curveSource = CurveSource::PointList;
};

// The shape of the gray curve or of a toner curve (toner curves have no overlap).
struct CurveShape
{
    QString highlight;
    QString shadow;
    QString overlap;
    QString gamma;
    QString curve;
};

struct InkDescription
{
    QString printer;
    QString defaultInkLimit;
    QString boostK;
    // All eight slots are kept: a slot beyond inkCount remembers its ink, so switching
    // back to a model with that ink there keeps the slot's use.
    std::array<InkSlot, MaxInkSlots> inkSlots;
    int inkCount = 0;
    CurveShape gray;
    CurveShape toner;
    CurveShape toner2;
    std::array<QString, LinearizationValueCount> linearization;
    QStringList notes;

    // The slot of the current model that holds ink; -1 when there is none.
    int slotOf(const QString &ink) const;
};

// The defaults of a new description for a model with the given ink set (the notes are
// kept by the editor, a new description has none).
InkDescription newInkDescription(const QString &printer, const QStringList &inks,
                                 const QString &defaultInkLimit);

// Puts a model's ink set into the slots: a slot whose ink changes becomes "Not Used", so do
// the slots after the last ink.
void setUpInkSlots(InkDescription &description, const QStringList &inks);

// The ink set named by the value tokens of a "*%INKS" line: CMYK, PHOTOCMYK, PHOTOCMYK7,
// PHOTOCMYK8, or the inks themselves. Tokens are already upper-cased.
QStringList inkSetOfTokens(const QStringList &tokens);

// The tokens of one PPD line as the ink set reader sees them: runs of "%*._", digits and
// letters, upper-cased; blanks, "," and "=" between them are skipped; tokens stop at the
// first other character.
QStringList inkSetLineTokens(const QByteArray &line);

// The ink set of model from the "*%INKS" line of its PPD text. Throws ZorError naming the
// model when there is no such line, or it lists no ink, an ink outside KnownInks, an ink
// twice or more than eight inks.
QStringList inkSetFromPpd(const QByteArray &ppdText, const QString &model);

// The same, read from installFolder's PPD file of model; a file that cannot be read
// throws the platform's file error.
QStringList readModelInkSet(const QString &installFolder, const QString &model);

// The ink set of a listed model; may throw ZorError.
using InkSetLookup = std::function<QStringList(const QString &model)>;

struct InkDescriptionLoad
{
    QStringList errors;        // the lines of the error report, empty when all was read
    bool unchanged = false;    // a listed PRINTER was read and no neutralizer applied
    bool stoppedEarly = false; // the lines after an error stop were not read
    // What the editor does not keep but Curvewright needs: the last PRINTER value, listed
    // or not, and the last CURVE_NAME value.
    QString printerNamed;
    QString curveName;
};

// Reads a description's text into description, which holds the defaults of a new one.
// A PRINTER line naming one of models sets up the slots from inkSetOf. locale gives the
// decimal separator of the linearization values. What inkSetOf throws (a PPD file that
// cannot be read, a refused model) ends the read and is passed on.
InkDescriptionLoad readInkDescription(const QByteArray &text, InkDescription &description,
                                      const QStringList &models, const InkSetLookup &inkSetOf,
                                      const QLocale &locale = QLocale());

// Reads the file at path; a file that cannot be opened or read throws the platform's file
// error.
InkDescriptionLoad readInkDescriptionFile(const QString &path, InkDescription &description,
                                          const QStringList &models, const InkSetLookup &inkSetOf,
                                          const QLocale &locale = QLocale());

// The curve a description saved as fileName makes: the name without folder and last
// extension (its CURVE_NAME line).
QString curveNameOf(const QString &fileName);

// The file text of description saved as fileName (its name gives CURVE_NAME). Densities
// are read and values written with locale's decimal separator.
QByteArray inkDescriptionText(const InkDescription &description, const QString &fileName,
                              const QLocale &locale = QLocale());

// Writes the text to path, replacing any file there; throws the platform's file error.
void writeInkDescriptionFile(const InkDescription &description, const QString &path,
                             const QLocale &locale = QLocale());
