#pragma once

#include "platform/core/platform.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QQueue>
#include <QStringList>

namespace tessik {

// Scripted stand-in for the platform: tests queue the answers a person would give
// and read back what the program asked, showed and opened.
class FakePlatform : public Platform {
public:
    // Answers, consumed in order. An empty queue cancels a file dialog and answers a message as
    // Enter would: with the default answer the program asked for.
    QQueue<QString> fileAnswers;
    QQueue<int> fileTypeAnswers; // the file type chosen with each file answer; none: the first
    QQueue<MessageAnswer> messageAnswers;
    // The print dialog's answers; an empty queue answers Cancelled. Printed pages are painted
    // into an image of printPageSize (A4 at 96 pixels to the inch unless a test sets another).
    QQueue<PrintOutcome> printAnswers;
    QSize printPageSize{794, 1123};

    // What the program did.
    QList<FileDialogRequest> fileRequests;
    QStringList messages;
    QList<MessageButtons> messageButtons;
    QList<MessageAnswer> messageDefaults;
    QStringList openedUrls;
    QList<PrintRequest> printRequests;
    QList<QImage> printedPages;
    QList<int> pauses;
    std::function<void()> duringPause; // runs at each pause, to look at the window mid-way
    int processEventsCalls = 0;

    QHash<QString, QString> environment;
    QString home;
    QString program;
    QString current;
    int endProgramCalls = 0;

    using Platform::showMessage;
    FileChoice showFileDialog(const FileDialogRequest &request) override;
    MessageAnswer showMessage(const QString &text, MessageButtons buttons, MessageAnswer defaultAnswer) override;
    PrintOutcome printPage(const PrintRequest &request, const PagePainter &paint) override;
    void openUrl(const QString &urlOrPath) override;
    void pause(int milliseconds) override;
    void processEvents() override;
    QString environmentVariable(const QString &name) const override;
    QString homeFolder() const override;
    QString programFolder() const override;
    QString currentFolder() const override;
    bool setCurrentFolder(const QString &folder) override;
    void endProgram() override;
};

} // namespace tessik
