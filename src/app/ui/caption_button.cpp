#include "app/ui/caption_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace tessik {

void CaptionButton::paintEvent(QPaintEvent *event)
{
    // Most captions fit on one line: the ordinary button paints them.
    if (fontMetrics().horizontalAdvance(text()) <= width() - 8) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(1, 0, -1, 0);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
}

} // namespace tessik
