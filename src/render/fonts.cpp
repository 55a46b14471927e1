#include "render/fonts.h"

namespace tessik {

QFont arialFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont captionFont()
{
    QFont font = arialFont(11, true);
    font.setKerning(false);
    return font;
}

} // namespace tessik
