#include "PreviewReducer.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// A fixed scramble of (bin, block): the same picture on every decode.
quint32 scramble(int bin, qint64 block)
{
    quint32 h = quint32(bin) * 0x9E3779B1u ^ quint32(block) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

template <bool Swapped>
void addSamples16(quint32 *__restrict acc, const uchar *__restrict src, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        quint16 v;
        std::memcpy(&v, src + 2 * i, 2);
        if constexpr (Swapped)
            v = quint16(v << 8 | v >> 8);
        acc[i] += v;
    }
}

template <bool Swapped>
void addSamples16Strided(quint32 *__restrict acc, int step, const uchar *__restrict src,
                         qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        quint16 v;
        std::memcpy(&v, src + 2 * i, 2);
        if constexpr (Swapped)
            v = quint16(v << 8 | v >> 8);
        acc[i * step] += v;
    }
}

} // namespace

PreviewReducer::PreviewReducer(int width, int height, QSize target, int channels, int stride,
                               quint32 maxValue, bool invert)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)),
      m_target(std::clamp(target.width(), 1, m_width), std::clamp(target.height(), 1, m_height)),
      m_channels(channels == 3 ? 3 : 1), m_stride(std::max(stride, m_channels)),
      m_maxValue(std::max<quint32>(maxValue, 1)), m_invert(invert), m_endBin(m_target.height()),
      m_flushLimit(std::numeric_limits<quint32>::max() / m_maxValue),
      m_columnSums(size_t(m_width) * size_t(m_stride), 0),
      m_targetSums(size_t(m_target.width()) * size_t(m_channels), 0),
      m_columnStart(size_t(m_target.width()) + 1),
      m_image(m_target, m_channels == 3 ? QImage::Format_RGB32 : QImage::Format_Grayscale8)
{
    const qint64 tw = m_target.width();
    for (qint64 t = 0; t <= tw; ++t)
        m_columnStart[size_t(t)] = int(t * m_width / tw);
}

void PreviewReducer::setRowSampling(int minRows, int unitRows)
{
    m_minRows = std::max(minRows, 0);
    m_unitRows = std::max(unitRows, 1);
}

void PreviewReducer::setTargetRows(int first, int last)
{
    m_firstBin = std::clamp(first, 0, m_target.height());
    m_endBin = std::clamp(last, m_firstBin, m_target.height());
    m_bin = std::max(m_bin, m_firstBin);
}

int PreviewReducer::firstSourceRow() const
{
    return firstRowOfBin(m_firstBin);
}

int PreviewReducer::endSourceRow() const
{
    return firstRowOfBin(m_endBin);
}

int PreviewReducer::binOfRow(int y) const
{
    // The last target row whose first source row, floor(t * h / th), is not below y.
    const qint64 th = m_target.height();
    return int(((qint64(y) + 1) * th - 1) / m_height);
}

int PreviewReducer::firstRowOfBin(int bin) const
{
    return int(qint64(bin) * m_height / m_target.height());
}

int PreviewReducer::rowStepOfBin(int bin) const
{
    if (m_minRows <= 0)
        return 1;
    const qint64 rows = firstRowOfBin(bin + 1) - firstRowOfBin(bin);
    return rows >= 2 * qint64(m_minRows) ? int(rows / m_minRows) : 1;
}

bool PreviewReducer::wantsRow(int y) const
{
    if (y < firstSourceRow() || y >= endSourceRow())
        return false;
    if (m_minRows <= 0)
        return true;
    const int bin = binOfRow(y);
    const int step = rowStepOfBin(bin);
    if (step == 1)
        return true;
    if (samplesUnits(bin))
        return wantsRowOfUnits(bin, y);
    const int first = firstRowOfBin(bin);
    const int block = (y - first) / step;
    const int blockStart = first + block * step;
    const int blockRows = std::min(step, firstRowOfBin(bin + 1) - blockStart);
    return y - blockStart == int(scramble(bin, block) % quint32(blockRows));
}

bool PreviewReducer::samplesUnits(int bin) const
{
    return m_unitRows > 1 && firstRowOfBin(bin + 1) - firstRowOfBin(bin) >= 2 * qint64(m_unitRows);
}

