#include "app/ui/frm_kelvane.h"

#include "app/core/user_files.h"
#include "model/classification.h"
#include "platform/core/platform.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace tessik {

namespace {

// Long enough for the window's first picture to be out, short enough to go unnoticed.
constexpr int kHiddenPanelsDelay = 50;

} // namespace

frmKelvane::frmKelvane(Platform &platform, QWidget *parent) : QWidget(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("frmKelvane"));
    resize(1000, 699);
    buildControls();
    connectHandlers();
    connectDocument();
    connectUndoKeys();
    connectShortcuts();
    Form_Load();
}

frmKelvane::~frmKelvane() = default;

void frmKelvane::connectHandlers()
{
    connect(btnQuit, &QPushButton::clicked, this, &frmKelvane::btnQuit_Click);
    connect(btnNew, &QPushButton::clicked, this, &frmKelvane::btnNew_Click);
    connect(txtDescription, &QLineEdit::textChanged, this, &frmKelvane::txtDescription_Change);
    connect(txtemail, &QLineEdit::textChanged, this, &frmKelvane::txtemail_Change);
    connect(txtOffice, &QLineEdit::textChanged, this, &frmKelvane::txtOffice_Change);

    connect(picDiagram, &SurfaceView::mouseDown, this, &frmKelvane::picDiagram_MouseDown);
    connect(picDiagram, &SurfaceView::mouseMove, this, &frmKelvane::picDiagram_MouseMove);
    connect(picDiagram, &SurfaceView::mouseUp, this, &frmKelvane::picDiagram_MouseUp);
    connect(picDiagram, &SurfaceView::densityChanged, this, [this] { PlotDiagram(QString()); });

    connect(optType[0], &QRadioButton::clicked, this, [this] { optType_Click(0); });
    connect(optType[1], &QRadioButton::clicked, this, [this] { optType_Click(1); });
    connect(PicCategories, &SurfaceView::mouseDown, this, &frmKelvane::PicCategories_MouseDown);
    connect(picLedgend, &SurfaceView::mouseDown, this, &frmKelvane::picLedgend_MouseDown);
    connect(PicCategories, &SurfaceView::mouseUp, this, &frmKelvane::keyPicture_MouseUp);
    connect(picLedgend, &SurfaceView::mouseUp, this, &frmKelvane::keyPicture_MouseUp);

    connect(btnLoadXML, &QPushButton::clicked, this, &frmKelvane::btnLoadXML_Click);
    connect(btnSave, &QPushButton::clicked, this, &frmKelvane::btnSave_Click);
    connect(btnSaveAs, &QPushButton::clicked, this, &frmKelvane::btnSaveAs_Click);
    connectSearchPanel();
    // The window's command keys reach it from every text box (see claimsKey).
    for (QWidget *box : std::initializer_list<QWidget *>{txtDescription, txtemail, txtOffice})
        box->installEventFilter(this);

    connect(btnAnimate, &QPushButton::clicked, this, &frmKelvane::btnAnimate_Click);
    connect(btnAnimateForward, &QPushButton::clicked, this, &frmKelvane::btnAnimateForward_Click);
    connect(btnSnapShot, &QPushButton::clicked, this, &frmKelvane::btnSnapShot_Click);
    connect(btnTraining, &QPushButton::clicked, this, &frmKelvane::btnTraining_Click);
    connect(btnTrainingReference, &QPushButton::clicked, this, &frmKelvane::btnTrainingReference_Click);
}

void frmKelvane::Form_Load()
{
    // The pixel size of the drawing area now fixes the size of one diagram unit for good.
    const QSize area = picDiagram->contentsRect().size();
    const PixelMapping mapping = PixelMapping::forStartupSize(area.width(), area.height());
    // The bitmap itself is sized by the layout when the window is first shown.
    picDiagram->surface().setMapping(mapping);
    // The off-screen twin takes the diagram's bitmap size and mapping when the replay draws on it.

    colours.tables = ColourTables::standard();
    colours.ViewType = CategoryView;

    const UserFiles files = prepareUserFiles(m_platform);
    UserFolder = files.UserFolder;
    m_document.setLastFolder(files.LastFolder);
    StoredVersion = files.StoredVersion;
    m_dialogFolder = files.LastFolder;
    m_document.keepRecoveryCopies(UserFolder);

    lblversion->setText(ProgramVersion);
    setMinimumSize(smallestUsableSize());
}

