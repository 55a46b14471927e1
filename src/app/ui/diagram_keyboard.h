#pragma once

#include "interact/block_navigation.h"

#include <QObject>

class QKeyEvent;
class QWidget;

namespace tessik {

class DiagramArea;
class Document;
class FocusRing;

// The diagram's keys, while picDiagram has the focus: they move the selection between blocks and
// give the selected block what the mouse gestures give it, through the same edits. The selected
// block shows a focus ring drawn over the view, never into the picture.
class DiagramKeyboard : public QObject {
    Q_OBJECT
public:
    // The editor panel is watched so that the focus comes back to the diagram when an editor the
    // keys opened closes.
    DiagramKeyboard(DiagramArea &area, const Document &document, QWidget *editorPanel);

    // The keys, a line each, for the diagram's tooltip.
    static QString keyList();

Q_SIGNALS:
    void openRequested(int id);
    // A new block centred on (x, y), a cause of `parent`; 0 for a block without a parent.
    void addRequested(float x, float y, int parent);
    void deleteRequested(int id);
    void redrawRequested(); // the picked block's outline goes

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool keyPressed(const QKeyEvent &key);
    bool linkKey(int key);
    void selectToward(Direction direction);
    void moveSelected(int key, bool withDescendants);
    void insert();
    void giveValue(int digit);
    void endLink(bool link);
    void open(int id);
    void followTable();
    void focusChanged(QWidget *old, QWidget *now);

    DiagramArea &m_area;
    const Document &m_document;
    QWidget *m_view;
    QWidget *m_editor;
    FocusRing *m_ring;
    int m_linkFrom = 0;            // the block picked up by L; 0 when none
    bool m_editorFromKeys = false; // the open editor was opened by a key of the diagram
    bool m_returning = false;      // the focus comes back from that editor
};

} // namespace tessik
