#include "app/ui/caption_frame.h"

#include <QPainter>
#include <QStyleOptionGroupBox>

namespace tessik {

namespace {

// Where the style puts the frame's top edge below the caption, and how round its corners are.
constexpr int kCaptionGap = 3;
constexpr qreal kCornerRadius = 2.5;

} // namespace

void CaptionFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const int top = std::max(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, this),
                             option.fontMetrics.height()) +
                    kCaptionGap;
    const QColor window = palette().color(QPalette::Window);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(window.darker(125));
    painter.setBrush(window.lighter(103));
    painter.drawRoundedRect(QRectF(rect().adjusted(0, top, -1, -1)).translated(0.5, 0.5), kCornerRadius, kCornerRadius);
    const QRect caption = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    style()->drawItemText(&painter, caption, int(option.textAlignment) | Qt::TextShowMnemonic, palette(), isEnabled(),
                          title(), QPalette::WindowText);
}

} // namespace tessik
