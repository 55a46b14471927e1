#include "app/ui/command_panel.h"

#include "app/ui/controls.h"
#include "app/ui/header_fields.h"
#include "app/ui/key_picture_accessible.h"
#include "model/classification.h"
#include "model/rounding.h"
#include "render/artwork.h"
#include "render/fonts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tessik {

using namespace controls;

namespace {

// Set when building (-DTESSIK_TRAINING_VIDEO_URL=... and -DTESSIK_TRAINING_REFERENCE_URL=...).
const QString kTrainingVideo = QStringLiteral(TESSIK_TRAINING_VIDEO_URL);
const QString kTrainingReference = QStringLiteral(TESSIK_TRAINING_REFERENCE_URL);

} // namespace

CommandPanel::CommandPanel(QWidget *parent) : QFrame(parent)
{
    makePanel(this, "frameControl", 8, 133, QStringLiteral("Commands"));
    buildButtons();
    m_header = new HeaderFields(this);
    buildViewSwitch();
}

QPushButton *CommandPanel::commandButton(const char *name, const QString &caption, int left, int top, int width,
                                         void (CommandPanel::*requested)())
{
    QPushButton *control = button(this, name, caption, left, top, width, 29);
    connect(control, &QPushButton::clicked, this, requested);
    return control;
}

void CommandPanel::replayButton(const char *name, const QString &caption, int left, AnimationDirection direction)
{
    QPushButton *control = button(this, name, caption, left, 12, 117, 29);
    // The arrows of the caption show the direction to the eye only.
    control->setAccessibleDescription(direction == AnimationDirection::Forward
                                          ? QStringLiteral("Replays the chains from the causes to the impacts")
                                          : QStringLiteral("Replays the chains from the impacts back to the causes"));
    // The click is not taken again while its fade runs; the other button stays live, and a click
    // on it waits for the events handled at the end of the fade.
    connect(control, &QPushButton::clicked, this, [this, control, direction] {
        control->setEnabled(false);
        Q_EMIT replayRequested(direction);
        control->setEnabled(true);
    });
}

void CommandPanel::trainingButton(const char *name, const QString &caption, int left, int width, const QString &address)
{
    QPushButton *control = button(this, name, caption, left, 96, width, 29);
    connect(control, &QPushButton::clicked, this, [this, address] {
        m_header->descriptionBox()->setFocus();
        Q_EMIT trainingRequested(address);
    });
}

void CommandPanel::buildButtons()
{
    commandButton("btnNew", QStringLiteral("New"), 8, 12, 73, &CommandPanel::newRequested);
    commandButton("btnSave", QStringLiteral("Save"), 92, 12, 73, &CommandPanel::saveRequested);
    commandButton("btnSnapShot", QStringLiteral("Snapshot"), 176, 12, 73, &CommandPanel::snapshotRequested)
        ->setAccessibleDescription(QStringLiteral("Saves the diagram as a bitmap and opens it"));
    replayButton("btnAnimateForward", QStringLiteral("Impacts_from_Causes -------->"), 260,
                 AnimationDirection::Forward);
    replayButton("btnAnimate", QStringLiteral("Causes_To _Impacts <--------"), 376, AnimationDirection::Backward);
    button(this, "btnSend", QStringLiteral("Transmit to Pelmar"), 512, 12, 73, 29)->setVisible(false);
    commandButton("btnQuit", QStringLiteral("Quit"), 600, 12, 73, &CommandPanel::quitRequested);
    commandButton("btnLoadXML", QStringLiteral("Load"), 8, 44, 73, &CommandPanel::loadRequested);
    commandButton("btnSaveAs", QStringLiteral("Save As"), 92, 44, 73, &CommandPanel::saveAsRequested);
    commandButton("btnAnalyze", QStringLiteral("Search"), 176, 44, 73, &CommandPanel::searchRequested);
    trainingButton("btnTraining", QStringLiteral("Tessik Training Video"), 4, 121, kTrainingVideo);
    findChild<QPushButton *>(QStringLiteral("btnTraining"))
        ->setAccessibleDescription(QStringLiteral("Opens the training video page in the web browser"));
    trainingButton("btnTrainingReference", QStringLiteral("RCA Training Reference"), 132, 125, kTrainingReference);
    findChild<QPushButton *>(QStringLiteral("btnTrainingReference"))->setVisible(false);
}

