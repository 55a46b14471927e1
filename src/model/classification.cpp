#include "model/classification.h"

namespace tessik {

int notesIndex(const QString &notes)
{
    int index = 0;
    if (notes.contains(QLatin1String("science"), Qt::CaseInsensitive))
        index += 1;
    if (notes.contains(QLatin1String("technology"), Qt::CaseInsensitive))
        index += 2;
    if (notes.contains(QLatin1String("human factors"), Qt::CaseInsensitive))
        index += 4;
    return index;
}

int categoryIndex(const QString &category)
{
    static const char *const keywords[] = {"physical resources",   "structure/process", "information",
                                           "knowledge and skills", "motives",           "wellness/capacity"};
    for (int i = 0; i < 6; ++i)
        if (category.contains(QLatin1String(keywords[i]), Qt::CaseInsensitive))
            return i + 1;
    return 0;
}

ColourTables ColourTables::standard()
{
    ColourTables tables;
    tables.NotesColour = {RGB(255, 255, 255), RGB(255, 191, 191), RGB(191, 255, 191), RGB(255, 255, 191),
                          RGB(191, 191, 255), RGB(255, 191, 255), RGB(191, 255, 255), RGB(235, 235, 235)};
    tables.CategoryColour = {RGB(255, 255, 255), RGB(251, 191, 191), RGB(239, 103, 229), RGB(170, 156, 254),
                             RGB(255, 255, 102), RGB(96, 246, 121),  RGB(102, 255, 255)};
    return tables;
}

QStringList presetEntries()
{
    return {QStringLiteral("<Select Categories>"),
            QStringLiteral("Science"),
            QStringLiteral("Technology"),
            QStringLiteral("Human Factors"),
            QStringLiteral("Societal Impacts"),
            QStringLiteral("<------------------>"),
            QStringLiteral("Physical Resources"),
            QStringLiteral("Structure/Process"),
            QStringLiteral("Information"),
            QStringLiteral("Knowledge and Skills"),
            QStringLiteral("Motives"),
            QStringLiteral("Wellness/Capacity")};
}

} // namespace tessik
