#pragma once

#include "platform/core/platform.h"

class QWidget;

namespace tessik {

// The platform services as the desktop provides them through Qt.
class QtPlatform : public Platform {
public:
    explicit QtPlatform(QWidget *dialogParent = nullptr) : m_parent(dialogParent) {}
    void setDialogParent(QWidget *parent) { m_parent = parent; }

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

private:
    QWidget *m_parent;
};

} // namespace tessik