void CommandPanel::buildViewSwitch()
{
    m_views[1] = place<QRadioButton>(this, "optType(1)", 680, 20, 89, 13);
    m_views[1]->setText(QStringLiteral("Categories"));
    m_views[1]->setChecked(true);
    m_views[0] = place<QRadioButton>(this, "optType(0)", 680, 40, 53, 13);
    m_views[0]->setText(QStringLiteral("Notes"));
    m_views[1]->setAccessibleDescription(QStringLiteral("Colours the blocks by their category"));
    m_views[0]->setAccessibleDescription(QStringLiteral("Colours the blocks by the classification of their notes"));
    m_version = label(this, "lblversion", QStringLiteral("version"), 684, 116, 61, 13);
    m_version->setAlignment(Qt::AlignCenter);
    m_version->setFont(arialFont(9, false));
    m_version->setAccessibleDescription(QStringLiteral("Program version"));

    m_categories = place<SurfaceView>(this, "PicCategories", 756, 12, 205, 113);
    m_categories->setLineWidth(1); // a thin border leaves the whole picture in view
    m_categories->setFixedPicture(categoryKeyPicture);
    m_legend = place<SurfaceView>(this, "picLedgend", 764, 12, 137, 117);
    m_legend->setLineWidth(1);
    m_legend->setFixedPicture(notesLegendPicture);
    m_legend->setVisible(false);
    describeKeyPicture(m_categories, QStringLiteral("Category key"), QStringLiteral("Category"), categoryKeyPicture,
                       SelectCategory);
    describeKeyPicture(m_legend, QStringLiteral("Notes key"), QStringLiteral("Notes classification"),
                       notesLegendPicture, SelectNote);

    for (int view : {NotesView, CategoryView})
        connect(m_views[size_t(view)], &QRadioButton::clicked, this, [this, view] { chooseView(view); });
    connect(m_categories, &SurfaceView::mouseDown, this,
            [this](const PointerEvent &event) { pickFrom(m_categories, SelectCategory, event); });
    connect(m_legend, &SurfaceView::mouseDown, this,
            [this](const PointerEvent &event) { pickFrom(m_legend, SelectNote, event); });
    for (SurfaceView *picture : {m_categories, m_legend})
        connect(picture, &SurfaceView::mouseUp, this, &CommandPanel::pickReleased);
}

void CommandPanel::describeKeyPicture(SurfaceView *picture, const QString &name, const QString &kind,
                                      SurfaceView::PictureSource source, QString (*read)(const QImage &, int, int))
{
    exposeKeyCells(picture, source, read, kind);
    picture->setAccessibleName(name);
    picture->setAccessibleDescription(QStringLiteral("Press a value, then release it over a block"));
}

void CommandPanel::showVersion(const QString &version)
{
    m_version->setText(version);
}

void CommandPanel::chooseView(int viewType)
{
    m_views[size_t(viewType)]->setChecked(true);
    m_legend->setVisible(viewType == NotesView);
    m_categories->setVisible(viewType != NotesView);
    Q_EMIT viewChosen(viewType);
}

void CommandPanel::pickFrom(SurfaceView *picture, QString (*select)(const PixelReader &, int, int),
                            const PointerEvent &event)
{
    const Surface &surface = picture->surface();
    Q_EMIT valuePicked(select([&](int x, int y) { return surface.point(x, y); }, int(roundHalfEven(event.pixel.x())),
                              int(roundHalfEven(event.pixel.y()))));
}

} // namespace tessik
