#pragma once

#include <QString>

#include <functional>

class QPainter;
class QRectF;

// Every service outside the program goes through this interface: the window uses the
// Qt implementation, tests use the scripted fake. Nothing here touches a widget.
namespace tessik {

enum class FileDialogMode { Open, Save };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    QString filter; // "Description (*.pattern)|*.pattern"
    QString title;
    QString fileName; // the proposed name (Save As); may be empty
    QString initialFolder;
};

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct PrintRequest {
    QString jobName;
    bool landscape = false; // how the page is offered first; the user may turn it
};

enum class PrintOutcome { Printed, Cancelled, Failed };

// Draws one printed page: `page` is the printable area in the painter's coordinates.
using PagePainter = std::function<void(QPainter &painter, const QRectF &page)>;

class Platform {
public:
    virtual ~Platform() = default;

    // The common file dialog: the chosen full path, or empty on cancel.
    virtual QString chooseFile(const FileDialogRequest &request) = 0;

    // A modal message box with an exclamation icon and the application title.
    virtual MessageAnswer showMessage(const QString &text, MessageButtons buttons) = 0;

    // The system's print dialog; when the user confirms it, one page drawn by `paint` is printed.
    virtual PrintOutcome printPage(const PrintRequest &request, const PagePainter &paint) = 0;

    // Hands a document or web address to the desktop; the program neither waits nor looks at the result.
    virtual void openUrl(const QString &urlOrPath) = 0;

    virtual void pause(int milliseconds) = 0;
    virtual void processEvents() = 0;

    virtual QString environmentVariable(const QString &name) const = 0;
    virtual QString homeFolder() const = 0;
    virtual QString programFolder() const = 0;

    virtual QString currentFolder() const = 0;
    virtual bool setCurrentFolder(const QString &folder) = 0;

    // Ends the program once the current handler returns; no further window events are handled.
    virtual void endProgram() = 0;
};

} // namespace tessik
