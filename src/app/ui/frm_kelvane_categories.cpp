#include "app/ui/frm_kelvane.h"

#include "model/block_table.h"
#include "model/classification.h"
#include "model/colour_pick.h"
#include "model/rounding.h"
#include "render/artwork.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QPixmap>
#include <QRadioButton>

// The two classifications: the view switch, picking a value from a key picture, the presets.
namespace tessik {

void frmKelvane::SeedCategories()
{
    lstPresets->addItems(presetEntries());
}

void frmKelvane::optType_Click(int Index)
{
    colours.ViewType = Index;
    optType[size_t(Index)]->setChecked(true);
    picLedgend->setVisible(Index == NotesView);
    PicCategories->setVisible(Index != NotesView);
    PlotDiagram(QString());
}

void frmKelvane::startPick(const QString &value)
{
    static const QCursor pickPointer(QPixmap::fromImage(pickPointerImage()), pickPointerHotSpot().x(),
                                     pickPointerHotSpot().y());
    // A second press before dropping replaces the value; the pointer is pushed only once.
    if (!PickPending)
        QApplication::setOverrideCursor(pickPointer);
    PickPending = true;
    PickText = value;
}

void frmKelvane::pickFrom(SurfaceView *picture, QString (*select)(const PixelReader &, int, int),
                          const PointerEvent &event)
{
    const Surface &surface = picture->surface();
    startPick(select([&](int x, int y) { return surface.point(x, y); }, int(roundHalfEven(event.pixel.x())),
                     int(roundHalfEven(event.pixel.y()))));
}

void frmKelvane::PicCategories_MouseDown(const PointerEvent &event)
{
    pickFrom(PicCategories, SelectCategory, event);
}
void frmKelvane::picLedgend_MouseDown(const PointerEvent &event)
{
    pickFrom(picLedgend, SelectNote, event);
}

void frmKelvane::keyPicture_MouseUp(const PointerEvent &event)
{
    // The picture holds the mouse from its press, so a release over the diagram arrives here;
    // it drops the pick as a release on the diagram would. A release elsewhere keeps the pick
    // pending for a click on a block.
    const QPoint at = picDiagram->mapFromGlobal(event.global.toPoint());
    const QRect drawing = picDiagram->contentsRect();
    if (!PickPending || !drawing.contains(at))
        return;
    picDiagram_MouseUp({event.Button, event.Shift, QPointF(at - drawing.topLeft()), event.global});
}

} // namespace tessik
