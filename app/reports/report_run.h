// What the three report builders share around their own text: the
// destination made ready before the text and finished after it, and the way
// a failed run is reported.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "reports/page_manager.h"
#include "reports/printer_fonts.h"
#include "reports/no_data.h"
#include "reports/report_context.h"

namespace tvx {

class ReportWindow;

// When a printed report switches to the report font.
enum class ReportFont { unlessSilent, always };

// The destination of one report run.
class ReportDestination {
 public:
  // Screen: opens a new report window captioned `caption`. Printer: switches
  // to the report font of the settings (with ReportFont::unlessSilent, not in
  // batch mode). File: nothing to make ready.
  ReportDestination(ReportContext& ctx, Destination destination, std::string_view caption, ReportFont font);

  // The report window of a screen run; null for the other destinations.
  ReportWindow* window() const { return window_; }

  // Screen: shows the window. Printer: ends the printed page (headed by
  // nameLine, line2 and title) and puts back the font it had before. File:
  // ends `running` with a line end and adds it to the run's report file, or
  // else appends it to the output file.
  void finish(std::string running, std::string_view nameLine, std::string_view line2, std::string_view title);

  // File, within a run's report file: once `running` holds a good piece of
  // text, sends it on to the file and empties it, so that a long report never
  // sits in memory whole. Elsewhere: nothing.
  void spill(std::string& running);

  // The text buffer to build the report in: within a run's report file, one
  // with room for a piece and the rows that end it, so that it is never
  // copied to a larger one on the way; elsewhere an empty string.
  std::string pieceBuffer() const;

 private:
  ReportContext& ctx_;
  Destination destination_;
  ReportWindow* window_ = nullptr;
  bool toReportFile_ = false;
  FontRecord fontRecord_;
  bool fontSet_ = false;
};

// The three heading texts as a report window shows them at its top, each
// indented two blanks and ended with a line end.
std::string ScreenHeading(std::string_view nameLine, std::string_view line2, std::string_view title);

// What a failed run over no data shows.
enum class NoDataRun { notice, error };

// Runs a report builder. A failure lets ProgramEnded through; any other is
// shown as the error at `where` (which ends the program), except that with
// NoDataRun::notice a run over no data only shows the no-data Notice.
template <class Build>
void RunReportGuarded(ReportContext& ctx, std::string_view where, NoDataRun noData, Build&& build) {
  Guarded(std::forward<Build>(build), [&] {
    if (noData == NoDataRun::notice && ShowNoDataNotice(ctx)) return;
    ReportCaughtError(ctx.state, ctx.end, where);
  });
}

}  // namespace tvx
