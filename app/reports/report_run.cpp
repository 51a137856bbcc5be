#include "reports/report_run.h"

#include "core/report_text.h"
#include "core/report_window.h"
#include "reports/printer_fonts.h"
#include "reports/report_windows.h"

namespace tvx {

ReportDestination::ReportDestination(ReportContext& ctx, Destination destination, std::string_view caption,
                                     ReportFont font)
    : ctx_(ctx), destination_(destination),
      toReportFile_(toFile(destination) && ctx.reportFile) {
  if (destination == kDestScreen) {
    window_ = &OpenReportWindow(ctx, caption);
  } else if (destination == kDestPrinter && (font == ReportFont::always || !ctx.state.Silent)) {
    SetNewFont(ctx, ctx.state.FontName, ctx.state.FontSize, false, fontRecord_);
    fontSet_ = true;
  }
}

std::string ScreenHeading(std::string_view nameLine, std::string_view line2, std::string_view title) {
  std::string out;
  for (const std::string_view text : {nameLine, line2, title}) {
    out += "  ";
    out += text;
    out += kCrLf;
  }
  return out;
}

void ReportDestination::finish(std::string running, std::string_view nameLine, std::string_view line2,
                               std::string_view title) {
  if (destination_ == kDestScreen) {
    window_->show();
  } else if (destination_ == kDestPrinter) {
    PrnManager2(ctx_, kPmEndPage, nameLine, line2, title);
    if (fontSet_) SetOldFont(ctx_, fontRecord_);
  } else {
    running += kCrLf;
    if (toReportFile_) ctx_.reportFile->write(running);
    else appendToFile(ctx_.state.OutputFile, running);
  }
}

void ReportDestination::spill(std::string& running) {
  // Pieces of this size keep one small buffer warm and cost few writes.
  constexpr std::size_t kPieceBytes = 64 * 1024;
  if (!toReportFile_ || running.size() < kPieceBytes) return;
  ctx_.reportFile->write(running);
  running.clear();
}

}  // namespace tvx
