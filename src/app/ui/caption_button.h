#pragma once

#include <QPushButton>

namespace tessik {

// A push button whose caption wraps onto a second line when it is wider than the button,
// as the long animation captions need; text() stays the caption as given.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace tessik
