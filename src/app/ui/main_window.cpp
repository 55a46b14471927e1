#include "app/ui/main_window.h"

#include "app/core/recovery_copies.h"
#include "app/core/user_files.h"
#include "app/ui/command_panel.h"
#include "app/ui/diagram_area.h"
#include "app/ui/diagram_keyboard.h"
#include "app/ui/editor_panel.h"
#include "app/ui/header_fields.h"
#include "app/ui/key_commands.h"
#include "app/ui/search_panel.h"
#include "render/artwork.h"
#include "render/fonts.h"
#include "search/result_entry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace tessik {

namespace {

// Long enough for the window's first picture to be out, short enough to go unnoticed.
constexpr int kHiddenPanelsDelay = 50;

// A new line box lays out its empty text once in the application's font before it takes its
// own. The window shows nothing in the desktop's font, so while the window is built, the
// application's font is the window's: the first paint then loads one family of fonts, not two
// (the desktop's would cost a tenth of the start-up). The desktop's font is back once the
// window is built, for the dialogs.
class ApplicationFontWhileBuilding {
public:
    explicit ApplicationFontWhileBuilding(const QFont &font) : m_desktopFont(QApplication::font())
    {
        QApplication::setFont(font);
    }
    ~ApplicationFontWhileBuilding() { QApplication::setFont(m_desktopFont); }
    ApplicationFontWhileBuilding(const ApplicationFontWhileBuilding &) = delete;
    ApplicationFontWhileBuilding &operator=(const ApplicationFontWhileBuilding &) = delete;

private:
    QFont m_desktopFont;
};

} // namespace

MainWindow::MainWindow(Platform &platform, QWidget *parent) : QWidget(parent), m_platform(platform), m_document(this)
{
    setObjectName(QStringLiteral("frmKelvane"));
    m_document.setObjectName(QStringLiteral("document"));
    resize(1000, 699);
    setFont(arialFont(11, false));
    const ApplicationFontWhileBuilding buildingFont(font());
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(windowIconImage(16)));
    icon.addPixmap(QPixmap::fromImage(windowIconImage(32)));
    setWindowIcon(icon);

    m_diagram = new DiagramArea(this, m_document, m_platform);
    m_editor = new EditorPanel(this);
    m_search = new SearchPanel(this);
    m_commands = new CommandPanel(this);
    m_editor->setVisible(false);
    m_search->setVisible(false);
    m_keys = new KeyCommands(this);
    m_diagramKeys = new DiagramKeyboard(*m_diagram, m_document, m_editor);

    connectCommandPanel();
    connectEditor();
    connectSearchPanel();
    connectDocument();
    connectKeys();
    startUp();
}

MainWindow::~MainWindow()
{
    // After this body the document (a member) goes first, then Qt takes the widgets down, and the
    // focus moves as they go. Nothing may act on the document or reach this window then: the
    // diagram's keys would drop a picked-up block and ask for a redraw, for one.
    delete m_diagramKeys;
    for (QObject *part : findChildren<QObject *>())
        part->disconnect(this);
}

void MainWindow::startUp()
{
    m_diagram->fixUnitSize();
    const UserFiles files = prepareUserFiles(m_platform);
    m_userFolder = files.UserFolder;
    m_document.setLastFolder(files.LastFolder);
    m_files.setDialogFolder(files.LastFolder);
    m_document.keepRecoveryCopies(m_userFolder);
    m_commands->showVersion(ProgramVersion);
    setMinimumSize(smallestUsableSize());
}

