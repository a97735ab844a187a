// A clean window system for each framework test, with the program's
// resources and the tests' own templates installed.
#pragma once

#include <gtest/gtest.h>

#include "afxwin.h"
#include "win/core/automation.h"
#include "win/core/clock.h"

namespace afx_test {

class AfxTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    win::VirtualClock clock;
    HINSTANCE program_module = nullptr;
    HINSTANCE test_module = nullptr;
};

inline constexpr UINT kTestDialog = 300;

}  // namespace afx_test
