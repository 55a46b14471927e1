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
    // The ending the dialog itself gives a typed name that has none (".rca.xml"); may be empty.
    // Not every dialog does: callers complete the chosen name themselves as well.
    QString defaultSuffix = {};
};

struct FileChoice {
    QString path;        // the chosen full path; empty on cancel
    int filterIndex = 0; // the file type chosen in the dialog: its place in the filter, from 0
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

    // The common file dialog: the chosen path and file type.
    virtual FileChoice showFileDialog(const FileDialogRequest &request) = 0;
    // The same when only the path matters: the chosen full path, or empty on cancel.
    QString chooseFile(const FileDialogRequest &request) { return showFileDialog(request).path; }

    // A modal message box with an exclamation icon and the application title; the button pressed.
    // `defaultAnswer` is the button that Enter and Esc press: for a question, the answer that
    // loses nothing, since a reflex Enter must never throw work away.
    virtual MessageAnswer showMessage(const QString &text, MessageButtons buttons, MessageAnswer defaultAnswer) = 0;
    // A message with OK, or a question whose No changes nothing.
    MessageAnswer showMessage(const QString &text, MessageButtons buttons)
    {
        return showMessage(text, buttons, buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok);
    }

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
