#pragma once

#include "app/ui/surface_view.h"
#include "model/colour_pick.h"
#include "render/animation.h"

#include <QFrame>

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

namespace tessik {

class HeaderFields;

// The command panel, frameControl: the file and picture commands, the replay, the training
// links, the header fields, the view switch and the two key pictures. Each button says what
// the user wants; the window does it.
class CommandPanel : public QFrame {
    Q_OBJECT
public:
    explicit CommandPanel(QWidget *parent);

    HeaderFields &header() const { return *m_header; }
    void showVersion(const QString &version);

Q_SIGNALS:
    void newRequested();
    void loadRequested();
    void saveRequested();
    void saveAsRequested();
    void searchRequested();
    void snapshotRequested();
    void quitRequested();
    // The replay's next step; the button stays disabled until the step's fade has run.
    void replayRequested(tessik::AnimationDirection direction);
    // The focus has moved to the description; the address is for the desktop to open.
    void trainingRequested(const QString &address);
    void viewChosen(int viewType);
    // A press on a key picture picked a value (empty where the press missed every value).
    void valuePicked(const QString &value);
    // The release of a press on a key picture, wherever the pointer is then.
    void pickReleased(const tessik::PointerEvent &event);

private:
    void buildButtons();
    void buildViewSwitch();
    QPushButton *commandButton(const char *name, const QString &caption, int left, int top, int width,
                               void (CommandPanel::*requested)());
    void replayButton(const char *name, const QString &caption, int left, AnimationDirection direction);
    void trainingButton(const char *name, const QString &caption, int left, int width, const QString &address);
    void describeKeyPicture(SurfaceView *picture, const QString &name, const QString &kind,
                            SurfaceView::PictureSource source, QString (*read)(const QImage &, int, int));
    void chooseView(int viewType);
    void pickFrom(SurfaceView *picture, QString (*select)(const PixelReader &, int, int), const PointerEvent &event);

    HeaderFields *m_header = nullptr;
    std::array<QRadioButton *, 2> m_views{}; // optType(0) notes, optType(1) categories
    QLabel *m_version = nullptr;
    SurfaceView *m_categories = nullptr; // PicCategories
    SurfaceView *m_legend = nullptr;     // picLedgend
};

} // namespace tessik
