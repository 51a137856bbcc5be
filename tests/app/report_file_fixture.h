// The fixture of the report tests that write files.
#pragma once

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {

// Printed pages of 30 lines; file reports to out.txt in a fresh folder.
struct ReportFileTest : ::testing::Test {
  TempFolder folder;
  ReportHarness h{30, folder.file("out.txt")};
};

}  // namespace tvx::test
