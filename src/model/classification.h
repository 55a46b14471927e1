#pragma once

#include "model/colour.h"

#include <QString>
#include <QStringList>

#include <array>

namespace tessik {

// The notes classification: 1 for "science", 2 for "technology", 4 for "human factors",
// each found anywhere in the notes, letter case ignored. 0..7.
int notesIndex(const QString &notes);

// The category: the first of the six category keywords found in the text, in their fixed
// order, letter case ignored; 0 when none is found. 0..6.
int categoryIndex(const QString &category);

// The fill colours of the boxes, by notes classification and by category.
struct ColourTables {
    std::array<Colour, 8> NotesColour{};
    std::array<Colour, 7> CategoryColour{};

    static ColourTables standard();
};

// Which classification fills the boxes.
enum ViewTypeValue : int { NotesView = 0, CategoryView = 1 };

// The preset list of the block editor, in order; entries starting with "<" are headings.
QStringList presetEntries();

} // namespace tessik
