#pragma once

#include "app/ui/surface_view.h"
#include "model/block_table.h"
#include "render/plot_diagram.h"

#include <QWidget>

#include <array>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tessik {

class Platform;

// The one window: its controls, its form-level state and its event handlers. Handlers stay
// short and call into the model, render, interact, files and search code.
class frmKelvane : public QWidget {
    Q_OBJECT
public:
    explicit frmKelvane(Platform &platform, QWidget *parent = nullptr);
    ~frmKelvane() override;

    // Form-level state, readable by tests.
    BlockTable &table() { return m_table; }
    QString CurrentFile;
    bool Unsaved = false;
    QString UserFolder;
    QString LastFolder;
    QString StoredVersion;
    int EditedBlock = 0;
    bool PickPending = false;
    QString PickText;
    DiagramColours colours;

    const PixelMapping &mapping() const { return picDiagram->surface().mapping(); }
    Surface &diagram() { return picDiagram->surface(); }

    // Start-up, as the load event runs it; then the caller shows the window.
    void Form_Load();
    void Form_Resize();
    void EndItAll();
    bool ended() const { return m_ended; }

    void PlotDiagram(const QString &KeyWord);
    void Addblock(float X, float Y);
    void InitialBlock();
    void EditBlock(int id);
    bool Confirm();

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
    QLineEdit *txtKeyWord = nullptr;
    QPushButton *btnSearch = nullptr;
    QListWidget *lstFileNames = nullptr;
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

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildEditPanel();
    void buildSearchPanel();
    void buildControlPanel();
    void connectHandlers();
    void headerChanged();
    void Form_Terminate();

    Platform &m_platform;
    BlockTable m_table;
    QString m_dialogFolder; // where the file dialog starts; set once at start-up
    bool m_ended = false;
};

} // namespace tessik
