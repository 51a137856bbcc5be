// The fixture of the report builders' tests: a report harness with 30-line
// printed pages whose file reports go to out.txt in a fresh folder of its
// own, removed at the end; the open investor's file is "/data/smith.qvx".
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "report_test_support.h"

namespace tvx::test {

class ReportFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tvx_report-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    h.state.OutputFile = (dir / "out.txt").string();
    h.state.CurrentFile = "/data/smith.qvx";
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
  }

  static std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::filesystem::path dir;
  ReportHarness h{30};
};

}  // namespace tvx::test
