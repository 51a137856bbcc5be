#include "reports/pdf_output.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

// The PDF files of a print run and the status text that names them.
TEST(PdfOutput, FilesSitBesideTheDataFileNumberedPerJob) {
  const std::pair<std::pair<std::string, std::string>, std::string> defaults[] = {
      {{"/home/ann/tax/smith.qvx", "/home/ann/.local/share/Tallyvex"}, "/home/ann/tax/smith.pdf"},
      {{"/home/ann/tax/j.r. smith.QVX", "/data"}, "/home/ann/tax/j.r. smith.pdf"},
      {{"smith.qvx", "/data"}, "/data/smith.pdf"},  // no folder named: the fallback folder
      {{"", "/data"}, "/data/Tallyvex reports.pdf"},
  };
  for (const auto& [in, out] : defaults) EXPECT_EQ(DefaultPdfFile(in.first, in.second), out) << in.first;

  EXPECT_EQ(PdfFileForJob("/t/smith.pdf", 1), "/t/smith.pdf");
  EXPECT_EQ(PdfFileForJob("/t/smith.pdf", 2), "/t/smith-2.pdf");
  EXPECT_EQ(PdfFileForJob("/t/j.r. smith.pdf", 3), "/t/j.r. smith-3.pdf");
  EXPECT_EQ(PdfFileForJob("/t/out", 2), "/t/out-2.pdf");
}

TEST(PdfOutput, TheStatusNamesEveryFileWritten) {
  EXPECT_EQ(PrintedFilesStatus({}), "");
  EXPECT_EQ(PrintedFilesStatus({"/t/smith.pdf"}), "Reports written to /t/smith.pdf");
  EXPECT_EQ(PrintedFilesStatus({"/t/smith.pdf", "/t/smith-2.pdf"}),
            "Reports written to 2 files: /t/smith.pdf and smith-2.pdf");
  EXPECT_EQ(PrintedFilesStatus({"/t/a.pdf", "/t/a-2.pdf", "/t/a-3.pdf"}),
            "Reports written to 3 files: /t/a.pdf, a-2.pdf and a-3.pdf");
}

}  // namespace
}  // namespace tvx::test
