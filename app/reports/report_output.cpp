#include "reports/report_output.h"

#include <limits>
#include <optional>
#include <vector>
#include <string>

#include "core/files.h"
#include "core/report_text.h"
#include "orlendo/dates.h"
#include "orlendo/entries.h"
#include "orlendo/model.h"
#include "orlendo/profile_file.h"
#include "orlendo/sales.h"
#include "reports/detailed_report.h"
#include "reports/input_report.h"
#include "reports/no_data.h"
#include "reports/page_manager.h"
#include "reports/printer_fonts.h"
#include "reports/report_context.h"
#include "reports/sales_report.h"
#include "reports/summary_report.h"

namespace tvx {

namespace {

std::int16_t toFlag(long value) {
  if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) return 0;
  return static_cast<std::int16_t>(value);
}

// Points the run's file reports at one append for the scope's lifetime.
class ReportFileScope {
 public:
  ReportFileScope(ReportContext& ctx, FileAppend* file) : ctx_(ctx), previous_(ctx.reportFile) {
    ctx_.reportFile = file;
  }
  ~ReportFileScope() { ctx_.reportFile = previous_; }
  ReportFileScope(const ReportFileScope&) = delete;
  ReportFileScope& operator=(const ReportFileScope&) = delete;

 private:
  ReportContext& ctx_;
  FileAppend* previous_;
};

}  // namespace

void RouteOutput(ReportContext& ctx, Destination destination) {
  Guarded(ctx.state, ctx.end, ErrorPath::show, "Reports.RouteOutput", [&] { RunReports(ctx, destination); });
}

void RunReports(ReportContext& ctx, Destination destination) {
  AppState& state = ctx.state;
  bool busyOn = false;
  ctx.fontAsked = false;
  ctx.detailOptionAsked = false;
  Guarded([&] {
    // 1. The choice of reports (the batch run has made it already).
    if (!state.Silent) GetReports(ctx, destination);
    // 2. Nothing chosen, nothing produced.
    if (state.RptInput != 1 && state.RptSummary != 1 && state.RptDetail != 1 && state.RptSales != 1) return;
    // 3. The calculation, only for the reports that show results; the Sales
    // report's lots are walked along it.
    if (state.RptSummary == 1 || state.RptDetail == 1 || state.RptSales == 1)
      CalculateInvestor(ctx, state.RptSales == 1);
    // 4. Copies and the report font.
    int copies = 1;
    FontRecord fontRecord;
    if (destination == kDestPrinter) {
      copies = GetCopies(ctx);
      SetNewFont(ctx, state.FontName, state.FontSize, false, fontRecord);
    }
    // 5, 6. The busy pointer, and the menu given a chance to close.
    if (!state.Silent && ctx.busy) {
      ctx.busy->begin();
      busyOn = true;
    }
    for (int i = 0; i < 2; ++i)
      if (ctx.processEvents) ctx.processEvents();

    // 7. The reports in their order, once per copy. File reports go to the
    // output file as they are made, in one append that is kept only when
    // every report (and what runs before the file is kept) succeeded.
    std::optional<FileAppend> file;
    if (toFile(destination)) file.emplace(state.OutputFile);
    {
      ReportFileScope scope(ctx, file ? &*file : nullptr);
      for (; copies > 0; --copies) {
        if (destination == kDestPrinter) {
          if (state.RptInput == 1) RunIPReport(ctx, kDestPrinter);
          if (state.RptSummary == 1) RunSummReport(ctx, kDestPrinter);
          if (state.RptDetail == 1) RunDetailReport(ctx, kDestPrinter);
          if (state.RptSales == 1) RunSalesReport(ctx, kDestPrinter);
          PrnManager2(ctx, kPmEndDoc, "", "", "");
        } else {
          if (state.RptDetail == 1) RunDetailReport(ctx, destination);
          if (state.RptSummary == 1) RunSummReport(ctx, destination);
          if (state.RptInput == 1) RunIPReport(ctx, destination);
          if (state.RptSales == 1) RunSalesReport(ctx, destination);
        }
      }
    }
    if (file) {
      // The replaced files are written while the signals wait, so that the
      // run keeps every file or none (CommitTogether).
      SignalsHeld held;
      std::vector<orlendo::StagedFile> replaced;
      if (ctx.stageFiles) ctx.stageFiles(replaced);
      CommitTogether(&*file, replaced);
    }

    // 8. The pointer back.
    if (busyOn) {
      busyOn = false;
      ctx.busy->end();
    }
    // 9. The printer font back.
    if (destination == kDestPrinter) SetOldFont(ctx, fontRecord);
  }, [&] {
    try {
      throw;
    } catch (const orlendo::EntryError& e) {
      ShowEntryFault(ctx, e, "No report was made.");
      return;
    } catch (...) {
    }
    if (busyOn) {
      try {
        ctx.busy->end();
      } catch (...) {
      }
    }
    if (ShowNoDataNotice(ctx)) return;
    TakeErrorPath(state, ctx.end, ErrorPath::fatal, "RunReports");
  });
}

