#pragma once

#include "render/canvas.h"

#include <QList>

namespace tessik {

// Whether the boxes a clear around them left untouched have all been drawn over again, solid
// and in copy mode: from then on nothing drawn before the clear shows anywhere in the picture.
// A box drawn under another counts once that other one is drawn whole, which covers the part
// it left out.
class ClearedBoxes {
public:
    void start(const QList<RoundedBox> &boxes);
    void stop();
    void drawnWhole(const RoundedBox &box);
    void drawnUnder(const RoundedBox &box, const RoundedBox &hiddenBy);
    bool allDrawnOver() const { return m_tracking && m_left.isEmpty() && m_waitingFor.isEmpty(); }

private:
    bool m_tracking = false;
    QList<RoundedBox> m_left;       // not drawn at all yet
    QList<RoundedBox> m_whole;      // drawn whole since the clear
    QList<RoundedBox> m_waitingFor; // still to be drawn whole, to cover what a box under them left out
};

} // namespace tessik
