#pragma once

#include <QPushButton>
