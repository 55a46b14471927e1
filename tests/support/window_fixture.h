#pragma once

#include "app/ui/frm_kelvane.h"
#include "support/test_env.h"

#include <memory>

namespace tessik::test {

// A real window on the fake platform, started as the program starts it.
struct WindowFixture : TestEnvironment {
    std::unique_ptr<frmKelvane> window;

    // Builds and shows the window; call after preparing the folders.
    frmKelvane &start();
};

} // namespace tessik::test
