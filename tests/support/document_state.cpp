#include "support/document_state.h"

#include "files/analysis_writer.h"

#include <QPointF>
#include <QPushButton>
#include <QTest>

namespace tessik::test {

Analysis pumpAnalysis()
{
    Analysis a{"Pump failure", "op", "North", {}};
    BlockTable &t = a.table;
    for (const QPointF corner : {QPointF(0, -15), QPointF(20, -15), QPointF(40, -15), QPointF(20, 5), QPointF(45, 10)})
        t.addBlock(float(corner.x()) + kHalfBox, float(corner.y()) + kHalfBox);
    t.BlockText[1] = "Pump stopped";
    t.BlockText[3] = "Valve shut";
    t.BlockText[4] = "Sensor";
    t.BlockCategory[4] = "Information";
    t.BlockParent[2] = 1;
    t.BlockParent[3] = 2;
    t.BlockCategory[5] = "Motives";
    t.freeSlot(5);
    return a;
}

QString openAnalysis(WindowFixture &f, const Analysis &analysis, const QString &name)
{
    const QString path = f.path(QStringLiteral("work/") + name);
    writeBytes(path, writeAnalysis(analysis));
    f.platform.fileAnswers.enqueue(path);
    f.window->btnLoadXML->click();
    return path;
}

DocumentState stateOf(frmKelvane &w)
{
    const Document &document = w.document();
    return {w.windowTitle(), document.isModified(), document.currentFile(), writeAnalysis(document.analysis())};
}

char *toString(const DocumentState &state)
{
    return QTest::toString(
        QStringLiteral("title \"%1\", %2, file \"%3\", %4 bytes")
            .arg(state.title, state.unsaved ? QStringLiteral("unsaved") : QStringLiteral("saved"), state.file)
            .arg(state.bytes.size()));
}

} // namespace tessik::test
