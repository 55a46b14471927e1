#include "support/document_setup.h"

#include "files/analysis_writer.h"

#include <QPushButton>

namespace tessik::test {

void openAnalysis(WindowFixture &f, const Analysis &analysis, const QString &name)
{
    const QString path = f.path(QStringLiteral("work/") + name);
    writeBytes(path, writeAnalysis(analysis));
    f.platform.fileAnswers.enqueue(path);
    f.window->btnLoadXML->click();
}

} // namespace tessik::test
