#include "reports/no_data.h"

#include <string>

#include "orlendo/error.h"
#include "orlendo/model.h"
#include "reports/report_context.h"

namespace tvx {

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

}  // namespace tvx
