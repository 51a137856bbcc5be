// A printer that records what the reports print, page by page and job by
// job, with a fixed number of lines per page.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "orlendo/error.h"
#include "reports/printer.h"

namespace tvx::test {

class RecordingPrinter final : public Printer {
 public:
  static constexpr long kLineHeight = 10;

  explicit RecordingPrinter(int linesPerPage = 66) : linesPerPage_(linesPerPage) {}

  std::set<std::string> availableFonts{"Courier New", "Printer Default"};

  void setFontName(std::string_view name) override {
    if (!availableFonts.count(std::string(name)))
      throw orlendo::Error(orlendo::errnum::InvalidPropertyValue, "Printer", "Invalid property value");
    fontName_ = name;
  }
  std::string fontName() const override { return fontName_; }
  void setFontSize(float points) override { fontSize_ = points; }
  float fontSize() const override { return fontSize_; }
  void setFontBold(bool bold) override { bold_ = bold; }
  bool fontBold() const override { return bold_; }
  long pageHeight() const override { return linesPerPage_ * kLineHeight; }
  long textHeight(std::string_view) const override { return kLineHeight; }

  void print(std::string_view text) override {
    if (text.empty()) return;
    if (current_.empty() || pageEnded_) current_.emplace_back();
    pageEnded_ = false;
    current_.back() += text;
  }
  int page() const override {
    const int started = static_cast<int>(current_.size());
    return (started == 0 || pageEnded_) ? started + 1 : started;
  }
  void newPage() override {
    if (current_.empty()) current_.emplace_back();  // an empty first page still counts
    pageEnded_ = true;
  }
  void endDoc() override {
    jobs.push_back(current_);
    current_.clear();
    pageEnded_ = false;
  }

  // The pages of the print job still open.
  const std::vector<std::string>& openPages() const { return current_; }

  std::vector<std::vector<std::string>> jobs;  // ended print jobs, page by page

 private:
  int linesPerPage_;
  std::string fontName_ = "Printer Default";
  float fontSize_ = 12;
  bool bold_ = true;
  std::vector<std::string> current_;
  bool pageEnded_ = false;
};

}  // namespace tvx::test
