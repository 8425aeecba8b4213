#include "viewer/qt/plot_widget.h"

#include <gtest/gtest.h>