void frmKelvane::ensureHiddenPanels()
{
    ensureEditor();
    ensureSearchPanel();
}

void frmKelvane::ensureEditor()
{
    if (txtText)
        return;
    buildEditPanel();
    m_captionBox = std::make_unique<BoundTextBox>(txtText);
    m_notesBox = std::make_unique<BoundTextBox>(txtNotes);
    txtText->installEventFilter(this);
    txtNotes->installEventFilter(this); // the window's command keys reach it from there too
    connect(btnImplement, &QPushButton::clicked, this, &frmKelvane::btnImplement_Click);
    connect(btnCancel, &QPushButton::clicked, this, &frmKelvane::btnCancel_Click);
    connect(btnDelete, &QPushButton::clicked, this, &frmKelvane::btnDelete_Click);
    connect(lstPresets, &QComboBox::activated, this, &frmKelvane::lstPresets_Click);
    for (QPlainTextEdit *box : {txtText, txtNotes}) // typing reaches the recovery copy
        connect(box, &QPlainTextEdit::textChanged, this,
                [this] { m_document.setEditorTyping(EditedBlock, m_captionBox->take(), m_notesBox->take()); });
    SeedCategories();
    describeEditorKeys();
}

void frmKelvane::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The block editor and the search panel are built shortly after the window has shown
    // itself, so the window shows sooner; opening either earlier builds it then.
    if (!txtText && !m_hiddenPanelsQueued) {
        m_hiddenPanelsQueued = true;
        QTimer::singleShot(kHiddenPanelsDelay, this, &frmKelvane::ensureHiddenPanels);
    }
}

void frmKelvane::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmKelvane::closeEvent(QCloseEvent *event)
{
    // The system's close command asks as Quit does; No keeps the window and everything in it.
    if (!m_ended && !Confirm()) {
        event->ignore();
        return;
    }
    Form_Terminate();
    event->accept();
}

void frmKelvane::Form_Terminate()
{
    EndItAll();
}

void frmKelvane::EndItAll()
{
    if (m_ended)
        return;
    m_ended = true;
    m_document.endRun();
    writeShutdownFiles(UserFolder, m_document.lastFolder());
    m_platform.endProgram();
    hide();
}

void frmKelvane::btnQuit_Click()
{
    if (Confirm())
        EndItAll();
}

bool frmKelvane::Confirm()
{
    // Typing in the open editor that OK has not stored yet would be lost as well.
    if (!m_document.isModified() && !editorHasTyping())
        return true;
    return m_platform.showMessage(QStringLiteral("You have unsaved edits.\r\n\r\nDo you want to continue?"),
                                  MessageButtons::YesNo, MessageAnswer::No) == MessageAnswer::Yes;
}

void frmKelvane::PlotDiagram(const QString &KeyWord)
{
    tessik::PlotDiagram(diagram(), table(), colours, KeyWord);
    m_animation.endRun(table()); // any full redraw ends a replay
    picDiagram->showChanges();
}

void frmKelvane::Addblock(float X, float Y)
{
    leaveEditor();
    const int id = m_document.addBlock(X, Y);
    if (id == 0) {
        m_platform.showMessage(QStringLiteral("The analysis already holds %1 blocks.\r\n\r\n"
                                              "Delete a block before adding another one.")
                                   .arg(kMaxBlocks),
                               MessageButtons::Ok);
        return;
    }
    EditBlock(id);
}

void frmKelvane::InitialBlock()
{
    // Block 1 alone, at the diagram's left edge: part of New's clean start, not an edit.
    m_document.newAnalysis();
    EditBlock(1);
}

void frmKelvane::btnNew_Click()
{
    if (!Confirm())
        return;
    diagram().clear();
    picDiagram->showChanges();
    showPanel(frameControl);
    InitialBlock();
}

void frmKelvane::txtDescription_Change()
{
    typedInto(txtDescription, HeaderField::Description);
}
void frmKelvane::txtemail_Change()
{
    typedInto(txtemail, HeaderField::Email);
}
void frmKelvane::txtOffice_Change()
{
    typedInto(txtOffice, HeaderField::Office);
}

void frmKelvane::typedInto(QLineEdit *box, HeaderField field)
{
    m_typingInto = box;
    m_document.setHeader(field, box->text());
    m_typingInto = nullptr;
}

} // namespace tessik
