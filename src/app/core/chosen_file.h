#pragma once

#include "platform/core/platform.h"

#include <QString>
#include <QStringList>

namespace tessik {

// The endings of the file types a dialog's filter offers ("PDF document (*.pdf)|*.pdf|..."),
// in its order: ".pdf", ...
QStringList filterEndings(const QString &filter);

// What becomes of a chosen name that ends in the ending of a file type the dialog does not offer
// ("diagram.jpg"): it gets the ending too, or it is kept, for the writer to refuse with a message
// rather than make a "diagram.jpg.pdf" nobody asked for.
enum class ForeignEnding { Completed, Kept };

// The name as chosen when it ends in one of the endings (letter case ignored); otherwise with the
// ending at `chosen` added, so that the file is found again by the filters and the search that
// look for it. An empty name (a cancelled dialog) stays empty. A dot in a name is no ending of
// its own unless it starts the ending of a known file type ("Pump 3.5 bar" has none).
QString withEnding(const QString &path, const QStringList &endings, int chosen,
                   ForeignEnding foreign = ForeignEnding::Completed);

// The message asking whether a file that is there already may be replaced.
QString replaceQuestion(const QString &path);

// The file dialog. A name chosen to save under ends in an ending of the filter: a dialog of one
// file type proposes that ending itself, and a name without one gets the ending of the type
// chosen. When that names a file that is there already, which the dialog did not ask about,
// the user is asked; the path is empty when the user cancels or keeps that file. A name chosen
// to open comes back as the dialog gave it.
QString chooseFileWithEnding(Platform &platform, FileDialogRequest request,
                             ForeignEnding foreign = ForeignEnding::Completed);

} // namespace tessik
