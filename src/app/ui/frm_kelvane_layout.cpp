#include "app/ui/frm_kelvane.h"

#include "app/ui/caption_button.h"
#include "app/ui/caption_frame.h"
#include "render/artwork.h"
#include "render/fonts.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cmath>
#include <limits>

// Builds the window's controls at their construction places and lays them out on resize.
namespace tessik {

namespace {

template <typename T> T *named(QWidget *parent, const char *name)
{
    auto *control = new T(parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

template <typename T> T *place(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *control = named<T>(parent, name);
    control->setGeometry(left, top, width, height);
    return control;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, int left, int top, int width, int height)
{
    auto *control = place<CaptionButton>(parent, name, left, top, width, height);
    control->setText(caption);
    control->setAutoDefault(false);
    return control;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, int left, int top, int width, int height)
{
    auto *control = place<QLabel>(parent, name, left, top, width, height);
    control->setText(caption);
    // The places were made for a narrower dialog font; a caption that would be cut gets a
    // size smaller instead.
    if (control->fontMetrics().horizontalAdvance(caption) > width)
        control->setFont(arialFont(10, false));
    return control;
}

// A panel's left edge and height are its own; Form_Resize gives it its top and the window's width.
QFrame *panel(QWidget *parent, const char *name, int left, int height)
{
    auto *control = named<QFrame>(parent, name);
    control->setGeometry(left, control->y(), control->width(), height);
    control->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return control;
}

QFrame *verticalLine(QWidget *parent, const char *name, int x, int top, int bottom)
{
    auto *line = place<QFrame>(parent, name, x, top, 1, bottom - top);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    line->setPalette(palette);
    return line;
}

QLineEdit *lineBox(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *box = place<QLineEdit>(parent, name, left, top, width, height);
    // Texts from files may be long; the box must hand them back whole.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

// Sets a control's font when it is first shown. The controls of the panels hidden at start-up
// take their own fonts only then, so loading those fonts is no part of the start-up; nobody ever
// sees the control without its font.
class FontOnFirstShow : public QObject {
public:
    FontOnFirstShow(QWidget *control, const QFont &font) : QObject(control), m_font(font)
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            static_cast<QWidget *>(watched)->setFont(m_font);
            deleteLater();
        }
        return false;
    }

private:
    QFont m_font;
};

QPlainTextEdit *yellowBox(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *box = place<QPlainTextEdit>(parent, name, left, top, width, height);
    new FontOnFirstShow(box, arialFont(12, true));
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(255, 255, 192));
    box->setPalette(palette);
    box->setTabChangesFocus(true);
    return box;
}

} // namespace

void frmKelvane::buildControls()
{
    setFont(arialFont(11, false));
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(windowIconImage(16)));
    icon.addPixmap(QPixmap::fromImage(windowIconImage(32)));
    setWindowIcon(icon);

    picDiagram = place<SurfaceView>(this, "picDiagram", 8, 4, 609, 401);
    // The replay's hidden buffer takes the diagram's size when a replay starts.
    picBuffer = named<SurfaceView>(this, "picBuffer");
    picBuffer->setVisible(false);
    picBuffer->setFollowsSize(false);

    frameEdit = panel(this, "frameEdit", 8, 133);
    frameAnalyze = panel(this, "frameAnalyze", 8, 133);
    frameControl = panel(this, "frameControl", 8, 133);
    buildControlPanel();
    frameEdit->setVisible(false);
    frameAnalyze->setVisible(false);
}

void frmKelvane::buildEditPanel()
{
    QWidget *p = frameEdit;
    txtText = yellowBox(p, "txtText", 4, 8, 121, 97);
    Label1 = label(p, "Label1", QStringLiteral("Text"), 128, 8, 25, 17);
    Line2 = verticalLine(p, "Line2", 156, 8, 104);
    txtNotes = yellowBox(p, "txtNotes", 164, 8, 273, 97);
    Label2 = label(p, "Label2", QStringLiteral("Notes"), 444, 8, 33, 17);
    lstPresets = place<QComboBox>(p, "lstPresets", 448, 32, 149, 21);
    Line1 = verticalLine(p, "Line1", 604, 8, 112);
    btnImplement = button(p, "btnImplement", QStringLiteral("OK"), 612, 8, 69, 25);
    btnCancel = button(p, "btnCancel", QStringLiteral("Cancel"), 612, 36, 69, 25);
    btnDelete = button(p, "btnDelete", QStringLiteral("Delete Block"), 612, 80, 69, 29);
}

void frmKelvane::buildSearchPanel()
{
    QWidget *p = frameAnalyze;
    Label3 = label(p, "Label3", QStringLiteral("Phrase:"), 8, 20, 33, 13);
    txtKeyWord = lineBox(p, "txtKeyWord", 48, 16, 173, 21);
    new FontOnFirstShow(txtKeyWord, arialFont(12, true));
    btnSearch = button(p, "btnSearch", QStringLiteral("Search"), 96, 60, 73, 29);
    lstFileNames = place<QListView>(p, "lstFileNames", 244, 12, 325, 116);
    lstFileNames->setFont(arialFont(11, false));
    // All rows have one size (see the search panel); an entry wider than its row, as one with
    // broad letters can be, loses blanks of its gap rather than its name.
    lstFileNames->setUniformItemSizes(true);
    lstFileNames->setTextElideMode(Qt::ElideMiddle);
    btnAnalysisDone = button(p, "btnAnalysisDone", QStringLiteral("Done"), 596, 12, 73, 29);
    // Files read of files listed, shown while a search runs, between the phrase and the button.
    prgSearch = place<QProgressBar>(p, "prgSearch", 8, 40, 230, 17);
    prgSearch->setFormat(QStringLiteral("%v of %m files read"));
    prgSearch->setFont(arialFont(9, false));
    prgSearch->setVisible(false);
    // Says what the search could not read; empty when all went well.
    lblSearchStatus = label(p, "lblSearchStatus", QString(), 8, 92, 230, 36);
    lblSearchStatus->setWordWrap(true);
}

