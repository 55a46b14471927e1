#include "app/ui/frm_kelvane.h"

#include "platform/core/platform.h"

#include <QApplication>

// The diagram's mouse events, handed to the pointer handling in diagram units.
namespace tessik {

float frmKelvane::unitsX(const PointerEvent &event) const
{
    return mapping().pixelToUnitsX(event.pixel.x());
}
float frmKelvane::unitsY(const PointerEvent &event) const
{
    return mapping().pixelToUnitsY(event.pixel.y());
}

void frmKelvane::picDiagram_MouseDown(const PointerEvent &event)
{
    m_mouse.MouseDown(event.Button, event.Shift, unitsX(event), unitsY(event));
}

void frmKelvane::picDiagram_MouseMove(const PointerEvent &event)
{
    m_mouse.MouseMove(event.Button, event.Shift, unitsX(event), unitsY(event));
}

void frmKelvane::picDiagram_MouseUp(const PointerEvent &event)
{
    m_mouse.MouseUp(event.Button, event.Shift, unitsX(event), unitsY(event));
}

void frmKelvane::tellUser(const QString &message)
{
    m_platform.showMessage(message, MessageButtons::Ok);
}

void frmKelvane::endPick()
{
    if (PickPending && QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    PickPending = false;
}

} // namespace tessik
