#include "platform/ui/SpeedButton.h"

#include "platform/ui/Accelerator.h"
#include "platform/ui/Application.h"

#include <QPainter>
#include <qdrawutil.h>

namespace ui {

SpeedButton::SpeedButton(QWidget* parent) : QAbstractButton(parent)
{
    joinAcceleratorRule(this);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, true);
    connect(this, &QAbstractButton::clicked, this, [this] { runHandler(OnClick); });
}

void SpeedButton::setFontSize(int points)
{
    if (fontSize() == points)
        return;
    QFont f = font();
    f.setPixelSize(pixelsOfPoints(points));
    setFont(f);
}

int SpeedButton::fontSize() const
{
    return font().pixelSize() > 0 ? pointsOfPixels(font().pixelSize()) : font().pointSize();
}

void SpeedButton::setFontColor(const QColor& color)
{
    if (fontColor_ == color)
        return;
    fontColor_ = color;
    update();
}

QSize SpeedButton::sizeHint() const
{
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, QAbstractButton::text());
    return text + QSize(8, 8);
}

void SpeedButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    if (isDown())
        qDrawShadePanel(&p, r, palette(), true, 1);
    else if (underMouse() && isEnabled())
        qDrawShadePanel(&p, r, palette(), false, 1);
    p.setPen(isEnabled() ? fontColor_ : palette().color(QPalette::Disabled, QPalette::WindowText));
    p.setFont(font());
    p.drawText(r.translated(isDown() ? 1 : 0, isDown() ? 1 : 0), Qt::AlignCenter | Qt::TextShowMnemonic,
               text());
}

void SpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    runHandler(OnMouseMove);
    QAbstractButton::mouseMoveEvent(event);
}

void SpeedButton::enterEvent(QEnterEvent* event)
{
    update();
    QAbstractButton::enterEvent(event);
}

void SpeedButton::leaveEvent(QEvent* event)
{
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace ui
