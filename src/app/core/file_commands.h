#pragma once

#include "files/analysis_reader.h"
#include "files/save_rules.h"
#include "platform/core/platform.h"

#include <QString>

#include <functional>

namespace tessik {

class Document;

// Load, Save and Save As as the user meets them: the shared file dialog, which remembers the
// folder and the name it last showed, the document's file operations, and the messages that say
// what went wrong. Asking about unsaved edits is the caller's.
class FileCommands {
public:
    FileCommands(Document &document, Platform &platform) : m_document(document), m_platform(platform) {}

    // Where the dialog first opens: set once at start-up.
    void setDialogFolder(const QString &folder) { m_dialogFolder = folder; }

    // The analysis file the user chooses in the Open dialog; empty when cancelled.
    QString chooseToOpen();
    // Opens the analysis the file holds, as read aside (the analysis on screen is replaced only by
    // a good read); tells the user why not, or, once `opened` has run, what was repaired. True when
    // it was opened.
    bool open(const QString &path, const ReadOutcome &read, const std::function<void()> &opened = {});
    // Load once its dialog has named the file: the same as open, and LastFolder follows.
    bool load(const QString &path);

    // Save: refuses what cannot be saved (with a message), asks for a name when the analysis
    // never had a file, else writes over its file.
    void save();
    // Save As: refuses what cannot be saved, asks for a name, writes.
    void saveAs();

private:
    QString chooseAnalysisFile(FileDialogMode mode, const QString &filter, const QString &proposedName);
    bool saveAllowed(SaveCommand command);
    void saveTo(const QString &path);

    Document &m_document;
    Platform &m_platform;
    QString m_dialogFolder;   // where the file dialog opens
    QString m_dialogFileName; // the name the dialog last showed
};

} // namespace tessik