void MainWindow::connectCommandPanel()
{
    CommandPanel *c = m_commands;
    connect(c, &CommandPanel::newRequested, this, &MainWindow::newAnalysis);
    connect(c, &CommandPanel::loadRequested, this, &MainWindow::load);
    connect(c, &CommandPanel::saveRequested, this, [this] { save(&FileCommands::save); });
    connect(c, &CommandPanel::saveAsRequested, this, [this] { save(&FileCommands::saveAs); });
    connect(c, &CommandPanel::searchRequested, this, &MainWindow::openSearch);
    connect(c, &CommandPanel::quitRequested, this, &MainWindow::quit);
    connect(c, &CommandPanel::snapshotRequested, this,
            [this] { m_exports.snapshot(m_diagram->surface().logicalImage()); });
    connect(c, &CommandPanel::replayRequested, m_diagram, &DiagramArea::replay);
    connect(c, &CommandPanel::trainingRequested, this, [this](const QString &address) {
        m_platform.processEvents();
        m_platform.openUrl(address);
    });
    connect(c, &CommandPanel::viewChosen, this, [this](int viewType) {
        m_diagram->setViewType(viewType);
        m_diagram->redraw();
    });
    connect(c, &CommandPanel::valuePicked, m_diagram, &DiagramArea::startPick);
    connect(c, &CommandPanel::pickReleased, m_diagram, &DiagramArea::releasePick);
    connect(&c->header(), &HeaderFields::edited, &m_document, &Document::setHeader);

    connect(m_diagram, &DiagramArea::addRequested, this, [this](float x, float y) { addBlock(x, y); });
    connect(m_diagram, &DiagramArea::openRequested, this, &MainWindow::switchEditorTo);
    connect(m_diagram, &DiagramArea::notesDropped, m_editor, &EditorPanel::showDroppedNotes);
    connect(m_diagram, &DiagramArea::redrawRequested, this, &MainWindow::showTable);
    // A screen of another density gave the diagram a new, white bitmap.
    connect(m_diagram->view(), &SurfaceView::densityChanged, this, &MainWindow::drawDiagram);
    connect(m_diagram->viewport(), &DiagramViewport::changed, this, &MainWindow::drawDiagram);
}

void MainWindow::connectEditor()
{
    connect(m_editor, &EditorPanel::committed, this, &MainWindow::commitEditor);
    connect(m_editor, &EditorPanel::cancelled, this, &MainWindow::cancelEditor);
    connect(m_editor, &EditorPanel::deleteRequested, this, &MainWindow::deleteBlock);
    // What OK would store goes into the copy of unsaved work as it is typed.
    connect(m_editor, &EditorPanel::typed, this,
            [this] { m_document.setEditorTyping(m_editor->block(), m_editor->caption(), m_editor->notes()); });
}

void MainWindow::connectSearchPanel()
{
    connect(m_search, &SearchPanel::entryChosen, this, &MainWindow::openEntry);
    connect(m_search, &SearchPanel::closed, this, [this] { showPanel(m_commands); });
}

void MainWindow::connectDocument()
{
    setWindowTitle(m_document.title());
    connect(&m_document, &Document::titleChanged, this, &QWidget::setWindowTitle);
    connect(&m_document, &Document::headerChanged, this, &MainWindow::showHeader);
    connect(&m_document, &Document::tableChanged, this, &MainWindow::showTable);
    connect(&m_document, &Document::recoveryCopyFailed, this,
            [this](const QString &message) { m_platform.showMessage(message, MessageButtons::Ok); });
}

void MainWindow::connectKeys()
{
    const auto button = [this](const char *name) { return findChild<QPushButton *>(QLatin1String(name)); };
    m_keys->addButton(button("btnNew"), Qt::CTRL | Qt::Key_N, QKeySequence::New);
    m_keys->addButton(button("btnLoadXML"), Qt::CTRL | Qt::Key_O, QKeySequence::Open);
    // Saving also works from the block editor: saving stores what was typed there first.
    const auto fromEditor = [this] { return m_editor->isVisibleTo(this); };
    m_keys->addButton(button("btnSave"), Qt::CTRL | Qt::Key_S, QKeySequence::Save, fromEditor);
    m_keys->addButton(button("btnSaveAs"), Qt::CTRL | Qt::SHIFT | Qt::Key_S, QKeySequence::SaveAs, fromEditor);
    m_keys->addButton(button("btnAnalyze"), Qt::CTRL | Qt::Key_F, QKeySequence::Find);
    m_keys->addButton(button("btnQuit"), Qt::CTRL | Qt::Key_Q, QKeySequence::Quit);

    const auto commandPanelShown = [this] { return m_commands->isVisibleTo(this); };
    m_keys->add(QStringLiteral("export"), {Qt::CTRL | Qt::Key_E}, commandPanelShown,
                [this] { m_exports.exportPicture(m_diagram->colours(), m_diagram->mapping()); });
    m_keys->add(QStringLiteral("print"), KeyCommands::keysFor(Qt::CTRL | Qt::Key_P, QKeySequence::Print),
                commandPanelShown, [this] { m_exports.print(m_diagram->colours(), m_diagram->mapping()); });
    m_keys->add(QStringLiteral("report"), {Qt::CTRL | Qt::Key_R}, commandPanelShown,
                [this] { m_exports.report(m_diagram->colours(), m_diagram->mapping()); });
    m_commands->setToolTip(QStringLiteral("Ctrl+E: a picture of the diagram (PDF, SVG or PNG)\n"
                                          "Ctrl+P: print the diagram\n"
                                          "Ctrl+R: a report of the analysis (PDF, HTML or ODT)"));
    m_keys->add(
        QStringLiteral("escape"), {QKeySequence(Qt::Key_Escape)},
        [this] { return m_editor->isVisibleTo(this) || m_search->isVisibleTo(this); },
        [this] {
            if (m_editor->isVisibleTo(this))
                cancelEditor();
            else
                m_search->escape();
        });
    m_keys->addHistoryKeys([this] { m_document.undo(); }, [this] { m_document.redo(); });
    connectZoomKeys();
    watchTextBoxes(m_commands);
    m_keys->update();
    connectDiagramKeys();
}

