#pragma once

#include <QImage>
#include <QSize>
#include <QtGlobal>

#include <vector>

// Shrinks a stream of source rows to a small picture by area averaging: every target
// pixel is the mean of the source pixels that fall into it, so fine detail turns into
// grey instead of aliasing. Source rows arrive top to bottom; the reducer keeps one sum
// per source sample of the current target row (the vertical pass) and one per target
// sample (the horizontal pass), so its memory follows the row width, never the height.
//
//     PreviewReducer r(w, h, target, 1, 1, 65535, false);
//     for (int y = 0; y < h; ++y)
//         if (r.wantsRow(y))
//             PreviewReducer::add16(r.beginRow(y), row(y), w, false);
//     QImage picture = r.finish();
class PreviewReducer
{
public:
    // channels: 1 (grey, Format_Grayscale8) or 3 (colour, Format_RGB32). stride: samples
    // per source pixel in the accumulator, of which the first `channels` are shown (the
    // rest, such as alpha, are summed but ignored). maxValue: the largest sample value,
    // which maps to 255. invert: the samples are darkness (MinIsWhite).
    PreviewReducer(int width, int height, QSize target, int channels, int stride, quint32 maxValue,
                   bool invert);

    QSize targetSize() const { return m_target; }
    qsizetype rowSamples() const { return qsizetype(m_width) * m_stride; }

    // Rows may be left out (see setRowSampling and setTargetRows); a caller that reads
    // the rows anyway just skips them.
    bool wantsRow(int y) const;
    // Averages only one row out of each block of k rows of a target row when it spans at
    // least 2 * minRows source rows, keeping at least minRows of them; 0 averages all
    // rows. The row taken varies from block to block, so that a periodic pattern turns
    // into a little noise rather than into bands.
    //
    // unitRows: the source is decoded in units of that many rows (strips, rows of tiles),
    // aligned to row 0. A target row spanning at least two units then takes its rows from
    // as few units as hold minRows rows, one from each equal share of its units, so that
    // the others need not be decoded at all.
    void setRowSampling(int minRows, int unitRows = 1);
    // Makes only target rows [first, last) and takes only their source rows, so that
    // several reducers can share one image (each then fills only its own rows).
    void setTargetRows(int first, int last);
    // The source rows of the target rows made: [first, last).
    int firstSourceRow() const;
    int endSourceRow() const;

    // The accumulator to add source row y into (rowSamples() sums); rows in rising order.
    quint32 *beginRow(int y);
    // The picture, once the last wanted row has been added.
    QImage finish();

    // Adding one row into the accumulator. Samples are read byte-wise, so the source
    // may sit at any address; swapped reads 16-bit samples of the other byte order.
    static void add8(quint32 *acc, const uchar *src, qsizetype count);
    static void add16(quint32 *acc, const uchar *src, qsizetype count, bool swapped);
    // Every sample of src into every step-th sum (one plane of a planar image).
    static void add8Strided(quint32 *acc, int step, const uchar *src, qsizetype count);
    static void add16Strided(quint32 *acc, int step, const uchar *src, qsizetype count,
                             bool swapped);

private:
    int binOfRow(int y) const;
    int firstRowOfBin(int bin) const;
    int rowStepOfBin(int bin) const;
    bool samplesUnits(int bin) const;
    bool wantsRowOfUnits(int bin, int y) const;
    void flushColumns();
    void finishTargetRow();

    int m_width;
    int m_height;
    QSize m_target;
    int m_channels;
    int m_stride;
    quint32 m_maxValue;
    bool m_invert;
    int m_minRows = 0;
    int m_unitRows = 1;
    int m_firstBin = 0;
    int m_endBin;
    quint32 m_flushLimit; // rows the 32-bit column sums can take without overflowing

    std::vector<quint32> m_columnSums; // width * stride
    std::vector<quint64> m_targetSums; // target width * channels
    std::vector<int> m_columnStart;    // target width + 1 source column bounds
    int m_bin = 0;                     // the target row being summed
    quint32 m_pendingRows = 0;         // rows in m_columnSums
    quint64 m_binRows = 0;             // rows summed into the current target row
    QImage m_image;
};
