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
    // Light hinting, the usual desktop setting, which Qt drops on a scaled screen. Asked for here,
    // the glyphs of a picture at one pixel a pixel are the same on every screen.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

} // namespace tessik
