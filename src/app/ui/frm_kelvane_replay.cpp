#include "app/ui/frm_kelvane.h"

#include "app/core/snapshot_file.h"
#include "platform/core/platform.h"

#include <QLineEdit>
#include <QPushButton>

// Showing the analysis beyond the editor: the chain replay, the snapshot, the training links.
namespace tessik {

namespace {

// Set when building (-DTESSIK_TRAINING_VIDEO_URL=... and -DTESSIK_TRAINING_REFERENCE_URL=...).
const QString kTrainingVideo = QStringLiteral(TESSIK_TRAINING_VIDEO_URL);
const QString kTrainingReference = QStringLiteral(TESSIK_TRAINING_REFERENCE_URL);

} // namespace

void frmKelvane::animationStep(AnimationDirection direction, QPushButton *button)
{
    m_animation.step(table(), direction);
    // The click is not taken again while its fade runs; the other button stays live, and a
    // click on it waits for the events drained at the end of the fade.
    button->setEnabled(false);
    PlotDiagramHidden(picBuffer->surface(), diagram(), table(), colours, m_animation, m_platform);
    button->setEnabled(true);
}

void frmKelvane::btnAnimate_Click()
{
    animationStep(AnimationDirection::Backward, btnAnimate);
}
void frmKelvane::btnAnimateForward_Click()
{
    animationStep(AnimationDirection::Forward, btnAnimateForward);
}

void frmKelvane::btnSnapShot_Click()
{
    const SnapshotFile result = takeSnapshot(diagram().logicalImage(), m_platform);
    if (!result.ok)
        m_platform.showMessage(snapshotFailureMessage(result), MessageButtons::Ok);
}

void frmKelvane::openTraining(const QString &address)
{
    txtDescription->setFocus();
    m_platform.processEvents();
    m_platform.openUrl(address);
}

void frmKelvane::btnTraining_Click()
{
    openTraining(kTrainingVideo);
}
void frmKelvane::btnTrainingReference_Click()
{
    openTraining(kTrainingReference);
}

} // namespace tessik
