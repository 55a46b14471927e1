#pragma once

#include "files/analysis.h"
#include "support/window_fixture.h"

namespace tessik::test {

// Puts the analysis on disk in the work folder and opens it with Load, as a user would: the
// window then shows it as a clean document with an empty history.
void openAnalysis(WindowFixture &f, const Analysis &analysis, const QString &name = QStringLiteral("Start.rca.xml"));

} // namespace tessik::test
