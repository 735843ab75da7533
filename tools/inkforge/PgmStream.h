#pragma once

#include <QString>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

// A binary PGM ("P5") read from a stream row by row, so memory holds one row whatever
// the header claims. Samples are one byte for maxval below 256, else two, big-endian.
// A comment "# resolution <n> dpi" in the header gives the raster's resolution.
struct PgmHeader
{
    int width = 0;
    int height = 0;
    int maxValue = 0;
    int dpi = 0; // 0 when the header does not say
};

// Wider or taller than this is no page raster (a 44 inch page at 150 dpi is 6600 rows).
constexpr int MaxPgmSide = 1 << 20;

class PgmStream
{
public:
    explicit PgmStream(std::FILE *in) : m_in(in) {}

    // Nothing, with the reason in error, when the stream does not start with a valid
    // header. An empty stream gives the error "empty".
    std::optional<PgmHeader> readHeader(QString &error);

    // The next row's samples; false at a short read.
    bool readRow(std::vector<uint16_t> &samples);

private:
    int next();
    std::optional<long> number(QString &error);

    std::FILE *m_in;
    PgmHeader m_header;
    std::vector<unsigned char> m_bytes;
};
