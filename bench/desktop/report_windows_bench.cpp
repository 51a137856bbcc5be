// View, Reports timed as the desktop runs it, with no display
// (QT_QPA_PLATFORM=offscreen): the calculation under its progress window,
// the Detailed and Summary reports built into their windows, the windows
// shown with their text set and drawn once (the turn of the event loop
// inside the timing paints them).
//   report_windows_bench FILE.qvx [RUNS]
// Prints the fastest run in milliseconds. bench/report_windows.sh sets it
// against the batch run on the same file.
#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "qt/progress_dialog.h"
#include "qt/report_form.h"
#include "reports/report_output.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::cerr << "usage: report_windows_bench FILE.qvx [RUNS]\n";
    return 2;
  }
  const std::string file = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  qint64 best = -1;
  for (int run = 0; run < runs; ++run) {
    tvx::test::ReportHarness h;
    h.state.Investor = orlendo::Investor::create();
    h.state.Investor->LoadFile(file);
    h.state.CurrentFile = file;
    h.choices.answer = tvx::ReportChoices{};
    h.choices.answer->input = false;  // what the batch run writes: Summary and Detailed
    std::vector<QWidget*> windows;
    tvx::qt::ReportFormFactory factory({}, [&](QWidget* w) { windows.push_back(w); });
    tvx::qt::ProgressDialog progress;
    h.ctx.windows = &factory;
    h.ctx.progress = &progress;
    h.ctx.processEvents = [] { QCoreApplication::processEvents(); };

    QElapsedTimer timer;
    timer.start();
    tvx::RouteOutput(h.ctx, tvx::kDestScreen);
    QCoreApplication::processEvents();
    const qint64 ms = timer.elapsed();
    if (windows.size() != 2) {
      std::cerr << "report_windows_bench: " << windows.size() << " windows instead of 2\n";
      return 1;
    }
    for (QWidget* w : windows)
      if (!w->isVisible() || static_cast<tvx::qt::ReportForm*>(w)->text().empty()) {
        std::cerr << "report_windows_bench: a report window is hidden or empty\n";
        return 1;
      }
    best = best < 0 ? ms : std::min(best, ms);
    for (QWidget* w : windows) delete w;
  }
  std::cout << best << '\n';
  return 0;
}
