#include "render/cleared_boxes.h"

namespace tessik {

void ClearedBoxes::start(const QList<RoundedBox> &boxes)
{
    m_tracking = true;
    m_left = boxes;
    m_whole.clear();
    m_waitingFor.clear();
}

void ClearedBoxes::stop()
{
    m_tracking = false;
    m_left.clear();
    m_whole.clear();
    m_waitingFor.clear();
}

void ClearedBoxes::drawnWhole(const RoundedBox &box)
{
    if (!m_tracking)
        return;
    m_left.removeOne(box);
    m_waitingFor.removeAll(box);
    m_whole.append(box);
}

void ClearedBoxes::drawnUnder(const RoundedBox &box, const RoundedBox &hiddenBy)
{
    if (!m_tracking || !m_left.removeOne(box))
        return;
    if (!m_whole.contains(hiddenBy) && !m_waitingFor.contains(hiddenBy))
        m_waitingFor.append(hiddenBy);
}

} // namespace tessik
