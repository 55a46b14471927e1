#pragma once

#include <QDir>
#include <QtGlobal>

// Benchmarks run headless, with the fonts the diagram is measured with.
inline void useHeadlessQt()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR") &&
        QDir(QStringLiteral("/usr/share/fonts/truetype/liberation2")).exists())
        qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/liberation2");
}