void MainWindow::connectDiagramKeys()
{
    DiagramKeyboard *k = m_diagramKeys;
    connect(k, &DiagramKeyboard::openRequested, this, &MainWindow::switchEditorTo);
    connect(k, &DiagramKeyboard::addRequested, this, &MainWindow::addBlock);
    connect(k, &DiagramKeyboard::redrawRequested, this, &MainWindow::showTable);
    // Delete Block, for the selected block: an editor open on another block stays open.
    connect(k, &DiagramKeyboard::deleteRequested, this, [this](int id) {
        if (!m_editor->isHidden() && m_editor->block() == id)
            deleteBlock(id);
        else if (m_document.table().isLive(id))
            m_document.deleteBlock(id);
    });
    // The view's own tooltip names the zoom and scroll gestures: the keys come first.
    const QString gestures = m_diagram->view()->toolTip();
    m_diagram->view()->setToolTip(DiagramKeyboard::keyList() + (gestures.isEmpty() ? QString() : "\n" + gestures));
}

void MainWindow::connectZoomKeys()
{
    // The view's keys act wherever the focus is; no text box has a use for them.
    DiagramViewport *viewport = m_diagram->viewport();
    const auto always = [] { return true; };
    const auto ctrl = [](Qt::Key key, Qt::KeyboardModifiers also = {}) {
        return QKeySequence(QKeyCombination(Qt::ControlModifier | also, key));
    };
    m_keys->add(QStringLiteral("zoomIn"),
                {ctrl(Qt::Key_Plus), ctrl(Qt::Key_Equal), ctrl(Qt::Key_Plus, Qt::ShiftModifier),
                 ctrl(Qt::Key_Plus, Qt::KeypadModifier)},
                always, [viewport] { viewport->zoomIn(); });
    m_keys->add(QStringLiteral("zoomOut"), {ctrl(Qt::Key_Minus), ctrl(Qt::Key_Minus, Qt::KeypadModifier)}, always,
                [viewport] { viewport->zoomOut(); });
    m_keys->add(QStringLiteral("zoomReset"), {ctrl(Qt::Key_0), ctrl(Qt::Key_0, Qt::KeypadModifier)}, always,
                [viewport] { viewport->reset(); });
    m_keys->add(QStringLiteral("zoomFit"), {ctrl(Qt::Key_F, Qt::ShiftModifier)}, always,
                [viewport] { viewport->fit(); });
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The block editor and the search panel are built shortly after the window has shown
    // itself, so the window shows sooner; opening either earlier builds it then.
    if (!m_hiddenPanelsQueued) {
        m_hiddenPanelsQueued = true;
        QTimer::singleShot(kHiddenPanelsDelay, this, &MainWindow::buildHiddenPanels);
    }
}

void MainWindow::buildHiddenPanels()
{
    ensureEditor();
    ensureSearchPanel();
}

void MainWindow::ensureEditor()
{
    if (m_editor->isBuilt())
        return;
    m_editor->build();
    watchTextBoxes(m_editor);
}

