// A report run over no data: the investor of the run, or error 10005, and
// the notice the desktop shows for it.
#pragma once

namespace orlendo {
class Investor;
}

namespace tvx {

struct ReportContext;

// The investor of the run; error 10005 ("no data") when none is open.
const orlendo::Investor& ReportInvestor(ReportContext& ctx);
// The "Notice" for a report run over no data (not in batch mode). Call only
// inside a catch block; returns false when the error in flight is another one.
bool ShowNoDataNotice(ReportContext& ctx);
inline constexpr const char* kNoDataText =
    "No data was entered. Please either use menu choice File - New to enter new information or File - Open to "
    "retrieve data that was previously saved.";

}  // namespace tvx
