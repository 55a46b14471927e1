#include "app/ui/frm_kelvane.h"

#include "app/core/chosen_file.h"
#include "app/core/picture_export.h"
#include "files/paths.h"
#include "render/diagram_picture.h"

#include <QLineEdit>
#include <QPainter>

// Pictures of the analysis beyond the snapshot: a PDF, SVG or PNG file, and a printed page.
// Both show the diagram as the window draws it, without the marks of the moment (the editor's
// outline, search hits, a replay).
namespace tessik {

namespace {

const QString kPictureFilter =
    QStringLiteral("PDF document (*.pdf)|*.pdf|SVG picture (*.svg)|*.svg|PNG picture (*.png)|*.png");
const QString kPictureDialogTitle = QStringLiteral(" Save a picture of the diagram");

// What pictures and print jobs of the analysis are called: its file's name, when it has one.
QString pictureName(const QString &CurrentFile)
{
    return CurrentFile.isEmpty() ? QStringLiteral("Diagram") : FileNameOnly(CurrentFile);
}

} // namespace

void frmKelvane::exportDiagram()
{
    const QString &file = m_document.currentFile();
    const QString name = pictureName(file) + QStringLiteral(".pdf");
    const QString folder = file.isEmpty() ? m_document.lastFolder() : FindPath(file);
    const QString path = chooseFileWithEnding(
        m_platform, {FileDialogMode::Save, kPictureFilter, kPictureDialogTitle, name, folder}, ForeignEnding::Kept);
    if (path.isEmpty())
        return;
    const IoResult written =
        writePicture(path, {m_document.table(), colours, mapping(), m_document.analysis().description});
    if (!written.ok)
        m_platform.showMessage(pictureFailureMessage(path, written.reason), MessageButtons::Ok);
}

void frmKelvane::printDiagram()
{
    const BlockTable &table = m_document.table();
    const QRect area = diagramArea(table, mapping());
    const PrintOutcome outcome =
        m_platform.printPage({pictureName(m_document.currentFile()), area.width() > area.height()},
                             [&](QPainter &painter, const QRectF &page) {
                                 painter.setTransform(fitTransform(area, page), true);
                                 paintDiagram(painter, area, table, colours, mapping());
                             });
    if (outcome == PrintOutcome::Failed)
        m_platform.showMessage(QStringLiteral("The diagram could not be printed."), MessageButtons::Ok);
}

} // namespace tessik
