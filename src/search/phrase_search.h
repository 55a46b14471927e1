#pragma once

#include "search/analysis_listing.h"
#include "search/search_outcome.h"

#include <QString>

namespace tessik {

// Searches every analysis file of the folder for the phrase, letter case ignored over the
// letters of Windows-1252, anywhere in the file's text (tags and numbers included), and lists
// the files that hold it by description, sorted. An empty phrase gives an empty outcome.
SearchOutcome searchFolder(const QString &folder, const QString &phrase);

// The same over a listing made earlier. `workers` is the number of threads reading files;
// 0 picks one per core. The outcome never depends on it.
SearchOutcome searchListedFiles(const AnalysisListing &listing, const QString &phrase, int workers = 0);

} // namespace tessik
