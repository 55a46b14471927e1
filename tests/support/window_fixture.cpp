#include "support/window_fixture.h"

#include <QTest>

namespace tessik::test {

frmKelvane &WindowFixture::start()
{
    window = std::make_unique<frmKelvane>(platform);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("window was not exposed");
    // What the window does shortly after it has shown itself (building the hidden panels) is done too.
    if (!QTest::qWaitFor([this] { return window->txtText && window->txtKeyWord; }))
        qWarning("the hidden panels were not built");
    return *window;
}

} // namespace tessik::test
