#pragma once

#include <QFont>

namespace tessik {

// Arial at a pixel size (point sizes at 96 dots per inch); Liberation Sans stands in for it where
// Arial is not installed.
QFont arialFont(int pixelSize, bool bold);

// Where Arial is not installed but Liberation Sans is, makes Liberation Sans another name of Arial,
// so that Qt finds it at once. Once, after the application object is made and before any other
// thread uses fonts.
void nameArialStandIn();
// Whether the installed families (as QFontDatabase lists them) call for that: no Arial of any
// foundry, and Liberation Sans.
bool needsArialStandIn(const QStringList &families);

// The captions of the boxes: Arial 8.25 points bold, that is 11 pixels, whatever the screen's
// resolution. Kerning is off: widths are sums of character advances, so the drawn text has
// exactly the measured width. Light hinting, whatever the screen's density.
QFont captionFont();

} // namespace tessik
