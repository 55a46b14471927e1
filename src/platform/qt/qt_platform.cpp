#include "platform/qt/qt_platform.h"

#include "platform/core/program_module.h"
#include "platform/qt/print_dialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

#include <algorithm>

namespace tessik {

namespace {

// "Description (*.ext)|*.ext|Other (*.other)|*.other" gives the Qt filters
// "Description (*.ext)" and "Other (*.other)".
QStringList qtFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList descriptions;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        descriptions << parts[i];
    return descriptions;
}

} // namespace

FileChoice QtPlatform::showFileDialog(const FileDialogRequest &request)
{
    const bool save = request.mode == FileDialogMode::Save;
    const QStringList filters = qtFilters(request.filter);
    QFileDialog dialog(m_parent, request.title, request.initialFolder);
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The dialog's own overwrite question stays; a native dialog may ignore the suffix.
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return {};
    return {QDir::toNativeSeparators(dialog.selectedFiles().value(0)),
            int(std::max<qsizetype>(filters.indexOf(dialog.selectedNameFilter()), 0))};
}

MessageAnswer QtPlatform::showMessage(const QString &text, MessageButtons buttons, MessageAnswer defaultAnswer)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Kelvane"), text, QMessageBox::NoButton, m_parent);
    // File names and the user's own texts may hold markup; a message shows them as they are.
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        const auto safe = defaultAnswer == MessageAnswer::Yes ? QMessageBox::Yes : QMessageBox::No;
        box.setDefaultButton(safe);
        box.setEscapeButton(safe);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

PrintOutcome QtPlatform::printPage(const PrintRequest &request, const PagePainter &paint)
{
    const auto print = reinterpret_cast<PrintPageFunction>(programModuleFunction(kPrintModule, kPrintPageFunction));
    return print ? print(request, paint, m_parent) : PrintOutcome::Failed;
}

void QtPlatform::openUrl(const QString &urlOrPath)
{
    const QUrl url = QUrl::fromUserInput(urlOrPath, QDir::currentPath(), QUrl::AssumeLocalFile);
    QDesktopServices::openUrl(url);
}

void QtPlatform::pause(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtPlatform::processEvents()
{
    QCoreApplication::processEvents();
}

QString QtPlatform::environmentVariable(const QString &name) const
{
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

QString QtPlatform::homeFolder() const
{
    return QDir::homePath();
}

QString QtPlatform::programFolder() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString QtPlatform::currentFolder() const
{
    return QDir::toNativeSeparators(QDir::currentPath());
}

bool QtPlatform::setCurrentFolder(const QString &folder)
{
    return QDir::setCurrent(folder);
}

void QtPlatform::endProgram()
{
    QCoreApplication::exit(0);
}

} // namespace tessik
