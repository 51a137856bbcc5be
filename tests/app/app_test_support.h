// Test doubles, folders and investors for the app and widget tests: the
// report context's ports, then the file commands' and the start-up's.
#pragma once

#include <stdlib.h>

#include <array>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>

#include "file_bytes.h"
#include "core/error_logger.h"
#include "core/error_paths.h"
#include "core/ports.h"
#include "core/printer.h"
#include "core/report_window.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "reports/report_context.h"
#include "shell/file_commands.h"
#include "shell/settings.h"

namespace tvx::test {

using test_files::readBytes;
using test_files::writeBytes;

// A fresh folder, removed at the end; the test runs with it as the current
// folder, so a save's backup copy lands there.
class TempFolder {
 public:
  TempFolder() : old_(std::filesystem::current_path()) {
    path_ = (std::filesystem::temp_directory_path() / "tvxshell-XXXXXX").string();
    std::filesystem::current_path(::mkdtemp(path_.data()));
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  std::string write(const std::string& name, const std::string& content) const {
    writeBytes(file(name), content);
    return file(name);
  }

 private:
  std::filesystem::path old_;
  std::string path_;
};

inline std::string sp(std::size_t n) { return std::string(n, ' '); }

// The lines, each ended with CR LF.
inline std::string crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

inline std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline std::vector<std::string> blankLines(int n) { return std::vector<std::string>(static_cast<std::size_t>(n)); }

// The ten printed heading lines of a page: six empty, three at column 10, one empty.
inline std::vector<std::string> pageHeadings(const std::string& name, const std::string& line2,
                                             const std::string& title) {
  return {"", "", "", "", "", "", sp(9) + name, sp(9) + line2, sp(9) + title, ""};
}

// Records what the reports print, page by page and job by job, with a fixed
// number of ten-unit lines per page; knows only two fonts.
class RecordingPrinter final : public Printer {
 public:
  explicit RecordingPrinter(int linesPerPage = 66) : linesPerPage_(linesPerPage) {}
  void setFontName(std::string_view name) override {
    if (name != "Courier New" && name != "Printer Default")
      throw orlendo::Error(orlendo::errnum::InvalidPropertyValue, "Printer", "Invalid property value");
    fontName_ = name;
  }
  std::string fontName() const override { return fontName_; }
  void setFontSize(float points) override { fontSize_ = points; }
  float fontSize() const override { return fontSize_; }
  void setFontBold(bool bold) override { bold_ = bold; }
  bool fontBold() const override { return bold_; }
  long pageHeight() const override { return linesPerPage_ * 10L; }
  long textHeight(std::string_view) const override { return 10; }
  void print(std::string_view text) override {
    if (text.empty()) return;
    if (current_.empty() || pageEnded_) current_.emplace_back();
    pageEnded_ = false;
    current_.back() += text;
  }
  int page() const override { return static_cast<int>(current_.size()) + (current_.empty() || pageEnded_ ? 1 : 0); }
  void newPage() override {
    if (current_.empty()) current_.emplace_back();  // an empty first page still counts
    pageEnded_ = true;
  }
  void endDoc() override {
    jobs.push_back(std::exchange(current_, {}));
    pageEnded_ = false;
  }
  const std::vector<std::string>& openPages() const { return current_; }  // of the job still open

  std::vector<std::vector<std::string>> jobs;  // ended print jobs, page by page

