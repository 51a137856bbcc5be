#include "reports/printer_fonts.h"

#include <string_view>

#include "core/error_logger.h"
#include "core/printer.h"
#include "core/report_text.h"
#include "orlendo/error.h"
#include "reports/page_manager.h"
#include "reports/report_context.h"

namespace tvx {

namespace {

// The explanations of a missing font.
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

}  // namespace

void SetNewFont(ReportContext& ctx, std::string fontName, float fontSize, bool bold, FontRecord& fontRecord) {
  Guarded(ctx.state, ctx.end, ErrorPath::fatal, "SetNewFont()", [&] {
    Printer& printer = ReportPrinter(ctx);
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
    Printer& printer = ReportPrinter(ctx);
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
