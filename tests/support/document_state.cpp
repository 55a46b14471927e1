#include "support/document_state.h"

#include "files/analysis_writer.h"

#include <QPushButton>
#include <QTest>

namespace tessik::test {

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
