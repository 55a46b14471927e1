#pragma once

#include "app/core/document.h"
#include "app/ui/bound_text_box.h"
#include "app/ui/surface_view.h"
#include "files/save_rules.h"
#include "interact/diagram_mouse.h"
#include "model/block_table.h"
#include "model/colour_pick.h"
#include "platform/core/platform.h"
#include "render/animation.h"
#include "render/plot_diagram.h"

#include <QKeySequence>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace tessik {

class Platform;
class SearchJob;
class SearchResultModel;
struct ReadOutcome;
struct SearchOutcome;

// The character code a key press delivers for Enter.
inline constexpr int kEnterKeyCode = 13;

// The one window: its controls, its form-level state and its event handlers. Handlers stay
// short and call into the model, render, interact, files and search code.
class frmKelvane : public QWidget, private DiagramMouseHost {
    Q_OBJECT
public:
    explicit frmKelvane(Platform &platform, QWidget *parent = nullptr);
    ~frmKelvane() override;

    // The analysis, its file, its title and its history; the window shows it.
    Document &document() { return m_document; }
    const BlockTable &table() const { return m_document.table(); }
    // Form-level state, readable by tests.
    QString UserFolder;
    QString StoredVersion;
    int EditedBlock = 0;
    bool PickPending = false;
    QString PickText;
    DiagramColours colours;

    const PixelMapping &mapping() const { return picDiagram->surface().mapping(); }
    Surface &diagram() { return picDiagram->surface(); }

    // Start-up, as the load event runs it; then the caller shows the window and offers what a
    // run that did not end normally left behind.
    void Form_Load();
    void offerRecovery();
    void Form_Resize();
    void EndItAll();
    bool ended() const { return m_ended; }
    bool searchRunning() const;

    void PlotDiagram(const QString &KeyWord);
    void Addblock(float X, float Y);
    void InitialBlock();
    void EditBlock(int id);
    bool Confirm();
    DiagramMouse &pointer() { return m_mouse; }

    // Opens the analysis as Load does once its dialog has named the file: the same repairs and
    // messages, and LastFolder follows. A file that cannot be read changes nothing.
    void loadFile(const QString &path);
    // Ctrl+E: a picture of the diagram (PDF, SVG or PNG by the chosen name's ending).
    void exportDiagram();
    // Ctrl+P: the diagram fitted to one printed page.
    void printDiagram();
    // The keyboard commands, each named after the button it stands for, or "export" and "print".
    const QList<QAction *> &keyCommands() const { return m_keyCommands; }
    const AnimationState &animation() const { return m_animation; }

    // Controls, named as the handlers and the tests know them.
    SurfaceView *picDiagram = nullptr;
    SurfaceView *picBuffer = nullptr;
    QFrame *frameEdit = nullptr;
    QFrame *frameAnalyze = nullptr;
    QFrame *frameControl = nullptr;

    QPlainTextEdit *txtText = nullptr;
    QLabel *Label1 = nullptr;
    QFrame *Line2 = nullptr;
    QPlainTextEdit *txtNotes = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *lstPresets = nullptr;
    QFrame *Line1 = nullptr;
    QPushButton *btnImplement = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnDelete = nullptr;

    QLabel *Label3 = nullptr;
    QLabel *lblSearchStatus = nullptr;
    QLineEdit *txtKeyWord = nullptr;
    QPushButton *btnSearch = nullptr;
    QProgressBar *prgSearch = nullptr;
    QListView *lstFileNames = nullptr;
    QPushButton *btnAnalysisDone = nullptr;

    QPushButton *btnNew = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnSnapShot = nullptr;
    QPushButton *btnAnimateForward = nullptr;
    QPushButton *btnAnimate = nullptr;
    QPushButton *btnSend = nullptr;
    QPushButton *btnQuit = nullptr;
    QPushButton *btnLoadXML = nullptr;
    QPushButton *btnSaveAs = nullptr;
    QPushButton *btnAnalyze = nullptr;
    QPushButton *btnTraining = nullptr;
    QPushButton *btnTrainingReference = nullptr;
    QGroupBox *frameDescription = nullptr;
    std::array<QRadioButton *, 2> optType{};
    QLabel *lblversion = nullptr;
    SurfaceView *PicCategories = nullptr;
    SurfaceView *picLedgend = nullptr;

    QLineEdit *txtDescription = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *txtemail = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *txtOffice = nullptr;

public Q_SLOTS:
    void btnQuit_Click();
    void btnNew_Click();
    void txtDescription_Change();
    void txtemail_Change();
    void txtOffice_Change();

    void btnImplement_Click();
    void btnCancel_Click();
    void btnDelete_Click();
    void lstPresets_Click(int index);

    void picDiagram_MouseDown(const tessik::PointerEvent &event);
    void picDiagram_MouseMove(const tessik::PointerEvent &event);
    void picDiagram_MouseUp(const tessik::PointerEvent &event);

