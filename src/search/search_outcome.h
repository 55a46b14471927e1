#pragma once

#include "search/result_entry.h"

#include <QList>
#include <QString>

namespace tessik {

// What one search found, and what it had to leave out, for the search panel to show.
struct SearchOutcome {
    QList<SearchEntry> entries;
    int unreadable = 0;            // listed files that could not be read
    bool folderMissing = false;    // the folder does not exist (or is no folder)
    bool folderUnreadable = false; // the folder exists but its listing was refused
    QString folder;                // the folder searched, for the status line

    // A short line for the panel: empty when every listed file was read.
    QString statusText() const;
};

} // namespace tessik