void frmKelvane::buildControlPanel()
{
    QWidget *p = frameControl;
    btnNew = button(p, "btnNew", QStringLiteral("New"), 8, 12, 73, 29);
    btnSave = button(p, "btnSave", QStringLiteral("Save"), 92, 12, 73, 29);
    btnSnapShot = button(p, "btnSnapShot", QStringLiteral("Snapshot"), 176, 12, 73, 29);
    btnAnimateForward =
        button(p, "btnAnimateForward", QStringLiteral("Impacts_from_Causes -------->"), 260, 12, 117, 29);
    btnAnimate = button(p, "btnAnimate", QStringLiteral("Causes_To _Impacts <--------"), 376, 12, 117, 29);
    btnSend = button(p, "btnSend", QStringLiteral("Transmit to Pelmar"), 512, 12, 73, 29);
    btnSend->setVisible(false);
    btnQuit = button(p, "btnQuit", QStringLiteral("Quit"), 600, 12, 73, 29);
    btnLoadXML = button(p, "btnLoadXML", QStringLiteral("Load"), 8, 44, 73, 29);
    btnSaveAs = button(p, "btnSaveAs", QStringLiteral("Save As"), 92, 44, 73, 29);
    btnAnalyze = button(p, "btnAnalyze", QStringLiteral("Search"), 176, 44, 73, 29);
    btnTraining = button(p, "btnTraining", QStringLiteral("Tessik Training Video"), 4, 96, 121, 29);
    btnTrainingReference =
        button(p, "btnTrainingReference", QStringLiteral("RCA Training Reference"), 132, 96, 125, 29);
    btnTrainingReference->setVisible(false);

    frameDescription = place<CaptionFrame>(p, "frameDescription", 260, 44, 417, 85);
    frameDescription->setTitle(QStringLiteral("Event Description"));
    QWidget *d = frameDescription;
    txtDescription = lineBox(d, "txtDescription", 8, 20, 401, 21);
    Label4 = label(d, "Label4", QStringLiteral("E-Mail Point of Contact"), 8, 44, 137, 13);
    txtemail = lineBox(d, "txtemail", 8, 60, 145, 21);
    Label5 = label(d, "Label5", QStringLiteral("@example.org"), 156, 64, 77, 13);
    Label6 = label(d, "Label6", QStringLiteral("Office"), 276, 44, 93, 13);
    txtOffice = lineBox(d, "txtOffice", 276, 60, 125, 21);

    optType[1] = place<QRadioButton>(p, "optType(1)", 680, 20, 89, 13);
    optType[1]->setText(QStringLiteral("Categories"));
    optType[1]->setChecked(true);
    optType[0] = place<QRadioButton>(p, "optType(0)", 680, 40, 53, 13);
    optType[0]->setText(QStringLiteral("Notes"));
    lblversion = label(p, "lblversion", QStringLiteral("version"), 684, 116, 61, 13);
    lblversion->setAlignment(Qt::AlignCenter);
    lblversion->setFont(arialFont(9, false));

    PicCategories = place<SurfaceView>(p, "PicCategories", 756, 12, 205, 113);
    PicCategories->setLineWidth(1); // a thin border leaves the whole picture in view
    PicCategories->setFixedPicture(categoryKeyPicture);
    picLedgend = place<SurfaceView>(p, "picLedgend", 764, 12, 137, 117);
    picLedgend->setLineWidth(1);
    picLedgend->setFixedPicture(notesLegendPicture);
    picLedgend->setVisible(false);
}

QSize frmKelvane::smallestUsableSize() const
{
    // The panels' controls keep their places, so each panel must be as wide as its farthest
    // control reaches; the diagram keeps room for one block's box and shadow, at the highest
    // place a block can stand (corners lie on whole units).
    int panelWidth = 0;
    int panelHeight = frameControl->height();
    for (const QFrame *panel : {frameControl, frameEdit, frameAnalyze}) {
        for (const QWidget *control : panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            panelWidth = std::max(panelWidth, control->geometry().right() + 1 + panel->frameWidth());
            panelHeight = std::max(panelHeight, control->geometry().bottom() + 1 + panel->frameWidth());
        }
    }
    const PixelMapping &m = mapping();
    const int box = m.ScaleToPixelsY(std::ceil(m.DiagramTop) + BlockBoxSize + 0.5f) + 2 * picDiagram->frameWidth();
    // The margins of Form_Resize: 20 across, 20 down besides the panel.
    return QSize(panelWidth + 20, panelHeight + box + 20);
}

void frmKelvane::Form_Resize()
{
    // Sizes never go below zero, so a window smaller than the fixed parts (or a minimised
    // one) lays out without harm.
    const int W = width();
    const int H = height();
    const int F = frameControl->height();
    picDiagram->move(10, 10);
    picDiagram->resize(std::max(W - 20, 0), std::max(H - F - 20, 0));
    picDiagram->fitSurface();
    picBuffer->resize(picDiagram->size());
    frameControl->setGeometry(frameControl->x(), H - F - 10, std::max(W - 20, 0), F);
    frameAnalyze->setGeometry(frameAnalyze->x(), frameControl->y(), frameControl->width(), frameAnalyze->height());
    frameEdit->setGeometry(frameEdit->x(), frameControl->y(), frameControl->width(), frameEdit->height());
    PlotDiagram(QString());
}

} // namespace tessik