    void optType_Click(int Index);
    void PicCategories_MouseDown(const tessik::PointerEvent &event);
    void picLedgend_MouseDown(const tessik::PointerEvent &event);
    void keyPicture_MouseUp(const tessik::PointerEvent &event);

    void btnLoadXML_Click();
    void btnSave_Click();
    void btnSaveAs_Click();

    void btnAnalyze_Click();
    void btnAnalysisDone_Click();
    void btnSearch_Click();
    void lstFileNames_Click(int row);
    // Esc in the search panel: cancels a running search, else closes the panel.
    void escapeInSearchPanel();

    void btnAnimate_Click();
    void btnAnimateForward_Click();
    void btnSnapShot_Click();
    void btnTraining_Click();
    void btnTrainingReference_Click();

    // Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y, wherever the focus is: a text box with typing of its
    // own to undo or redo takes the key first.
    void undoEdit();
    void redoEdit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    // The controls of the block editor and of the search panel, and their connections, built on
    // first need or shortly after the window first shows, whichever comes first.
    void ensureHiddenPanels();
    void ensureEditor();
    void ensureSearchPanel();
    void describeEditorKeys();
    void describeSearchKeys();
    void buildEditPanel();
    void buildSearchPanel();
    void buildControlPanel();
    void connectHandlers();
    void connectShortcuts();
    void addKeyCommand(const QString &name, QList<QKeySequence> keys, const std::function<bool()> &available,
                       const std::function<void()> &run);
    void commandKey(QPushButton *button, const QKeySequence &key, QKeySequence::StandardKey standard);
    void updateKeyCommands();
    bool claimsKey(const QKeyEvent &key) const;
    QSize smallestUsableSize() const;
    void connectSearchPanel();
    void connectDocument();
    void connectUndoKeys();
    bool undoKeyForBox(QObject *watched, QEvent *event);
    void typedInto(QLineEdit *box, HeaderField field);
    void showHeader();
    void forgetHeaderTyping(QLineEdit *except);
    void showTable();
    void leaveEditor();
    bool editorHasTyping() const;
    void Form_Terminate();
    void showPanel(QFrame *panel);
    bool saveAllowed(SaveCommand command);
    void pickFrom(SurfaceView *picture, QString (*select)(const PixelReader &, int, int), const PointerEvent &event);
    bool txtText_KeyPress(int KeyAscii);

    // The pointer handling's view of the window.
    const BlockTable &blocks() const override { return m_document.table(); }
    Surface &diagramSurface() override { return diagram(); }
    int viewType() const override { return colours.ViewType; }
    bool pickPending() const override { return PickPending; }
    QString pickText() const override { return PickText; }
    void endPick() override;
    void setNotesBoxText(const QString &text) override;
    void addBlockAt(float x, float y) override { Addblock(x, y); }
    void editBlock(int id) override;
    void moveBlocks(const std::vector<BlockPlace> &places) override { m_document.moveBlocks(places); }
    void linkBlocks(int child, int parent) override { m_document.linkBlocks(child, parent); }
    void storeCategory(int id, const QString &category) override { m_document.setCategory(id, category); }
    void storeNotes(int id, const QString &notes) override { m_document.setNotes(id, notes); }
    void redrawDiagram() override { showTable(); }
    void tellUser(const QString &message) override;
    void SeedCategories();
    void animationStep(AnimationDirection direction, QPushButton *button);
    QString chooseAnalysisFile(FileDialogMode mode, const QString &filter, const QString &proposedName);
    bool openAnalysis(const QString &path, const QString &keyWord);
    bool openAnalysis(const QString &path, const ReadOutcome &outcome, const QString &keyWord);
    bool saveAnalysisTo(const QString &path);
    bool txtKeyWord_KeyPress(int KeyAscii);
    void startSearch();
    void cancelSearch();
    void showSearchRunning(bool running);
    void searchProgressed(int filesRead, int filesListed);
    void searchFinished(const SearchOutcome &outcome);
    void openTraining(const QString &address);
    void startPick(const QString &value);
    float unitsX(const PointerEvent &event) const;
    float unitsY(const PointerEvent &event) const;

    Platform &m_platform;
    Document m_document;
    QString m_dialogFolder; // where the file dialog starts; set once at start-up
    DiagramMouse m_mouse{*this};
    AnimationState m_animation;
    QString m_dialogFileName;               // the name the shared file dialog last showed
    SearchResultModel *m_results = nullptr; // the result list's entries, each with its file
    SearchJob *m_search = nullptr;
    std::unique_ptr<BoundTextBox> m_captionBox;
    std::unique_ptr<BoundTextBox> m_notesBox;
    bool m_ended = false;
    bool m_hiddenPanelsQueued = false;
    QList<QAction *> m_keyCommands;
    std::vector<std::function<bool()>> m_keyAvailable; // for each key command, whether it acts now
    QLineEdit *m_typingInto = nullptr;                 // the header box whose typing is being recorded
};

} // namespace tessik
