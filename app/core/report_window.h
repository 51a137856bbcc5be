// The report window (one per screen report run) as the report builders see
// it, and the factory that makes a new one for each run.
#pragma once

#include <string>
#include <string_view>

namespace tvx {

class ReportWindow {
 public:
  virtual ~ReportWindow() = default;
  virtual void setCaption(std::string_view caption) = 0;
  // The report text (UTF-8, CR LF line ends).
  virtual void setText(std::string_view text) = 0;
  virtual void appendText(std::string_view text) = 0;
  virtual std::string text() const = 0;
  // Shows the window, not modal; the report run returns at once.
  virtual void show() = 0;
};

class ReportWindowFactory {
 public:
  virtual ~ReportWindowFactory() = default;
  // Creates and loads a new, hidden report window with an empty text. The
  // factory (or the window system) owns it; it lives until the user closes it.
  virtual ReportWindow& create() = 0;
};

}  // namespace tvx
