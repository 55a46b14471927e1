#include "platform/core/program_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLibrary>
#include <QMutex>
#include <QMutexLocker>

namespace tessik {

namespace {

QString programModuleFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                           QStringLiteral(TESSIK_MODULES_FROM_PROGRAM));
}

} // namespace

QFunctionPointer programModuleFunction(const QString &module, const char *function)
{
    // A picture may be exported from a worker thread while the window prints.
    static QMutex mutex;
    // Never destroyed, nor the libraries unloaded: code of a module may still be on a stack when
    // the program ends.
    static auto *const loaded = new QHash<QString, QLibrary *>;
    const QMutexLocker lock(&mutex);
    QLibrary *&library = (*loaded)[module];
    if (!library) {
        library = new QLibrary(programModuleFolder() + QLatin1Char('/') + module);
        if (!library->load()) {
            qWarning("%s", qPrintable(library->errorString()));
            delete library;
            loaded->remove(module);
            return nullptr;
        }
    }
    return library->resolve(function);
}

} // namespace tessik