bool PreviewReducer::wantsRowOfUnits(int bin, int y) const
{
    const qint64 u = m_unitRows;
    // The units wholly inside the target row; spanning two units, it holds at least one.
    const qint64 firstUnit = (firstRowOfBin(bin) + u - 1) / u;
    const qint64 units = firstRowOfBin(bin + 1) / u - firstUnit;
    const qint64 unit = y / u - firstUnit;
    if (unit < 0 || unit >= units)
        return false;
    // One unit out of each of `taken` equal shares, the way rows are taken from blocks.
    const qint64 taken = std::min(units, (m_minRows + u - 1) / u);
    const qint64 share = ((unit + 1) * taken - 1) / units;
    const qint64 shareStart = share * units / taken;
    const qint64 shareUnits = (share + 1) * units / taken - shareStart;
    if (unit != shareStart + qint64(scramble(bin, -1 - share) % quint64(shareUnits)))
        return false;
    // In that unit, one row out of each block of step rows.
    const qint64 step = std::max<qint64>(1, u * taken / m_minRows);
    const qint64 row = y - (firstUnit + unit) * u;
    const qint64 blockStart = row / step * step;
    const qint64 blockRows = std::min(step, u - blockStart);
    return row - blockStart == qint64(scramble(bin, row / step) % quint64(blockRows));
}

quint32 *PreviewReducer::beginRow(int y)
{
    const int bin = std::clamp(binOfRow(std::clamp(y, 0, m_height - 1)), m_firstBin,
                               std::max(m_endBin - 1, m_firstBin));
    while (m_bin < bin)
        finishTargetRow();
    if (m_pendingRows >= m_flushLimit)
        flushColumns();
    ++m_pendingRows;
    ++m_binRows;
    return m_columnSums.data();
}

void PreviewReducer::flushColumns()
{
    if (m_pendingRows == 0)
        return;
    const int tw = m_target.width();
    const quint32 *sums = m_columnSums.data();
    for (int t = 0; t < tw; ++t) {
        const int x0 = m_columnStart[size_t(t)];
        const int x1 = m_columnStart[size_t(t) + 1];
        for (int c = 0; c < m_channels; ++c) {
            quint64 s = 0;
            for (int x = x0; x < x1; ++x)
                s += sums[size_t(x) * size_t(m_stride) + size_t(c)];
            m_targetSums[size_t(t) * size_t(m_channels) + size_t(c)] += s;
        }
    }
    std::fill(m_columnSums.begin(), m_columnSums.end(), 0u);
    m_pendingRows = 0;
}

void PreviewReducer::finishTargetRow()
{
    if (m_bin >= m_endBin)
        return;
    flushColumns();
    const int tw = m_target.width();
    uchar *line = m_image.scanLine(m_bin);
    for (int t = 0; t < tw; ++t) {
        const quint64 pixels =
            quint64(m_columnStart[size_t(t) + 1] - m_columnStart[size_t(t)]) * m_binRows;
        int value[3] = {0, 0, 0};
        for (int c = 0; c < m_channels; ++c) {
            const quint64 sum = m_targetSums[size_t(t) * size_t(m_channels) + size_t(c)];
            int v = 0;
            if (pixels > 0) {
                // round(sum / pixels * 255 / max), exact in 128-bit integers
                using U = unsigned __int128;
                const U denominator = U(pixels) * m_maxValue;
                v = int((U(sum) * 510u + denominator) / (2u * denominator));
            }
            value[c] = m_invert ? 255 - v : v;
        }
        if (m_channels == 3)
            reinterpret_cast<QRgb *>(line)[t] = qRgb(value[0], value[1], value[2]);
        else
            line[t] = uchar(value[0]);
    }
    std::fill(m_targetSums.begin(), m_targetSums.end(), quint64(0));
    m_binRows = 0;
    ++m_bin;
}

QImage PreviewReducer::finish()
{
    while (m_bin < m_endBin)
        finishTargetRow();
    return m_image;
}

void PreviewReducer::add8(quint32 *__restrict acc, const uchar *__restrict src, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i)
        acc[i] += src[i];
}

void PreviewReducer::add16(quint32 *acc, const uchar *src, qsizetype count, bool swapped)
{
    if (swapped)
        addSamples16<true>(acc, src, count);
    else
        addSamples16<false>(acc, src, count);
}

void PreviewReducer::add8Strided(quint32 *__restrict acc, int step, const uchar *__restrict src,
                                 qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i)
        acc[i * step] += src[i];
}

void PreviewReducer::add16Strided(quint32 *acc, int step, const uchar *src, qsizetype count,
                                  bool swapped)
{
    if (swapped)
        addSamples16Strided<true>(acc, step, src, count);
    else
        addSamples16Strided<false>(acc, step, src, count);
}
