// The module tessik_print: loaded when the diagram is first printed.
#include "platform/qt/print_dialog.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <type_traits>

using namespace tessik;

extern "C" Q_DECL_EXPORT PrintOutcome tessikPrintPage(const PrintRequest &request, const PagePainter &paint,
                                                      QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(request.jobName);
    printer.setPageOrientation(request.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return PrintOutcome::Cancelled;
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::Failed;
    paint(painter, QRectF(0, 0, printer.width(), printer.height()));
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return PrintOutcome::Failed;
    return PrintOutcome::Printed;
}

// The program calls this function as a PrintPageFunction: the two must agree.
static_assert(std::is_same_v<decltype(&tessikPrintPage), PrintPageFunction>);
