#include "PgmStream.h"

#include <QByteArray>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr int MaxCommentKept = 200;

bool isBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

int PgmStream::next()
{
    return std::fgetc(m_in);
}

// Skips blanks and comments, then reads a decimal number of at most nine digits.
std::optional<long> PgmStream::number(QString &error)
{
    int c = next();
    while (c != EOF && (isBlank(c) || c == '#')) {
        if (c == '#') {
            QByteArray comment;
            while ((c = next()) != EOF && c != '\n') {
                if (comment.size() < MaxCommentKept)
                    comment.append(char(c));
            }
            static const QRegularExpression resolution(
                QStringLiteral("^\\s*resolution\\s+(\\d{1,5})\\s*dpi\\s*$"));
            const auto match = resolution.match(QString::fromLatin1(comment));
            if (match.hasMatch())
                m_header.dpi = match.captured(1).toInt();
        }
        c = next();
    }
    long value = 0;
    int digits = 0;
    while (c >= '0' && c <= '9') {
        if (++digits > 9) {
            error = QStringLiteral("a number in the header is too long");
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        c = next();
    }
    if (digits == 0 || !isBlank(c)) {
        error = QStringLiteral("the header is damaged");
        return std::nullopt;
    }
    return value;
}

std::optional<PgmHeader> PgmStream::readHeader(QString &error)
{
    const int p = next();
    if (p == EOF) {
        error = QStringLiteral("empty");
        return std::nullopt;
    }
    if (p != 'P' || next() != '5') {
        error = QStringLiteral("not a binary PGM (P5)");
        return std::nullopt;
    }
    const int c = next();
    if (!isBlank(c)) {
        error = QStringLiteral("not a binary PGM (P5)");
        return std::nullopt;
    }
    std::ungetc(c, m_in);
    const auto width = number(error);
    const auto height = width ? number(error) : std::nullopt;
    const auto maxValue = height ? number(error) : std::nullopt;
    if (!maxValue)
        return std::nullopt;
    if (*width < 1 || *width > MaxPgmSide || *height < 1 || *height > MaxPgmSide) {
        error = QStringLiteral("size %1 x %2 is not a page raster").arg(*width).arg(*height);
        return std::nullopt;
    }
    if (*maxValue < 1 || *maxValue > 65535) {
        error = QStringLiteral("maxval %1 is not from 1 to 65535").arg(*maxValue);
        return std::nullopt;
    }
    m_header.width = int(*width);
    m_header.height = int(*height);
    m_header.maxValue = int(*maxValue);
    m_bytes.resize(size_t(m_header.width) * (m_header.maxValue > 255 ? 2 : 1));
    return m_header;
}

bool PgmStream::readRow(std::vector<uint16_t> &samples)
{
    if (std::fread(m_bytes.data(), 1, m_bytes.size(), m_in) != m_bytes.size())
        return false;
    samples.resize(size_t(m_header.width));
    const bool wide = m_header.maxValue > 255;
    for (size_t x = 0; x < samples.size(); ++x) {
        const uint16_t v = wide ? uint16_t(m_bytes[2 * x] << 8 | m_bytes[2 * x + 1]) : m_bytes[x];
        samples[x] = std::min<uint16_t>(v, uint16_t(m_header.maxValue));
    }
    return true;
}
