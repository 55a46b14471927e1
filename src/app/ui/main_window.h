#pragma once

#include "app/core/document.h"
#include "app/core/export_commands.h"
#include "app/core/file_commands.h"

#include <QWidget>

namespace tessik {

class CommandPanel;
class DiagramArea;
class DiagramKeyboard;
class EditorPanel;
class KeyCommands;
class Platform;
class SearchPanel;
struct SearchEntry;

// The one window: the diagram above, and below it one of three panels in the same place (the
// command panel, the block editor, the search panel). It holds the document, shows it, and
// carries out what the panels ask for.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(Platform &platform, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Opens the analysis as Load does once its dialog has named the file.
    void loadFile(const QString &path);
    // Offers what a run that did not end normally left behind.
    void offerRecovery();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void startUp();
    void connectCommandPanel();
    void connectEditor();
    void connectSearchPanel();
    void connectDocument();
    void connectKeys();
    void connectDiagramKeys();
    void connectZoomKeys();
    void buildHiddenPanels();
    void ensureEditor();
    void ensureSearchPanel();
    void watchTextBoxes(QWidget *panel);
    void layOut();
    QSize smallestUsableSize() const;
    void showPanel(QWidget *panel);

    bool confirm();
    void quit();
    void end();
    void newAnalysis();
    void load();
    void save(void (FileCommands::*command)());
    void openEntry(const SearchEntry &entry, const QString &phrase);
    void openSearch();

    void addBlock(float x, float y, int parent = 0);
    void openEditor(int id);
    void switchEditorTo(int id);
    void commitEditor();
    void cancelEditor();
    void deleteBlock(int id);
    void leaveEditor();
    bool editorHasTyping() const;
    void showTable();
    void drawDiagram();
    void showHeader();

    Platform &m_platform;
    Document m_document;
    FileCommands m_files{m_document, m_platform};
    ExportCommands m_exports{m_document, m_platform};
    QString m_userFolder;
    DiagramArea *m_diagram = nullptr;
    CommandPanel *m_commands = nullptr;
    EditorPanel *m_editor = nullptr;
    SearchPanel *m_search = nullptr;
    KeyCommands *m_keys = nullptr;
    DiagramKeyboard *m_diagramKeys = nullptr;
    bool m_hiddenPanelsQueued = false;
    bool m_ended = false;
};

} // namespace tessik
