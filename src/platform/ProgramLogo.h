#pragma once

#include <QPixmap>
#include <QSize>

// The program's logo, an ink drop filled with a grey step wedge, drawn at size (device
// independent pixels) for a screen with the given device pixel ratio.
QPixmap programLogo(QSize size, qreal pixelRatio);
