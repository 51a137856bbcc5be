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

namespace {

// Pieces of this size keep one small buffer warm and cost few writes: a
// short report touches no more fresh memory than its first piece.
constexpr std::size_t kPieceBytes = 16 * 1024;
// What the rows added after the piece is full may need, so that the buffer
// keeps its place.
constexpr std::size_t kPieceSlack = 4 * 1024;

}  // namespace

void ReportDestination::spill(std::string& running) {
  if (!toReportFile_ || running.size() < kPieceBytes) return;
  ctx_.reportFile->write(running);
  running.clear();
}

std::string ReportDestination::pieceBuffer() const {
  std::string buffer;
  if (toReportFile_) buffer.reserve(kPieceBytes + kPieceSlack);
  return buffer;
}

}  // namespace tvx
