// The fixture of the report builders' tests: a report harness with 30-line
// printed pages whose file reports go to out.txt in a fresh folder; the open
// investor's file is "/data/smith.qvx".
#pragma once

#include <gtest/gtest.h>

#include "report_test_support.h"

namespace tvx::test {

class ReportFileTest : public ::testing::Test {
 protected:
  ReportFileTest() {
    h.state.OutputFile = folder.file("out.txt");
    h.state.CurrentFile = "/data/smith.qvx";
  }
  TempFolder folder;
  ReportHarness h{30};
};

}  // namespace tvx::test
