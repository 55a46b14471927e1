#pragma once

#include "search/analysis_listing.h"
#include "search/search_control.h"
#include "search/search_outcome.h"

#include <QString>

namespace tessik {

// Searches every analysis file of the folder for the phrase, letter case ignored over the
// letters of Windows-1252, anywhere in the file's text (tags and numbers included), and lists
// the files that hold it by description, sorted. An empty phrase gives an empty outcome.
// With a control, the search reports its progress there and stops soon after it is cancelled;
// the outcome of a cancelled search is incomplete and means nothing.
SearchOutcome searchFolder(const QString &folder, const QString &phrase, SearchControl *control = nullptr);

// The same over a listing made earlier. `workers` is the number of threads reading files;
// 0 picks one per core. The outcome never depends on it.
SearchOutcome searchListedFiles(const AnalysisListing &listing, const QString &phrase, int workers = 0,
                                SearchControl *control = nullptr);

} // namespace tessik
