#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/save_rules.h"
#include "model/classification.h"
#include "render/fonts.h"
#include "render/pixel_mapping.h"
#include "render/plot_text.h"
#include "render/surface.h"
#include "support/test_env.h"

#include <QDir>
#include <QTest>

#include <cmath>

using namespace tessik;

// The sample analyses beside the program are made by src/tools/make_samples.cpp. Here they
// are checked as a user meets them: they open cleanly, draw soundly and save again.
class TestSamples : public QObject {
    Q_OBJECT
    const QDir m_folder{QStringLiteral(TESSIK_SAMPLES_DIR)};
    QStringList names() const { return m_folder.entryList({QStringLiteral("*.rca.xml")}, QDir::Files, QDir::Name); }

private Q_SLOTS:
    void sample_data()
    {
        QTest::addColumn<QString>("path");
        QCOMPARE(names().size(), qsizetype(4));
        for (const QString &name : names())
            QTest::newRow(qPrintable(name)) << m_folder.filePath(name);
    }
    void sample()
    {
        QFETCH(QString, path);
        const ReadOutcome outcome = readAnalysisFile(path, QLocale::c());
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.repairs, QStringList());
        // Written back, the file comes out byte for byte: the program wrote it.
        QCOMPARE(writeAnalysis(outcome.analysis, QLocale::c()), test::readBytes(path));
        const Analysis &a = outcome.analysis;
        QCOMPARE(saveValidationMessage(a.description, a.office, SaveCommand::Save), QString());

        // Every caption fits its box: at most five lines at the start-up scale, caption font.
        Surface surface(940, 440);
        surface.setMapping(PixelMapping::forStartupSize(940, 440));
        surface.setFont(captionFont());
        const CaptionMeasure width = captionMeasure(surface.textMetrics(), surface.mapping());
        const BlockTable &t = a.table;
        QVERIFY(t.liveCount() >= 6);
        for (int i = 1; i <= t.BlockCount; ++i) {
            if (!t.isLive(i))
                continue;
            QVERIFY2(t.BlockX[i] == std::round(t.BlockX[i]) && t.BlockY[i] == std::round(t.BlockY[i]), "whole units");
            const int parent = t.BlockParent[i];
            QVERIFY2(parent == 0 || (t.isLive(parent) && t.BlockX[parent] < t.BlockX[i]), "parent further left");
            QVERIFY2(categoryIndex(t.BlockCategory[i]) > 0, qPrintable(t.BlockCategory[i]));
            QVERIFY2(notesIndex(t.BlockNotes[i]) > 0, qPrintable(t.BlockNotes[i]));
            QVERIFY2(wrapCaption(t.BlockText[i], width).lines.size() <= 5, qPrintable(t.BlockText[i]));
        }
    }

    // The search is shown off with this caption.
    void oneSampleHoldsTheSensorCaption()
    {
        qsizetype found = 0;
        for (const QString &name : names())
            found += test::readBytes(m_folder.filePath(name)).count("<text>Sensor data missing</text>");
        QCOMPARE(found, qsizetype(1));
    }
};

QTEST_MAIN(TestSamples)
#include "test_samples.moc"
