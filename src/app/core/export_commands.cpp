#include "app/core/export_commands.h"

#include "app/core/chosen_file.h"
#include "app/core/document.h"
#include "app/core/report/report_file.h"
#include "app/core/snapshot_file.h"
#include "files/paths.h"
#include "platform/core/platform.h"
#include "render/diagram_picture.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPainter>

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

void ExportCommands::exportPicture(const DiagramColours &colours, const PixelMapping &mapping)
{
    const QString &file = m_document.currentFile();
    const QString name = pictureName(file) + QStringLiteral(".pdf");
    const QString folder = file.isEmpty() ? m_document.lastFolder() : FindPath(file);
    const QString path = chooseFileWithEnding(
        m_platform, {FileDialogMode::Save, kPictureFilter, kPictureDialogTitle, name, folder}, ForeignEnding::Kept);
    if (path.isEmpty())
        return;
    const IoResult written =
        writePicture(path, {m_document.table(), colours, mapping, m_document.analysis().description});
    if (!written.ok)
        m_platform.showMessage(pictureFailureMessage(path, written.reason), MessageButtons::Ok);
}

void ExportCommands::print(const DiagramColours &colours, const PixelMapping &mapping)
{
    const BlockTable &table = m_document.table();
    const QRect area = diagramArea(table, mapping);
    const PrintOutcome outcome =
        m_platform.printPage({pictureName(m_document.currentFile()), area.width() > area.height()},
                             [&](QPainter &painter, const QRectF &page) {
                                 painter.setTransform(fitTransform(area, page), true);
                                 paintDiagram(painter, area, table, colours, mapping);
                             });
    if (outcome == PrintOutcome::Failed)
        m_platform.showMessage(QStringLiteral("The diagram could not be printed."), MessageButtons::Ok);
}

void ExportCommands::report(const DiagramColours &colours, const PixelMapping &mapping)
{
    const QString &file = m_document.currentFile();
    const QString name = pictureName(file) + QStringLiteral(".pdf");
    const QString folder = file.isEmpty() ? m_document.lastFolder() : FindPath(file);
    const QString path = chooseFileWithEnding(
        m_platform, {FileDialogMode::Save, reportFileFilter(), kReportDialogTitle, name, folder}, ForeignEnding::Kept);
    if (path.isEmpty())
        return;
    // The file's own time says when it was last saved, whoever saved it.
    const QFileInfo saved(file);
    std::optional<QDateTime> lastSaved;
    if (!file.isEmpty() && saved.exists())
        lastSaved = saved.lastModified();
    const IoResult written =
        writeReport(path, {m_document.analysis(), colours, mapping, file.isEmpty() ? QString() : saved.fileName(),
                           lastSaved, QDateTime::currentDateTime()});
    if (!written.ok)
        m_platform.showMessage(reportFailureMessage(path, written.reason), MessageButtons::Ok);
}

void ExportCommands::snapshot(const QImage &picture)
{
    const SnapshotFile result = takeSnapshot(picture, m_platform);
    if (!result.ok)
        m_platform.showMessage(snapshotFailureMessage(result), MessageButtons::Ok);
}

} // namespace tessik