 private:
  int linesPerPage_;
  std::string fontName_ = "Printer Default";
  float fontSize_ = 12;
  bool bold_ = true;
  std::vector<std::string> current_;
  bool pageEnded_ = false;
};

struct ShownMessage {
  std::string title, text;
  Icon icon;
  Buttons buttons;
};

// Records every box; answers questions in turn (No when the script is
// exhausted); Ok boxes always answer Ok.
class ScriptedMessageBox final : public MessageBox {
 public:
  std::deque<Answer> answers;
  std::vector<ShownMessage> shown;
  Answer show(std::string_view title, std::string_view text, Icon icon, Buttons buttons) override {
    shown.push_back({std::string(title), std::string(text), icon, buttons});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (answers.empty()) return Answer::No;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
};

struct FakeWindow final : ReportWindow {
  std::string caption, body;
  void setCaption(std::string_view c) override { caption = c; }
  void setText(std::string_view t) override { body = t; }
  void appendText(std::string_view t) override { body += t; }
  std::string text() const override { return body; }
  void show() override {}
};

struct FakeWindows final : ReportWindowFactory {
  std::vector<std::unique_ptr<FakeWindow>> made;
  ReportWindow& create() override { return *made.emplace_back(std::make_unique<FakeWindow>()); }
};

struct FakeSettings final : SettingsStore {
  std::map<std::string, std::string> values;  // "section/key" -> value
  std::string readText(std::string_view s, std::string_view k, std::string_view def) override {
    const auto it = values.find(std::string(s) + "/" + std::string(k));
    return it == values.end() ? std::string(def) : it->second;
  }
  long readInt(std::string_view s, std::string_view k, long def) override {
    const std::string v = readText(s, k, "");
    return v.empty() ? def : std::stol(v);
  }
  void writeText(std::string_view s, std::string_view k, std::string_view v) override {
    values[std::string(s) + "/" + std::string(k)] = v;
  }
};

struct FakeChoiceDialog final : ChoiceDialog {
  std::optional<ReportChoices> answer = ReportChoices{};
  std::optional<ReportChoices> ask(std::string_view, const ReportChoices&) override { return answer; }
};

struct FakePrintDialog final : PrintDialog {
  int copies = 1;
  int askCopies(std::string_view) override { return copies; }
};

struct FakeDetailOption final : DetailOptionDialog {
  int asked = 0;
  bool ask(bool preset) override {
    ++asked;
    return preset;
  }
};

struct FakeBusy final : BusyPointer {
  int depth = 0, begun = 0;
  void begin() override { ++depth, ++begun; }
  void end() override { --depth; }
};

// Records the number and location of each error.
struct RecordingLogger final : ErrorLogger {
  std::vector<std::pair<long, std::string>> calls;
  bool ReportError(long n, std::string_view, std::string_view at, bool, std::string_view, std::string_view) override {
    return ShowError(n, {}, at, {});
  }
  bool ShowError(long number, std::string_view, std::string_view location, std::string_view) override {
    calls.emplace_back(number, location);
    return false;
  }
};

// A report context with every port recorded; file reports go to `outputFile`.
struct ReportHarness {
  explicit ReportHarness(int linesPerPage = 66, std::string outputFile = "")
      : printer(linesPerPage), ctx(state, end, program) {
    state.OutputFile = std::move(outputFile);
    state.FontName = "Courier New";
    state.FontSize = 10;
    state.ErrorLogger = logger;
    end.messages = ctx.messages = &messages;
    ctx.choices = &choices;
    ctx.printDialog = &printDialog;
    ctx.detailOption = &detailOption;
    ctx.busy = &busy;
    ctx.settings = &settings;
    ctx.printer = &printer;
    ctx.windows = &windows;
  }

  AppState state;
  EndServices end;
  ReportProgramState program;
  ScriptedMessageBox messages;
  RecordingPrinter printer;
  FakeWindows windows;
  FakeSettings settings;
  FakeChoiceDialog choices;
  FakePrintDialog printDialog;
  FakeDetailOption detailOption;
  FakeBusy busy;
  std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
  ReportContext ctx;
};

// An investor with the given header fields and no buys, sells or transactions.
inline orlendo::InvestorPtr makeInvestor(const std::string& name, const std::string& line2,
                                         const std::string& start = "12/31/1983",
                                         const std::string& stop = "12/31/2016",
                                         orlendo::eLumora election = orlendo::eLumora::standard) {
  auto investor = orlendo::Investor::create();
  investor->BeginEdit();
  investor->sName(name);
  investor->Line2(line2);
  investor->StartCalc(start);
  investor->StopCalc(stop);
  investor->Lumora2QVX(election);
  return investor;
}

// The texts of one transaction as a calculation would leave them: date,
// description, changed shares and cost, new shares, cost and cost per share.
using XactionTexts = std::array<std::string, 7>;

inline void addXaction(const orlendo::Investor& investor, const std::string& security, const XactionTexts& t) {
  auto x = orlendo::Xaction::create();
  x->XactionType(orlendo::XTransType::Buy);
  x->XActionDate(t[0]);
  x->ChgShrs("0");
  x->ChgCost("0");
  auto added = investor.colSecurities()->Item(security)->colXActions()->Add(x);
  // The texts are set after the arithmetic of Add, so that each test fixes them itself.
  added->Description(t[1]);
  added->ChgShrs(t[2]);
  added->ChgCost(t[3]);
  added->NewShrs(t[4]);
  added->NewCost(t[5]);
  added->NewCostPerShr(t[6]);
}

inline void addBuySell(const orlendo::Investor& investor, const std::string& security, std::string date,
                       std::string shares, std::string cost) {
  std::string code = date + "-x";
  investor.colSecurities()->Item(security)->colBuySells()->Add(code, date, cost, shares);
}

// Margaret Smith: three Quorvex transactions, a Ferrant position sold out,
// a Solvane basis of one cent, and a Lumora split after the stop date.
inline orlendo::InvestorPtr typicalInvestor() {
  auto inv = makeInvestor("Margaret A. Smith", "Joint account", "12/31/1983", "12/31/2016", orlendo::eLumora::shares);
  addXaction(*inv, "Quorvex", {"12/31/1983", "Buy", "300", "18750", "300", "18750", "62.5"});
  addXaction(*inv, "Quorvex", {"12/31/1983", "Spin off", "0", "-13406.25", "300", "5343.75", "17.8125"});
  addXaction(*inv, "Quorvex", {"03/02/1994", "Sell", "-150", "-2671.88", "150", "2671.87", "17.8125"});
  addXaction(*inv, "Ferrant Technologies", {"11/04/1985", "Buy", "50", "2437.5", "50", "2437.5", "48.75"});
  addXaction(*inv, "Ferrant Technologies", {"12/01/2006", "Acquisition", "-50", "-2437.5", "0", "0", "0"});
  addXaction(*inv, "Solvane", {"04/10/1990", "Buy", "1", "0.01", "1", "0.01", "0.01"});
  addXaction(*inv, "Lumora", {"02/14/1992", "Buy", "80", "3960", "80", "3960", "49.5"});
  addXaction(*inv, "Lumora", {"01/03/2017", "Split", "80", "0", "160", "3960", "24.75"});
  addBuySell(*inv, "Quorvex", "12/31/1983", "300", "18750");
  addBuySell(*inv, "Quorvex", "03/02/1994", "-150", "0");
  addBuySell(*inv, "Lumora", "02/14/1992", "80", "3960");
  addBuySell(*inv, "Lumora", "06/01/1995", "1234.5", "10000");
  return inv;
}

// Long names (one with non-ASCII letters) and amounts that reach the fields' cuts.
inline orlendo::InvestorPtr longInvestor() {
  auto inv = makeInvestor("Zoë Bartholomew Featherstonehaugh-Ødegaard", "Trust account — Ålesund", "12/31/1983",
                          "12/31/2016", orlendo::eLumora::cash);
  inv->colSecurities()->Item("Quorvex")->SecName("Quorvex Extraordinarily Long Holdings");
  inv->colSecurities()->Item("Solvane")->SecName("Société Générale Électrique");
  addXaction(*inv, "Quorvex", {"12/31/1983", "Cash or stock election", "-12345678.12345", "-1234567890.12",
                               "12345678.12345", "1234567890.12", "123456789012.12345"});
  addXaction(*inv, "Solvane", {"04/10/1990", "Buy", "1234567.5", "123456789.01", "1234567.5", "123456789.01",
                               "99.9999"});
  addBuySell(*inv, "Quorvex", "12/31/1983", "-12345678.12345", "1234567890.12");
  return inv;
}

// ---- the file commands and the start-up ----

// Gives the scripted names in turn; nullopt (Cancel) when exhausted.
struct ScriptedFileDialog final : FileDialog {
  std::deque<std::optional<std::string>> openAnswers, saveAnswers;
  std::vector<FileDialogSetup> opened, saved;
  std::optional<std::string> openFile(const FileDialogSetup& setup) override { return next(opened, setup, openAnswers); }
  std::optional<std::string> saveFile(const FileDialogSetup& setup) override { return next(saved, setup, saveAnswers); }

