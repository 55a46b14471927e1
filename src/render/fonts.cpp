#include "render/fonts.h"

#include <QFontDatabase>
#include <qpa/qplatformfontdatabase.h>

#include <algorithm>

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

void nameArialStandIn()
{
    // Asked for a family the system lacks, Qt sorts every installed font by its likeness to the one
    // asked for and takes the first: about a millisecond and a half of the start-up, with the fonts
    // of an ordinary desktop, before the window's first text. The system's font configuration puts
    // Liberation Sans, Arial's metric twin, first; named as Arial it is found without the sort, and
    // its glyphs are drawn the same.
    if (needsArialStandIn(QFontDatabase::families()))
        QPlatformFontDatabase::registerAliasToFontFamily(QStringLiteral("Liberation Sans"), QStringLiteral("Arial"));
}

bool needsArialStandIn(const QStringList &families)
{
    // A family that several foundries make is listed once for each, as "Arial [foundry]".
    const bool hasArial = std::any_of(families.begin(), families.end(), [](const QString &family) {
        return family == QLatin1String("Arial") || family.startsWith(QLatin1String("Arial ["));
    });
    return !hasArial && families.contains(QStringLiteral("Liberation Sans"));
}

} // namespace tessik
