#pragma once

#include "platform/core/platform.h"

#include <QHash>
#include <QList>
#include <QQueue>
#include <QStringList>

namespace tessik {

// Scripted stand-in for the platform: tests queue the answers a person would give
// and read back what the program asked, showed and opened.
class FakePlatform : public Platform {
public:
    // Answers, consumed in order. An empty queue answers "cancel" / "No" / "Ok".
    QQueue<QString> fileAnswers;
    QQueue<MessageAnswer> messageAnswers;

    // What the program did.
    QList<FileDialogRequest> fileRequests;
    QStringList messages;
    QList<MessageButtons> messageButtons;
    QStringList openedUrls;
    QList<int> pauses;
    int processEventsCalls = 0;

    QHash<QString, QString> environment;
    QString home;
    QString program;
    QString current;
    int endProgramCalls = 0;

    QString chooseFile(const FileDialogRequest &request) override;
    MessageAnswer showMessage(const QString &text, MessageButtons buttons) override;
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
