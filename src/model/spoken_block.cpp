#include "model/spoken_block.h"

#include "model/classification.h"

#include <QStringList>

namespace tessik {

namespace {

// The display names in the order of the classification's values.
const char *const kCategoryNames[] = {"Physical Resources",   "Structure/Process", "Information",
                                      "Knowledge and Skills", "Motives",           "Wellness/Capacity"};
const char *const kNotesNames[] = {"Science", "Technology", "Human Factors"};

QString categoryWords(const QString &category)
{
    const int index = categoryIndex(category);
    return index == 0 ? QStringLiteral("no category") : QLatin1String(kCategoryNames[index - 1]);
}

QString notesWords(const QString &notes)
{
    // The drawing reads the notes the same way: any mix of the three keywords.
    const int index = notesIndex(notes);
    QStringList found;
    for (int bit = 0; bit < 3; ++bit)
        if (index & (1 << bit))
            found << QLatin1String(kNotesNames[bit]);
    return found.isEmpty() ? QStringLiteral("no notes classification") : found.join(QStringLiteral(", "));
}

} // namespace

QString spokenName(const Block &block)
{
    // A caption broken over lines in its box is one phrase to the ear.
    const QString caption = block.caption.simplified();
    return caption.isEmpty() ? QStringLiteral("Block without caption") : caption;
}

QString spokenDescription(const BlockTable &table, int id)
{
    const Block &block = table.block(id);
    const QString place = table.isLive(block.parent)
                              ? QString(QStringLiteral("cause of ") + spokenName(table.block(block.parent)))
                              : QStringLiteral("impact");
    return categoryWords(block.category) + QStringLiteral("; ") + notesWords(block.notes) + QStringLiteral("; ") +
           place;
}

} // namespace tessik
