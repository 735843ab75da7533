#include "RotatedLabel.h"

#include <QEvent>
#include <QPainter>
#include <QTransform>
#include <cmath>

RotatedLabel::RotatedLabel(const QString &text, QWidget *parent) : QWidget(parent), m_text(text)
{
    fitToText();
}

void RotatedLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    fitToText();
    update();
}

void RotatedLabel::setAngle(int degrees)
{
    const int normalised = ((degrees % 360) + 360) % 360;
    if (normalised == m_angle)
        return;
    m_angle = normalised;
    fitToText();
    update();
}

// The unturned text box, centred on the origin. Its width is the advance, not the ink, so
// trailing blanks count as they do in a plain label.
QRectF RotatedLabel::textRect() const
{
    const QFontMetrics fm(font());
    const qreal w = fm.horizontalAdvance(m_text);
    const qreal h = fm.height();
    return QRectF(-w / 2, -h / 2, w, h);
}

QSize RotatedLabel::sizeHint() const
{
    QTransform turn;
    turn.rotate(-m_angle);
    const QRectF box = turn.mapRect(textRect());
    return QSize(int(std::ceil(box.width() - 0.01)), int(std::ceil(box.height() - 0.01)));
}

void RotatedLabel::fitToText()
{
    updateGeometry();
    resize(sizeHint());
}

void RotatedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    painter.translate(width() / 2.0, height() / 2.0);
    painter.rotate(-m_angle);
    painter.drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}

void RotatedLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        fitToText();
    QWidget::changeEvent(event);
}
