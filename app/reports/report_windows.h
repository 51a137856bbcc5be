// The report windows of a screen run.
#pragma once

#include <string_view>

namespace tvx {

struct ReportContext;
class ReportWindow;

// Creates a new report window of the run (hidden, empty) with `caption`.
ReportWindow& OpenReportWindow(ReportContext& ctx, std::string_view caption);

}  // namespace tvx
