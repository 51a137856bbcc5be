#include "reports/page_manager.h"

#include <limits>
#include <utility>

#include "core/printer.h"
#include "core/report_text.h"
#include "core/report_window.h"
#include "orlendo/error.h"
#include "reports/report_context.h"

namespace tvx {

namespace {

// The 16-bit counter arithmetic: an overflow is an error, never a wrap.
std::int16_t add16(long a, long b) {
  const long sum = a + b;
  if (sum > std::numeric_limits<std::int16_t>::max() || sum < std::numeric_limits<std::int16_t>::min())
    orlendo::raisePlatform(orlendo::errnum::Overflow);
  return static_cast<std::int16_t>(sum);
}

const std::string kMargin(kPageNumberColumn - 1, ' ');
const std::string kHeadingIndent(kHeadingColumn - 1, ' ');

}  // namespace

Printer& ReportPrinter(ReportContext& ctx) {
  if (!ctx.printer) throw orlendo::Error(orlendo::errnum::DeviceIO, "tvxdesk", "No printer is available.");
  return *ctx.printer;
}

std::string LineCountErrorText(std::int16_t lineCount) {
  return std::to_string(lineCount) + " lines passed to PrnManager2()." + " Please use between 1 and " + std::to_string(kMaxChunkLines);
}

std::string PrintOrDisplay(ReportContext& ctx, ReportWindow* reportBox, Destination destination, std::string text,
                           std::int16_t lineCount, std::string_view nameLine, std::string_view line2,
                           std::string_view title) {
  return Guarded(ctx.state, ctx.end, ErrorPath::report, "Reports.PrintOrDisplay", [&]() -> std::string {
    switch (destination) {
      case kDestScreen:
        if (!reportBox) throw orlendo::Error(orlendo::errnum::InvalidArgument, "tvxdesk", "No report window.");
        reportBox->appendText(text);
        return {};
      case kDestPrinter:
        PrnManager2(ctx, lineCount, nameLine, line2, title);
        ReportPrinter(ctx).print(text);
        return {};
      default:
        return std::move(text);
    }
  });
}

std::int16_t nLinesPerPage(ReportContext& ctx) {
  Printer& printer = ReportPrinter(ctx);
  try {
    printer.setFontName(ctx.state.FontName);
    printer.setFontSize(ctx.state.FontSize);
  } catch (const orlendo::Error& e) {
    // A report font the system lacks was already explained by SetNewFont,
    // which left the printer in its default font: count lines in that font
    // rather than end the program on the first printed chunk.
    if (e.number() != orlendo::errnum::InvalidPropertyValue) throw;
  }
  const long lineHeight = printer.textHeight("nLinesPerPage");
  if (lineHeight <= 0) throw orlendo::Error(11, "nLinesPerPage", "Division by zero");
  return add16(printer.pageHeight() / lineHeight, 0);
}

void PrintHeadings(ReportContext& ctx, std::string_view nameLine, std::string_view line2, std::string_view title) {
  Guarded(ctx.state, ctx.end, ErrorPath::fatal, "PrintHeadings", [&] {
    Printer& printer = ReportPrinter(ctx);
    for (int i = 0; i < 6; ++i) printer.print(kCrLf);
    printer.print(kHeadingIndent + std::string(nameLine) + std::string(kCrLf));
    printer.print(kHeadingIndent + std::string(line2) + std::string(kCrLf));
    printer.print(kHeadingIndent + std::string(title) + std::string(kCrLf));
    printer.print(kCrLf);
  });
}

void PrnPgNo(ReportContext& ctx, std::int16_t& counter) {
  Guarded(ctx.state, ctx.end, ErrorPath::fatal, "PrnPgNo()", [&] {
    Printer& printer = ReportPrinter(ctx);
    const long fill = static_cast<long>(nLinesPerPage(ctx)) - kBottomMargin - counter;
    for (long i = 0; i < fill; ++i) {
      printer.print(kCrLf);
      counter = add16(counter, 1);
    }
    // A positive number prints with the blank that stands in for its sign.
    printer.print(kMargin + "Page " + " " + std::to_string(printer.page()) + std::string(kCrLf));
    printer.newPage();
  });
}

std::int16_t PrnManager2(ReportContext& ctx, PageCommand command, std::string_view nameLine, std::string_view line2,
                         std::string_view title) {
  return PrnManager2(ctx, static_cast<std::int16_t>(command), nameLine, line2, title);
}

std::int16_t PrnManager2(ReportContext& ctx, std::int16_t lineCount, std::string_view nameLine,
                         std::string_view line2, std::string_view title) {
  return Guarded(ctx.state, ctx.end, ErrorPath::fatal, "PrnManager2()", [&]() -> std::int16_t {
    const std::int16_t linesPerPage = nLinesPerPage(ctx);
    std::int16_t& counter = ctx.program.pages.LineCounter;
    switch (lineCount) {
      case static_cast<std::int16_t>(PageCommand::Reset):
        counter = 0;
        return 1;
      case static_cast<std::int16_t>(PageCommand::NewPage):
        PrnPgNo(ctx, counter);
        PrintHeadings(ctx, nameLine, line2, title);
        counter = kHeadingLines;
        return 1;
      case static_cast<std::int16_t>(PageCommand::EndPage):
        PrnPgNo(ctx, counter);
        counter = 0;
        return 1;
      case static_cast<std::int16_t>(PageCommand::EndDoc):
        if (counter != 0) {
          PrnPgNo(ctx, counter);
          counter = 0;
        }
        ReportPrinter(ctx).endDoc();
        return 1;
      default:
        break;
    }
    if (lineCount < 1 || lineCount > kMaxChunkLines) {
      if (ctx.messages) ctx.messages->show("Error!", LineCountErrorText(lineCount), Icon::Stop, Buttons::Ok);
      return 2;
    }
    std::int16_t result = 2;
    if (counter == 0) {
      PrintHeadings(ctx, nameLine, line2, title);
      counter = kHeadingLines;
      result = 1;
    }
    if (static_cast<long>(counter) + lineCount >= static_cast<long>(linesPerPage) - kBottomMargin) {
      PrnPgNo(ctx, counter);
      PrintHeadings(ctx, nameLine, line2, title);
      counter = kHeadingLines;
      result = 1;
    }
    counter = add16(counter, lineCount);
    return result;
  });
}

}  // namespace tvx