void MainWindow::ensureSearchPanel()
{
    if (m_search->isBuilt())
        return;
    m_search->build();
    watchTextBoxes(m_search);
}

void MainWindow::watchTextBoxes(QWidget *panel)
{
    // The window's command keys reach it from every text box.
    for (QWidget *box : panel->findChildren<QLineEdit *>())
        m_keys->watchTextBox(box);
    for (QWidget *box : panel->findChildren<QPlainTextEdit *>())
        m_keys->watchTextBox(box);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void MainWindow::layOut()
{
    // Sizes never go below zero, so a window smaller than the fixed parts (or a minimised
    // one) lays out without harm. The panels keep their own left edge and height.
    const int panelHeight = m_commands->height();
    const int top = height() - panelHeight - 10;
    const int width = std::max(this->width() - 20, 0);
    m_diagram->setGeometry(QRect(10, 10, width, std::max(height() - panelHeight - 20, 0)));
    for (QWidget *panel : std::initializer_list<QWidget *>{m_commands, m_search, m_editor})
        panel->setGeometry(panel->x(), top, width, panel->height());
    drawDiagram();
}

QSize MainWindow::smallestUsableSize() const
{
    // The panels' controls keep their places, so each panel must be as wide as its farthest
    // control reaches (the three are of one height, which holds their controls); the diagram keeps
    // room for one block's box and shadow, at the highest place a block can stand (corners lie on
    // whole units).
    int panelWidth = 0;
    const int panelHeight = m_commands->height();
    for (const QFrame *panel : std::initializer_list<const QFrame *>{m_commands, m_editor, m_search}) {
        for (const QWidget *control : panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            panelWidth = std::max(panelWidth, control->geometry().right() + 1 + panel->frameWidth());
    }
    const PixelMapping &m = m_diagram->mapping();
    const int box =
        m.ScaleToPixelsY(std::ceil(m.DiagramTop) + BlockBoxSize + 0.5f) + 2 * m_diagram->view()->frameWidth();
    // The margins of the layout: 20 across, 20 down besides the panel.
    return QSize(panelWidth + 20, panelHeight + box + 20);
}

void MainWindow::showPanel(QWidget *panel)
{
    // The three panels share one place in the window's lower strip: one shows at a time.
    for (QWidget *each : std::initializer_list<QWidget *>{m_commands, m_editor, m_search})
        each->setVisible(each == panel);
    if (panel != m_editor)
        m_document.clearEditorTyping();
    m_keys->update();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The system's close command asks as Quit does; No keeps the window and everything in it.
    if (!m_ended && !confirm()) {
        event->ignore();
        return;
    }
    end();
    event->accept();
}

bool MainWindow::confirm()
{
    // Typing in the open editor that OK has not stored yet would be lost as well.
    if (!m_document.isModified() && !editorHasTyping())
        return true;
    // Enter and Esc keep the work: No is the default.
    return m_platform.showMessage(QStringLiteral("You have unsaved edits.\r\n\r\nDo you want to continue?"),
                                  MessageButtons::YesNo, MessageAnswer::No) == MessageAnswer::Yes;
}

void MainWindow::quit()
{
    if (confirm())
        end();
}

void MainWindow::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_document.endRun();
    writeShutdownFiles(m_userFolder, m_document.lastFolder());
    m_platform.endProgram();
    hide();
}

void MainWindow::newAnalysis()
{
    if (!confirm())
        return;
    m_diagram->surface().clear();
    m_diagram->view()->showChanges();
    showPanel(m_commands);
    // Block 1 alone, at the diagram's left edge: part of New's clean start, not an edit.
    m_document.newAnalysis();
    openEditor(1);
}

void MainWindow::load()
{
    if (!confirm())
        return;
    const QString path = m_files.chooseToOpen();
    if (!path.isEmpty())
        loadFile(path);
}

void MainWindow::loadFile(const QString &path)
{
    m_files.load(path);
}

void MainWindow::save(void (FileCommands::*command)())
{
    leaveEditor(); // what is typed in the open editor belongs in the file too
    (m_files.*command)();
}

void MainWindow::openSearch()
{
    ensureSearchPanel();
    m_search->open(m_document.lastFolder());
    showPanel(m_search);
}

void MainWindow::openEntry(const SearchEntry &entry, const QString &phrase)
{
    if (!confirm())
        return;
    // The entry keeps its own file: brackets in a name, a capital ending or a name the system's
    // encoding cannot show do not mislead it.
    m_files.open(entry.filePath, readEntryAnalysis(entry), [&] {
        if (!phrase.isEmpty())
            m_diagram->redraw(phrase);
    });
}

void MainWindow::addBlock(float x, float y, int parent)
{
    leaveEditor();
    const int id = parent == 0 ? m_document.addBlock(x, y) : m_document.addCause(x, y, parent);
    if (id == 0) {
        m_platform.showMessage(QStringLiteral("The analysis already holds %1 blocks.\r\n\r\n"
                                              "Delete a block before adding another one.")
                                   .arg(kMaxBlocks),
                               MessageButtons::Ok);
        return;
    }
    openEditor(id);
}

void MainWindow::openEditor(int id)
{
    ensureEditor();
    m_diagram->select(id);
    m_diagram->outline(id);
    showPanel(m_editor);
    const Block &block = m_document.table().block(id);
    m_editor->open(id, block.caption, block.notes);
}

void MainWindow::switchEditorTo(int id)
{
    leaveEditor();
    openEditor(id);
}

void MainWindow::commitEditor()
{
    showPanel(m_commands);
    // A slot that has gone since the editor opened stores nothing; the commit still marks the document.
    m_document.commitBlock(m_editor->block(), m_editor->caption(), m_editor->notes());
}

void MainWindow::cancelEditor()
{
    showPanel(m_commands);
    m_diagram->redraw();
}

void MainWindow::deleteBlock(int id)
{
    showPanel(m_commands);
    if (m_document.table().isLive(id))
        m_document.deleteBlock(id);
    else
        m_diagram->redraw();
}

bool MainWindow::editorHasTyping() const
{
    const int id = m_editor->block();
    if (m_editor->isHidden() || !m_document.table().isLive(id))
        return false;
    const Block &block = m_document.table().block(id);
    return m_editor->caption() != block.caption || m_editor->notes() != block.notes;
}

void MainWindow::leaveEditor()
{
    // Before another block opens or a new one is added, what was typed is kept as OK keeps it,
    // and the open block's red outline goes with the redraw.
    if (m_editor->isHidden())
        return;
    const bool typed = editorHasTyping();
    showPanel(m_commands);
    if (typed)
        m_document.commitBlock(m_editor->block(), m_editor->caption(), m_editor->notes());
    else
        m_diagram->redraw();
}

void MainWindow::showTable()
{
    const BlockTable &table = m_document.table();
    const int open = m_editor->isHidden() ? 0 : m_editor->block();
    if (open != 0 && !table.isLive(open)) {
        showPanel(m_commands); // an undo took away the block the editor was open on
    } else if (open != 0) {
        m_editor->follow(table.block(open).caption, table.block(open).notes);
    }
    m_commands->header().forgetTyping();
    drawDiagram();
}

void MainWindow::drawDiagram()
{
    m_diagram->redraw();
    if (!m_editor->isHidden())
        m_diagram->outline(m_editor->block());
}

void MainWindow::showHeader()
{
    m_commands->header().show(m_document.analysis().description, m_document.analysis().email,
                              m_document.analysis().office);
}

void MainWindow::offerRecovery()
{
    const Document::RecoveryOffer offer = m_document.takeRecoveryCopy();
    const QString &copy = offer.copyPath;
    if (copy.isEmpty())
        return;
    // Restoring loses nothing, while No removes the copy: Yes is the default.
    if (m_platform.showMessage(recoveryQuestion(offer.originalFile), MessageButtons::YesNo, MessageAnswer::Yes) !=
        MessageAnswer::Yes) {
        m_document.dropRecoveryCopy();
        return;
    }
    const ReadOutcome outcome = m_document.restoreRecoveryCopy();
    if (!outcome.ok)
        m_platform.showMessage(recoveryFailureMessage(copy, outcome.reason), MessageButtons::Ok);
    else if (!outcome.repairs.isEmpty())
        m_platform.showMessage(repairMessage(copy, outcome.repairs), MessageButtons::Ok);
}

} // namespace tessik
