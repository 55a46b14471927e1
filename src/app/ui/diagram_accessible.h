#pragma once

namespace tessik {

class DiagramArea;
class Document;

// Lets assistive tools read the diagram: one item per live block, named after its caption and
// described by its classifications and its link. The selected block is the selected item, and
// while the diagram has the keyboard focus it is the focused one, so a screen reader says each
// block the selection moves to.
void exposeDiagram(DiagramArea &area, const Document &document);

} // namespace tessik
