#pragma once

#include "search/result_entry.h"

#include <QFrame>

class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;

namespace tessik {

class SearchJob;
class SearchResultModel;
struct SearchOutcome;

// The search panel, frameAnalyze: finds the analyses of a folder that hold a phrase and lists
// them; a click on an entry asks the window to open it. The search runs on other threads; the
// panel shows its progress, and its button cancels it.
class SearchPanel : public QFrame {
    Q_OBJECT
public:
    explicit SearchPanel(QWidget *parent);

    // The controls are built on first need, so the window shows sooner.
    void build();
    bool isBuilt() const { return m_phrase != nullptr; }
    // Starts afresh on the folder: an empty phrase with the focus, an empty list.
    void open(const QString &folder);
    // Done: a running search is cancelled.
    void close();
    // Esc: cancels a running search, else closes the panel.
    void escape();
    bool isSearching() const;

Q_SIGNALS:
    void entryChosen(const tessik::SearchEntry &entry, const QString &phrase);
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void searchOrCancel();
    void startSearch();
    void cancelSearch();
    void showSearching(bool searching);
    void showProgress(int filesRead, int filesListed);
    void showOutcome(const SearchOutcome &outcome);
    void chooseRow(int row);
    void fitRowsToWidestEntry(const QList<int> &candidates);

    SearchResultModel *m_results = nullptr;
    SearchJob *m_job = nullptr;
    QString m_folder;
    QLineEdit *m_phrase = nullptr;   // txtKeyWord
    QPushButton *m_search = nullptr; // btnSearch
    QPushButton *m_done = nullptr;   // btnAnalysisDone
    QProgressBar *m_progress = nullptr;
    QListView *m_list = nullptr; // lstFileNames
    QLabel *m_status = nullptr;  // lblSearchStatus
};

} // namespace tessik
