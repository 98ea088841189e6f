#include <gtest/gtest.h>
#include "settings/settings.h"
TEST(Settings, Placeholder) { EXPECT_EQ(1, 1); }
