// The program-wide record every procedure of the program works on.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "orlendo/model.h"
#include "orlendo/sales.h"

namespace tvx {

class ErrorLogger;

struct AppState {
  orlendo::InvestorPtr Investor;
  std::shared_ptr<tvx::ErrorLogger> ErrorLogger;
  std::string VersionTag;  // "QVX" + major + "." + minor
  bool Silent = false;     // batch mode
  std::string CurrentFile;
  std::string OutputFile;
  std::string CsvFile;     // batch: the CSV export of every transaction
  std::string SalesFile;   // batch: the sales of a tax year (CSV)
  std::string ErrLogFile;  // empty in batch mode
  bool DataSaved = false;
  std::int16_t StartChoice = 0;  // 0 main window, 1 new scenario, 2 old scenario
  std::int16_t RptInput = 0;
  std::int16_t RptSummary = 0;
  std::int16_t RptDetail = 0;
  std::int16_t RptSales = 0;
  // The Sales report's and export's tax year: kSalesStopYear (the stop
  // date's year), kSalesAllYears, or the year itself; and its method.
  int SalesTaxYear = 0;
  orlendo::LotMethod SalesMethod = orlendo::LotMethod::fifo;
  std::string IniFile;
  std::string DataPath;
  bool HideError380 = false;
  std::string FontName;
  float FontSize = 0;
  std::string PrnFontName;
  float PrnFontSize = 0;
  bool PrnFontBold = false;
  std::array<std::string, 5> MruFiles;
  // The open investor came from New and was never saved: CurrentFile is the
  // untitled name, which may belong to another investor's file.
  bool Untitled = false;
};

inline constexpr int kSalesStopYear = 0;
inline constexpr int kSalesAllYears = -1;
// The tax year the state asks for: none for every year; the stop date's
// year by default (none when there is no investor or no stop date).
std::optional<int> SalesYearOf(const AppState& state);

// The program's own version: major is the tax year the history was brought up to.
inline constexpr int kVersionMajor = 2017;
inline constexpr int kVersionMinor = 10;
std::string makeVersionTag();  // "QVX2017.10"

// The program's file description, used in error messages.
inline constexpr const char* kFileDescription = "Tallyvex";

}  // namespace tvx
