// Report destinations and printed pages: PrintOrDisplay hands each chunk of
// report text to the screen, the printer or the batch file; the page
// manager PrnManager2 keeps the line count of the printed page, prints the
// page headings and page numbers and ends print jobs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvx {

struct ReportContext;
class Printer;
class ReportWindow;

// Where a report goes.
enum class Destination : std::int16_t { Screen = 1, Printer = 2, File = 3 };
inline constexpr Destination kDestScreen = Destination::Screen;
inline constexpr Destination kDestPrinter = Destination::Printer;
inline constexpr Destination kDestFile = Destination::File;
// Whatever is not the screen or the printer goes to the output file.
constexpr bool toFile(Destination d) { return d != kDestScreen && d != kDestPrinter; }

// What the page manager is told instead of a line count. The numbers are the
// codes a line count of that value has always meant.
enum class PageCommand : std::int16_t { Reset = -400, NewPage = -300, EndPage = -200, EndDoc = -100 };
inline constexpr PageCommand kPmReset = PageCommand::Reset;
inline constexpr PageCommand kPmNewPage = PageCommand::NewPage;
inline constexpr PageCommand kPmEndPage = PageCommand::EndPage;
inline constexpr PageCommand kPmEndDoc = PageCommand::EndDoc;

// Layout constants of the printed page.
inline constexpr std::int16_t kHeadingLines = 13;  // the headings count as 13 lines (10 are printed)
inline constexpr std::int16_t kBottomMargin = 6;
inline constexpr std::int16_t kMaxChunkLines = 40;
inline constexpr int kHeadingColumn = 10;
inline constexpr int kPageNumberColumn = 3;

// The page manager's state for the whole run of the program.
struct PageManager {
  std::int16_t LineCounter = 0;  // lines counted on the current printed page; 0: no page started
};

// Delivers one chunk: destination 1 appends it to `reportBox` and returns
// "", 2 passes it through the page manager to the printer and returns "",
// any other returns `text` unchanged for the builder to write to the file.
std::string PrintOrDisplay(ReportContext& ctx, ReportWindow* reportBox, Destination destination, std::string text,
                           std::int16_t lineCount, std::string_view nameLine, std::string_view line2,
                           std::string_view title);

// A line count (1..40) or a command code. Returns 1 when it printed
// headings or handled a command, 2 otherwise. Counts outside 1..40 show the
// "Error!" box and are ignored.
std::int16_t PrnManager2(ReportContext& ctx, std::int16_t lineCount, std::string_view nameLine,
                         std::string_view line2, std::string_view title);
std::int16_t PrnManager2(ReportContext& ctx, PageCommand command, std::string_view nameLine, std::string_view line2,
                         std::string_view title);
// Fills the page with empty lines up to the bottom margin, prints "Page "
// and the page number at column 3, and starts a new page.
void PrnPgNo(ReportContext& ctx, std::int16_t& counter);
// Six empty lines, the three heading texts at column 10, one empty line.
void PrintHeadings(ReportContext& ctx, std::string_view nameLine, std::string_view line2, std::string_view title);
// Sets the report font on the printer and returns page height / line height.
std::int16_t nLinesPerPage(ReportContext& ctx);
// The run's printer; a device error when there is none.
Printer& ReportPrinter(ReportContext& ctx);

// The "Error!" text for a line count outside 1..40.
std::string LineCountErrorText(std::int16_t lineCount);

}  // namespace tvx
