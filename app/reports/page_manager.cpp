#include "reports/page_manager.h"

#include <limits>
#include <utility>

#include "core/error_logger.h"
#include "core/printer.h"
#include "core/report_text.h"
#include "core/report_window.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
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

Printer& printerOf(ReportContext& ctx) {
  if (!ctx.printer) throw orlendo::Error(orlendo::errnum::DeviceIO, "tvxdesk", "No printer is available.");
  return *ctx.printer;
}

const std::string kMargin(kPageNumberColumn - 1, ' ');
const std::string kHeadingIndent(kHeadingColumn - 1, ' ');

}  // namespace

std::string LineCountErrorText(std::int16_t lineCount) {
  return std::to_string(lineCount) + " lines passed to PrnManager2()." + " Please use between 1 and " + std::to_string(kMaxChunkLines);
}

std::string MissingReportFontText(std::string_view fontName, float fontSize) {
  return "This program requires the " + std::string(fontName) + " (" + pointSizeText(fontSize) + " point) " +
         "font, which is not available on this system. Please install " +
         "this font. The program will use the default font for this " +
         "system. Report formatting may be affected. As an " + "alternative, the program will let you select a font.";
}

std::string MissingSavedFontText(std::string_view fontName, float fontSize) {
  return "The " + std::string(fontName) + " (" + pointSizeText(fontSize) + " point) font, could not be located. " +
         "The program will use the default font. " + "Report formatting may be affected.";
}

const orlendo::Investor& ReportInvestor(ReportContext& ctx) {
  if (!ctx.state.Investor)
    throw orlendo::Error(orlendo::errnum::NoData, "tvxdesk", std::string(orlendo::kProductDescription));
  return *ctx.state.Investor;
}

bool ShowNoDataNotice(ReportContext& ctx) {
  try {
    throw;
  } catch (const orlendo::Error& e) {
    if (e.number() != orlendo::errnum::NoData || ctx.state.Silent) return false;
  } catch (...) {
    return false;
  }
  if (ctx.messages) ctx.messages->show("Notice", kNoDataText, Icon::Exclamation, Buttons::Ok);
  return true;
}

ReportWindow& OpenReportWindow(ReportContext& ctx, std::string_view caption) {
  if (!ctx.windows) throw orlendo::Error(orlendo::errnum::InvalidArgument, "tvxdesk", "No report window.");
  ReportWindow& window = ctx.windows->create();
  window.setCaption(caption);
  window.setText("");
  return window;
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
        printerOf(ctx).print(text);
        return {};
      default:
        return std::move(text);
    }
  });
}

std::int16_t nLinesPerPage(ReportContext& ctx) {
  Printer& printer = printerOf(ctx);
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
    Printer& printer = printerOf(ctx);
    for (int i = 0; i < 6; ++i) printer.print(kCrLf);
    printer.print(kHeadingIndent + std::string(nameLine) + std::string(kCrLf));
    printer.print(kHeadingIndent + std::string(line2) + std::string(kCrLf));
    printer.print(kHeadingIndent + std::string(title) + std::string(kCrLf));
    printer.print(kCrLf);
  });
}

void PrnPgNo(ReportContext& ctx, std::int16_t& counter) {
  Guarded(ctx.state, ctx.end, ErrorPath::fatal, "PrnPgNo()", [&] {
    Printer& printer = printerOf(ctx);
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
        printerOf(ctx).endDoc();
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

void SetNewFont(ReportContext& ctx, std::string fontName, float fontSize, bool bold, FontRecord& fontRecord) {
  Guarded(ctx.state, ctx.end, ErrorPath::fatal, "SetNewFont()", [&] {
    Printer& printer = printerOf(ctx);
    fontRecord = FontRecord{printer.fontName(), printer.fontSize(), printer.fontBold()};
    for (;;) {
      try {
        printer.setFontName(fontName);
        printer.setFontSize(fontSize);
        printer.setFontBold(bold);
        return;
      } catch (const orlendo::Error& e) {
        if (e.number() != orlendo::errnum::InvalidPropertyValue) throw;
      }
      // The number stays in the log; the boxes speak of the font only.
      appendErrorLogEntry(ctx.state.ErrLogFile, currentLogTimestamp(), orlendo::errnum::InvalidPropertyValue,
                          "The report font " + fontName + " is not available", "Reports.SetNewFont");
      // Asked once per run: the other reports and copies print in the default font.
      if (ctx.fontAsked) return;
      ctx.fontAsked = true;
      const std::string message = MissingReportFontText(fontName, fontSize);
      if (ctx.showErrorInfo) ctx.state.HideError380 = ctx.showErrorInfo(message, ctx.state.HideError380);
      if (!ctx.getFonts) return;  // no font dialog: the printer keeps its default font
      ctx.getFonts();
      // A dialog left without a new choice would ask forever: keep the default font.
      if (ctx.state.FontName == fontName && ctx.state.FontSize == fontSize) return;
      fontName = ctx.state.FontName;
      fontSize = ctx.state.FontSize;
      bold = false;
    }
  });
}

void SetOldFont(ReportContext& ctx, const FontRecord& fontRecord) {
  Guarded(ctx.state, ctx.end, ErrorPath::fatal, "SetOldFont()", [&] {
    if (fontRecord.name.empty()) return;  // nothing was saved
    Printer& printer = printerOf(ctx);
    try {
      printer.setFontName(fontRecord.name);
      printer.setFontSize(fontRecord.size);
      printer.setFontBold(fontRecord.bold);
    } catch (const orlendo::Error& e) {
      if (e.number() != orlendo::errnum::InvalidPropertyValue) throw;
      const std::string message = MissingSavedFontText(fontRecord.name, fontRecord.size);
      if (ctx.showErrorInfo) ctx.state.HideError380 = ctx.showErrorInfo(message, ctx.state.HideError380);
    }
  });
}

}  // namespace tvx
