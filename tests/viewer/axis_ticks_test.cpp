#include "viewer/axis_ticks.h"

#include <gtest/gtest.h>
