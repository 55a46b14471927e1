#pragma once

#include "files/io_result.h"
#include "search/found_entries.h"

#include <QList>
#include <QString>

namespace tessik {

// What one search found, and what it had to leave out, for the search panel to show.
struct SearchOutcome {
    FoundEntries entries;
    int unreadable = 0;                     // listed files that could not be read
    int tooLarge = 0;                       // listed files larger than an analysis may be
    IoResult listing = IoResult::success(); // whether the folder itself could be listed
    QString folder;                         // the folder searched, for the status line
    QList<int> widestRows;                  // see widestRows(); filled in by a SearchJob

    // A short line for the panel: empty when every listed file was read.
    QString statusText() const;
};

} // namespace tessik
