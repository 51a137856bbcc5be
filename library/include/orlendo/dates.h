// Calendar days and date text.
//
// Date text is month/day/year: m/d/yyyy (one or two digits for month and
// day), m/d/yy (00-29 are 2000-2029, 30-99 are 1930-1999) and yyyy-mm-dd,
// with blanks allowed around it. Years run from 100 to 9999, and a text that
// names no real calendar day (02/30/2001) is not date text.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace orlendo {

using Date = std::chrono::year_month_day;

// The first day of the history and the default end of a calculation.
inline constexpr Date kHistoryStart{std::chrono::year{1983}, std::chrono::month{12}, std::chrono::day{31}};
inline constexpr Date kDefaultStop{std::chrono::year{2016}, std::chrono::month{12}, std::chrono::day{31}};

std::optional<Date> parseDate(std::string_view text) noexcept;
bool isDateText(std::string_view text) noexcept;
// Reads date text; a type mismatch error when the text is not date text.
Date readDate(std::string_view text);

std::string formatDate(Date d);       // "mm/dd/yyyy"
// The same text written at `out` (room for kDateTextMax characters); returns the end.
inline constexpr int kDateTextMax = 24;
char* formatDateTo(char* out, Date d);
std::string formatShortDate(Date d);  // "M/d/yyyy", the system's short date text
std::string formatSortKey(Date d);    // "yyyy/mm/dd"

Date nextDay(Date d) noexcept;
// Today's date in local time.
Date today();

}  // namespace orlendo
