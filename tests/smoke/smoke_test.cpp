#include <gtest/gtest.h>
#include <windows.h>
TEST(Smoke, RunsUnderWindows) { EXPECT_NE(GetCurrentProcessId(), 0u); }
