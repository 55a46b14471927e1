#include "platform/fake/fake_platform.h"

namespace tessik {

QString FakePlatform::chooseFile(const FileDialogRequest &request)
{
    fileRequests.append(request);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

MessageAnswer FakePlatform::showMessage(const QString &text, MessageButtons buttons)
{
    messages.append(text);
    messageButtons.append(buttons);
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

void FakePlatform::openUrl(const QString &urlOrPath)
{
    openedUrls.append(urlOrPath);
}
void FakePlatform::pause(int milliseconds)
{
    pauses.append(milliseconds);
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
