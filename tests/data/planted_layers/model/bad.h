#pragma once
// Planted faults for the layer check: a widget header and an include from above.
#include <QtWidgets/QPushButton>
#include "app/core/user_files.h"
