#pragma once

// Every test of the portable desktop starts from a desktop as a new process finds it, and leaves
// none of its windows, menus, callbacks or logs behind.

#include <gtest/gtest.h>

#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::testing {

class DesktopTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::desktop::Reset(); }
    void TearDown() override { platform::desktop::Reset(); }
};

}  // namespace halvern::testing
