#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the tools need of a printing model's PPD file: the option keywords of each option
// group, the paper sizes with their printable areas, the custom size limits and the ink
// set. Lengths are in points (1/72 inch), as in the file.
struct PpdPaper
{
    double width = 0;
    double length = 0;
};

struct PpdArea
{
    double llx = 0, lly = 0, urx = 0, ury = 0; // from the lower left corner of the portrait page
};

class PpdModel
{
public:
    // Model files are a few kilobytes; anything beyond this is not one.
    static constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

    static std::optional<PpdModel> parse(const QByteArray &content);

    // The group of a main keyword without its asterisk ("MediaType"), found whatever the
    // letter case of the file.
    bool hasGroup(const QString &mainKeyword) const;
    QStringList options(const QString &mainKeyword) const;

    std::optional<PpdPaper> paperDimension(const QString &pageSize) const;
    std::optional<PpdArea> imageableArea(const QString &pageSize) const;

    bool customPageSize() const { return m_customPageSize; }
    double minCustomWidth() const { return m_minWidth; }
    double maxCustomWidth() const { return m_maxWidth; }
    double minCustomLength() const { return m_minLength; }
    double maxCustomLength() const { return m_maxLength; }
    // Left, bottom, right, top; the printable area of custom sizes.
    std::array<double, 4> hwMargins() const { return m_hwMargins; }

    // The inks in curve channel order from the "*%INKS" line, upper-cased; empty without one.
    QStringList inks() const { return m_inks; }

private:
    QHash<QString, QStringList> m_groups; // upper-cased main keyword -> option keywords
    QHash<QString, PpdPaper> m_papers;
    QHash<QString, PpdArea> m_areas;
    bool m_customPageSize = false;
    double m_minWidth = 0, m_maxWidth = 0, m_minLength = 0, m_maxLength = 0;
    std::array<double, 4> m_hwMargins{0, 0, 0, 0};
    QStringList m_inks;
};

// The ink set named by the tokens after "*%INKS" (CMYK, PHOTOCMYK, PHOTOCMYK7, PHOTOCMYK8,
// or the inks themselves).
QStringList expandInkSet(const QStringList &tokens);
