#pragma once

#include <QString>
#include <QWidget>

// A transparent one-line label that draws its text turned by an angle in degrees,
// counter-clockwise (90 reads from bottom to top). Like a designed auto-size label it
// resizes itself to the turned text whenever the text, angle or font changes, so callers
// can place it by its width and height right after changing the angle.
class RotatedLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(int angle READ angle WRITE setAngle)

public:
    explicit RotatedLabel(const QString &text = QString(), QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    // Degrees, counter-clockwise; kept in 0..359.
    int angle() const { return m_angle; }
    void setAngle(int degrees);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QRectF textRect() const;
    void fitToText();

    QString m_text;
    int m_angle = 0;
};
