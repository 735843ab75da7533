#pragma once

#include "TImageFacts.h"

#include <QImage>
#include <QSize>
#include <QString>

// The TIFF decoder behind the image probe: the facts of a file's first image and a small
// preview picture, made in one pass over the strips or tiles with memory that does not
// grow with the image.
//
// Decoded: grey (1, 2, 4, 8, 16 bit; MinIsBlack and MinIsWhite), palette (1, 2, 4, 8
// bit), RGB (8 and 16 bit), samples contiguous or planar, extra samples ignored; strips
// or tiles; no compression, LZW, Deflate (both codes) and PackBits, with or without the
// horizontal predictor; either byte order, classic TIFF and BigTIFF. Anything else is a
// failure, and so is a file whose tables do not fit its size.
//
// libtiff never prints: its errors are collected into the result's error text and its
// warnings dropped.

struct TTiffOptions
{
    // Bounds that keep a damaged or hostile file from costing memory: what a header
    // claims is checked against them and against the file's size before anything is
    // allocated.
    qint64 maxBufferBytes = qint64(256) << 20; // one decoded strip, or one row of tiles
    qint64 maxRowSamples = qint64(1) << 24;    // samples of one image row
    // Compressed images of at least this many bytes of pixel data whose preview rows
    // each span n >= 32 source rows average only one row out of every n / 16 (so 16 or
    // more per preview row) and decode only the strips that hold those. The rows taken
    // are scattered, so that a regular pattern turns into a little noise rather than
    // into bands. This makes opening a 250 MB LZW scan three times quicker; photographs
    // look the same. Where a preview row spans two or more strips or rows of tiles, its
    // rows come from as few of them as hold 16 rows, so the others are not decoded.
    // 0: whenever the reduction is that large; negative: never.
    qint64 rowSamplingFromBytes = qint64(64) << 20;
};

struct TTiffDecodeResult
{
    bool ok = false;
    QString error;     // why decoding failed; for logs only, never shown to the user
    TImageFacts facts; // Loaded is set; after a failure the rest reads 0 (TImageFacts::failed)
    // Format_Grayscale8 for grey images, Format_RGB32 for RGB and palette images; null
    // after a failure and when probing only.
    QImage preview;
};

// The facts of the first image, and whether it can be decoded, judged from its
// directory and the placement of its strips; the pixel data is not read, so a damaged
// compressed stream is found only by decodeTiff.
TTiffDecodeResult probeTiff(const QString &path, const TTiffOptions &options = {});

// The facts and a preview that fits inside maxPreviewSize with the image's proportions
// (never larger than the image), each pixel the mean of the source pixels in its box
// (of a sample of their rows for huge compressed images, see rowSamplingFromBytes).
// Large images are read by up to four threads, each through its own file handle.
TTiffDecodeResult decodeTiff(const QString &path, const QSize &maxPreviewSize,
                             const TTiffOptions &options = {});

// The preview size decodeTiff makes for an image of imageSize pixels.
QSize previewSizeFor(const QSize &imageSize, const QSize &maxSize);
