#pragma once

// The real program driven from inside (see driven_tessik.cpp), with its folders in the test's
// folder (AppData, the per-user folder's base, before the desktop's data folder), no display,
// and no program on the PATH (a snapshot opens no viewer).
#include "support/test_env.h"

#include <QProcess>

namespace tessik::test {

struct Driven {
    Driven(const TestEnvironment &env, const QStringList &arguments, const QString &scale = "1")
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &setting :
             QStringList{"AppData=appdata", "XDG_DATA_HOME=data", "HOME=home", "PATH=no-programs"})
            environment.insert(setting.section('=', 0, 0), env.path(setting.section('=', 1)));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("QT_SCALE_FACTOR", scale);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(env.path("work"));
        process.start(TESSIK_DRIVEN_PROGRAM, arguments);
    }
    ~Driven()
    {
        process.kill();
        process.waitForFinished();
    }
    // What it prints up to the line that ends what the window shows (STARTED, or DONE when serving).
    QString shows(const QByteArray &end = "STARTED\n")
    {
        QByteArray output;
        while (!output.endsWith(end) && process.waitForReadyRead(30000))
            output += process.readAllStandardOutput();
        return QString::fromUtf8(output);
    }
    // Serving: does what the line says; then the questions asked, the title, the state, ...
    QStringList run(const QString &line)
    {
        process.write(line.toUtf8() + '\n');
        return shows("DONE\n").split('\n');
    }
    QProcess process;
};

} // namespace tessik::test
