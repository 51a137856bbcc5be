// The report window frmReportForm: a read-only, fixed-pitch text with a
// toolbar of two buttons, "print" and "exit". Every screen report run makes
// its own window, so several can be open at once; a window deletes itself
// when it is closed.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/report_window.h"

class QToolBar;
class QAction;
class QLineEdit;
class QStatusBar;

namespace tvx::qt {

class ReportView;

class ReportForm final : public QWidget, public ReportWindow {
  Q_OBJECT
 public:
  // The size the window first appears in, also its smallest size.
  static constexpr int kDesignWidth = 820;
  static constexpr int kDesignHeight = 560;

  explicit ReportForm(std::function<void()> printCommand, QWidget* parent = nullptr);

  void setCaption(std::string_view caption) override;
  void setText(std::string_view text) override;
  void appendText(std::string_view text) override;
  std::string text() const override;
  void show() override;

  ReportView* txtReport() const { return txtReport_; }
  QToolBar* tbToolbar() const { return tbToolbar_; }
  QAction* button(const QString& key) const;
  QLineEdit* findBox() const { return findBox_; }
  // A passing message in the window's own status bar.
  void showNotice(const QString& text);
  QString notice() const;
  void setPrintCommand(std::function<void()> command) { printCommand_ = std::move(command); }
  // The next place of the find box's text after the caret, wrapping to the
  // top; false (and a notice) when the report holds none.
  bool findNext();
  // Where show() puts the window; unset: the middle of the screen.
  void setPlacement(std::function<void(ReportForm&)> place) { place_ = std::move(place); }

 private:
  QToolBar* tbToolbar_;
  ReportView* txtReport_;  // holds the text as the report builders made it (CR LF line ends)
  QLineEdit* findBox_;
  QStatusBar* status_;
  QString notice_;
  std::function<void()> printCommand_;
  std::function<void(ReportForm&)> place_;
};

// Makes one ReportForm per screen report run.
class ReportFormFactory final : public ReportWindowFactory {
 public:
  // `printCommand`: the print button's command (RunReports for the printer),
  // told which window it came from. `created`: told of every new window
  // (the program keeps the list of its open windows).
  ReportFormFactory(std::function<void(ReportForm&)> printCommand, std::function<void(QWidget*)> created)
      : printCommand_(std::move(printCommand)), created_(std::move(created)) {}
  ReportWindow& create() override;

 private:
  // Cascades from the newest window still open.
  void place(ReportForm& form);
  std::function<void(ReportForm&)> printCommand_;
  std::vector<QPointer<QWidget>> placed_;  // oldest first
  std::function<void(QWidget*)> created_;
};

}  // namespace tvx::qt
