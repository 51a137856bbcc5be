// The program's command line: "/silent", "/input FILE.qvx", "/output FILE.txt",
// "/csv FILE.csv", "/sales FILE.csv" with "/taxyear YYYY" and "/method NAME",
// and "--help", "-h" or "/?" for the usage text.
//
// A switch counts only as a whole argument, in any letter case. The file
// name is the argument after the switch, in its original letters; when that
// argument does not end with the extension (any case), the following
// arguments are joined to it with single blanks up to the first one that
// does, so that a name with blanks typed without quotes still works. No
// argument ending with the extension (before the next switch) gives an
// empty name.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

inline constexpr std::string_view kSwitchSilent = "/silent";
inline constexpr std::string_view kSwitchInput = "/input";
inline constexpr std::string_view kSwitchOutput = "/output";
inline constexpr std::string_view kSwitchCsv = "/csv";
inline constexpr std::string_view kSwitchSales = "/sales";
inline constexpr std::string_view kSwitchTaxYear = "/taxyear";
inline constexpr std::string_view kSwitchMethod = "/method";
inline constexpr std::string_view kInputExtension = ".qvx";
inline constexpr std::string_view kOutputExtension = ".txt";
inline constexpr std::string_view kCsvExtension = ".csv";

// True when one argument is "/silent" in any letter case.
bool IsSilent(std::span<const std::string> args);

// True when one argument is "--help", "-h" or "/?".
bool IsHelpRequest(std::span<const std::string> args);

// The switches with what they do, and the exit statuses: what --help prints.
std::string UsageText();

// True when a desktop start can reach a display: QT_QPA_PLATFORM, DISPLAY
// or WAYLAND_DISPLAY set and not empty (null: not set).
bool DisplayAvailable(const char* qpaPlatform, const char* display, const char* waylandDisplay);

// What an interactive start without a display says before it ends.
std::string NoDisplayText();

// False when the display the variables name is on this machine and takes
// no connection (an X server's socket, a Wayland compositor's socket): the
// toolkit would abort on it. A display on another host, or a form not
// known here, counts as reachable (the toolkit decides).
bool DisplayReachable(const char* display, const char* waylandDisplay, const char* runtimeDir);

// What an interactive start says when its display cannot be reached.
std::string UnreachableDisplayText(const char* display, const char* waylandDisplay);

// True when one argument is `switchName` in any letter case.
bool HasSwitch(std::span<const std::string> args, std::string_view switchName);

// The file name after `switchName`, ending with `extension`; empty when the
// switch or such a name is missing.
std::string GetCommandLineFilename(std::span<const std::string> args, std::string_view extension,
                                   std::string_view switchName);

// The argument after `switchName` ("" when none follows); none when the
// switch is absent.
std::optional<std::string> GetSwitchValue(std::span<const std::string> args, std::string_view switchName);

// The arguments of main without the program name.
std::vector<std::string> argumentList(int argc, char** argv);

}  // namespace tvx
