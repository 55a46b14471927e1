#pragma once

#include <QString>

namespace tessik {

// The buffer with every character removed that is not an ASCII digit or letter, judged by
// character code: accented letters, blanks, punctuation and "_" all go.
QString Filter(QString buffer);

// The name Save As proposes: Filter(description) + "_" + Filter(email), no folder, no ending.
QString proposedFileName(const QString &description, const QString &email);

enum class SaveCommand { Save, SaveAs };

// Empty when the analysis may be saved, otherwise the message to show. The description is
// checked first; only the empty text fails (a text of blanks passes). The two commands word
// the office sentence differently.
QString saveValidationMessage(const QString &description, const QString &office, SaveCommand command);

// The message for a save that failed: the file and the reason. The file that was there
// before is untouched when this is shown.
QString saveFailureMessage(const QString &path, const QString &reason);

} // namespace tessik
