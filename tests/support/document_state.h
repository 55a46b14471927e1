#pragma once

#include "files/analysis.h"
#include "support/window_fixture.h"

#include <QByteArray>
#include <QString>

namespace tessik::test {

// "Pump failure": block 1 "Pump stopped" leads to 2, 2 to 3 "Valve shut" (corners at x 0, 20
// and 40, y -15); block 4 "Sensor" stands alone at (20, 5); slot 5 is free and keeps leftovers.
Analysis pumpAnalysis();

// Puts the analysis on disk in the work folder and opens it with Load, as a user would: the
// window then shows it as a clean document with an empty history.
QString openAnalysis(WindowFixture &f, const Analysis &analysis, const QString &name = QStringLiteral("Start.rca.xml"));

// What the user sees of the document and what a save would write, read in one place.
struct DocumentState {
    QString title;
    bool unsaved = false;
    QString file;     // CurrentFile
    QByteArray bytes; // the analysis as Save would write it
    bool operator==(const DocumentState &) const = default;
};
DocumentState stateOf(frmKelvane &w);
char *toString(const DocumentState &state); // for QCOMPARE

} // namespace tessik::test
