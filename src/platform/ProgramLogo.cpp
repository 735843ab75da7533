#include "ProgramLogo.h"

#include <QPainter>
#include <QPainterPath>

#include <iterator>

namespace {

// The drawing is designed on this grid and scaled to the size asked for.
constexpr qreal kDesignedWidth = 35.0;
constexpr qreal kDesignedHeight = 36.0;

} // namespace

// The program prints in shades of grey: the drop shows them.
QPixmap programLogo(QSize size, qreal pixelRatio)
{
    QPixmap pixmap(size * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size.width() / kDesignedWidth, size.height() / kDesignedHeight);

    const QRectF bowl(5.5, 11.0, 24.0, 24.0);
    QPainterPath drop;
    drop.moveTo(17.5, 1.0);
    drop.cubicTo(19.5, 6.0, 29.5, 13.0, bowl.right(), bowl.center().y());
    drop.arcTo(bowl, 0.0, -180.0);
    drop.cubicTo(5.5, 13.0, 15.5, 6.0, 17.5, 1.0);

    const QColor steps[] = {QColor(0xf2, 0xf2, 0xf2), QColor(0xcc, 0xcc, 0xcc),
                            QColor(0xa3, 0xa3, 0xa3), QColor(0x7a, 0x7a, 0x7a),
                            QColor(0x52, 0x52, 0x52), QColor(0x2b, 0x2b, 0x2b)};
    const qreal top = 1.0;
    const qreal stepHeight = (bowl.bottom() - top) / std::size(steps);
    painter.save();
    painter.setClipPath(drop);
    for (size_t i = 0; i < std::size(steps); ++i)
        painter.fillRect(QRectF(0, top + stepHeight * i, kDesignedWidth, stepHeight + 0.5),
                         steps[i]);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 150));
    painter.drawEllipse(QRectF(10.5, 19.0, 4.0, 7.0));
    painter.restore();

    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(drop);
    return pixmap;
}
