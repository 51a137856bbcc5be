#include "reports/report_windows.h"

#include "core/report_window.h"
#include "orlendo/error.h"
#include "reports/report_context.h"

namespace tvx {

ReportWindow& OpenReportWindow(ReportContext& ctx, std::string_view caption) {
  if (!ctx.windows) throw orlendo::Error(orlendo::errnum::InvalidArgument, "tvxdesk", "No report window.");
  ReportWindow& window = ctx.windows->create();
  window.setCaption(caption);
  window.setText("");
  return window;
}

}  // namespace tvx
