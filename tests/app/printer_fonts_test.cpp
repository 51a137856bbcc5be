#include "reports/printer_fonts.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

// The printer font given back after a run is checked with the Summary's printed pages.
TEST(ReportFont, AMissingFontIsExplainedOnceAndTheChosenFontTakenNotBold) {
  ReportHarness h;
  std::vector<std::pair<std::string, bool>> explained;
  int dialogs = 0;
  h.ctx.showErrorInfo = [&](std::string_view message, bool hide) {
    explained.emplace_back(std::string(message), hide);
    return true;  // "don't show this message again"
  };
  h.ctx.getFonts = [&] {
    ++dialogs;
    h.state.FontName = "Courier New";
    h.state.FontSize = 11;
  };
  FontRecord record;
  SetNewFont(h.ctx, "Missing Mono", 10.5f, true, record);
  ASSERT_EQ(explained.size(), 1u);
  EXPECT_EQ(explained[0].first,
            "This program requires the Missing Mono (10.5 point) font, which is not available on this system. "
            "Please install this font. The program will use the default font for this system. Report formatting "
            "may be affected. As an alternative, the program will let you select a font.");
  EXPECT_FALSE(explained[0].second);
  EXPECT_TRUE(h.state.HideError380);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(h.printer.fontName(), "Courier New");
  EXPECT_EQ(h.printer.fontSize(), 11.0f);
  EXPECT_FALSE(h.printer.fontBold());
  SetNewFont(h.ctx, "Missing Mono", 10.5f, true, record);  // the run's next report: asked once per run
  EXPECT_EQ(explained.size(), 1u);
  EXPECT_EQ(dialogs, 1);
}

}  // namespace
}  // namespace tvx::test
