#pragma once

#include <QGroupBox>

namespace tessik {

// A group box that draws its own frame. The desktop style's group box frame is a picture, and
// loading any picture by file name makes Qt load every image format plugin it has: a sizeable
// part of the window's start-up, for one thin line.
class CaptionFrame : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace tessik