void ShowEntryFault(ReportContext& ctx, const orlendo::EntryError& e, std::string_view consequence) {
  if (ctx.messages)
    ctx.messages->show("WARNING", EntryFaultText(ctx.state.CurrentFile, e.fault()) + "\n" + std::string(consequence),
                       Icon::Exclamation, Buttons::Ok);
  if (ctx.state.Silent) EndProgram(ctx.state, ctx.end, false, kExitError);
}

void CalculateInvestor(ReportContext& ctx, bool withLots) {
  ReportInvestor(ctx);  // no investor: no data
  orlendo::Investor& investor = *ctx.state.Investor;
  const orlendo::Date start = orlendo::readDate(investor.StartCalc());
  const orlendo::Date stop = orlendo::readDate(investor.StopCalc());
  if (withLots || ctx.recordLots) ctx.lots = orlendo::calculateWithLots(investor, start, stop, ctx.progress);
  else investor.Calculate(start, stop, ctx.progress);
}

bool CalculateOrShowFault(ReportContext& ctx, bool withLots, std::string_view consequence) {
  try {
    CalculateInvestor(ctx, withLots);
    return true;
  } catch (const orlendo::EntryError& e) {
    ShowEntryFault(ctx, e, consequence);
    return false;
  }
}

void GetReports(ReportContext& ctx, Destination destination) {
  AppState& state = ctx.state;
  Guarded(state, ctx.end, ErrorPath::fatal, "GetReports", [&] {
    const std::string caption = destination == kDestScreen ? "Select Reports (View)" : "Select Reports (Print)";
    if (ctx.settings) {
      state.RptInput = toFlag(ctx.settings->readInt(kPrefsSection, kKeyInputReport, 1));
      state.RptSummary = toFlag(ctx.settings->readInt(kPrefsSection, kKeySummaryReport, 1));
      state.RptDetail = toFlag(ctx.settings->readInt(kPrefsSection, kKeyDetailedReport, 1));
      state.RptSales = toFlag(ctx.settings->readInt(kPrefsSection, kKeySalesReport, 0));
    } else {
      state.RptInput = state.RptSummary = state.RptDetail = 1;
      state.RptSales = 0;
    }
    ReportChoices preset;
    preset.input = state.RptInput == 1;
    preset.summary = state.RptSummary == 1;
    preset.detail = state.RptDetail == 1;
    preset.sales = state.RptSales == 1;
    preset.taxYear = SalesYearOf(state);
    preset.method = state.SalesMethod;
    if (state.Investor) {
      if (const auto start = orlendo::parseDate(state.Investor->StartCalc()))
        preset.firstYear = static_cast<int>(start->year());
      if (const auto stop = orlendo::parseDate(state.Investor->StopCalc()))
        preset.lastYear = static_cast<int>(stop->year());
      if (preset.lastYear < preset.firstYear) preset.lastYear = preset.firstYear;
    }
    std::optional<ReportChoices> chosen;
    if (ctx.choices) chosen = ctx.choices->ask(caption, preset);
    if (chosen) {
      state.RptInput = chosen->input ? 1 : 0;
      state.RptSummary = chosen->summary ? 1 : 0;
      state.RptDetail = chosen->detail ? 1 : 0;
      state.RptSales = chosen->sales ? 1 : 0;
      state.SalesTaxYear = chosen->taxYear ? *chosen->taxYear : kSalesAllYears;
      state.SalesMethod = chosen->method;
    } else {
      state.RptInput = state.RptSummary = state.RptDetail = state.RptSales = 0;
    }
    // An empty choice (Cancel, or nothing ticked) produces nothing and is not
    // remembered: the next dialog offers the last real choice.
    if (ctx.settings && (state.RptInput == 1 || state.RptSummary == 1 || state.RptDetail == 1 ||
                         state.RptSales == 1)) {
      ctx.settings->writeText(kPrefsSection, kKeyInputReport, std::to_string(state.RptInput));
      ctx.settings->writeText(kPrefsSection, kKeySummaryReport, std::to_string(state.RptSummary));
      ctx.settings->writeText(kPrefsSection, kKeyDetailedReport, std::to_string(state.RptDetail));
      ctx.settings->writeText(kPrefsSection, kKeySalesReport, std::to_string(state.RptSales));
    }
  });
}

std::int16_t GetCopies(ReportContext& ctx) {
  return Guarded(ctx.state, ctx.end, ErrorPath::fatal, "GetCopies", [&]() -> std::int16_t {
    if (!ctx.printDialog) return 0;
    const int copies = ctx.printDialog->askCopies("Print Reports");
    if (copies <= 0) return 0;
    return copies > std::numeric_limits<std::int16_t>::max() ? std::numeric_limits<std::int16_t>::max()
                                                             : static_cast<std::int16_t>(copies);
  });
}

}  // namespace tvx
