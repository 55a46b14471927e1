#include "platform/fake/fake_platform.h"

#include <QPainter>

namespace tessik {

FileChoice FakePlatform::showFileDialog(const FileDialogRequest &request)
{
    fileRequests.append(request);
    if (fileAnswers.isEmpty())
        return {};
    const QString path = fileAnswers.dequeue();
    return {path, fileTypeAnswers.isEmpty() ? 0 : fileTypeAnswers.dequeue()};
}

MessageAnswer FakePlatform::showMessage(const QString &text, MessageButtons buttons, MessageAnswer defaultAnswer)
{
    messages.append(text);
    messageButtons.append(buttons);
    messageDefaults.append(defaultAnswer);
    return messageAnswers.isEmpty() ? defaultAnswer : messageAnswers.dequeue();
}

PrintOutcome FakePlatform::printPage(const PrintRequest &request, const PagePainter &paint)
{
    printRequests.append(request);
    const PrintOutcome answer = printAnswers.isEmpty() ? PrintOutcome::Cancelled : printAnswers.dequeue();
    if (answer != PrintOutcome::Printed)
        return answer;
    QImage page(printPageSize, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(printPageSize)));
    painter.end();
    printedPages.append(page);
    return answer;
}

void FakePlatform::openUrl(const QString &urlOrPath)
{
    openedUrls.append(urlOrPath);
}
void FakePlatform::pause(int milliseconds)
{
    pauses.append(milliseconds);
    if (duringPause)
        duringPause();
}
void FakePlatform::processEvents()
{
    ++processEventsCalls;
}

QString FakePlatform::environmentVariable(const QString &name) const
{
    return environment.value(name);
}

QString FakePlatform::homeFolder() const
{
    return home;
}
QString FakePlatform::programFolder() const
{
    return program;
}
QString FakePlatform::currentFolder() const
{
    return current;
}

bool FakePlatform::setCurrentFolder(const QString &folder)
{
    current = folder;
    return true;
}

void FakePlatform::endProgram()
{
    ++endProgramCalls;
}

} // namespace tessik