 private:
  static std::optional<std::string> next(std::vector<FileDialogSetup>& asked, const FileDialogSetup& setup,
                                         std::deque<std::optional<std::string>>& answers) {
    asked.push_back(setup);
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    return a;
  }
};

struct FixedClock final : Clock {
  FixedClock(int year, int month, int day) : y(year), m(month), d(day) {}
  int year() const override { return y; }
  int month() const override { return m; }
  int day() const override { return d; }
  int y, m, d;
};

// The file commands over recording ports.
struct FileHarness {
  FileHarness() {
    state.VersionTag = makeVersionTag();
    state.Investor = orlendo::Investor::create();
    state.ErrorLogger = logger;
    state.DataPath = folder.path();
    state.IniFile = folder.file("tvxdesk.ini");
    state.DataSaved = true;
    end.messages = &messages;
    end.settings = &settings;
    end.exit = [this](int status) { exits.push_back(status); };
    FileCommandPorts p;
    p.messages = &messages;
    p.files = &dialog;
    p.settings = &settings;
    p.end = &end;
    p.showStatus = [this](const std::string& s) { status.push_back(s); };
    p.showNotice = [this](const std::string& s) { notices.push_back(s); };
    p.initIP = [this] { ++inputWindows; };
    p.newInvestor = [] { return orlendo::Investor::create(); };
    p.appFolder = folder.path();
    files = std::make_unique<FileCommands>(state, std::move(p));
    end.saveAs = [this] { files->SaveAsBeforeEnd(); };
  }

  TempFolder folder;
  AppState state;
  EndServices end;
  ScriptedMessageBox messages;
  ScriptedFileDialog dialog;
  FakeSettings settings;
  std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
  std::vector<std::string> status, notices;
  std::vector<int> exits;
  int inputWindows = 0;
  std::unique_ptr<FileCommands> files;
};

// A buy or sell as the input window makes it.
inline orlendo::BuySellPtr entry(std::string date, std::string shares, std::string cost = "0") {
  auto b = orlendo::BuySell::create();
  b->XActionDate(date);
  b->ChgShrs(shares);
  b->ChgCost(cost);
  return b;
}

}  // namespace tvx::test
