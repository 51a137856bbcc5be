#include "qt/report_form.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStatusBar>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "qt/icons.h"
#include "qt/qt_ports.h"
#include "qt/report_view.h"
#include "shell/window_cascade.h"

namespace tvx::qt {

ReportForm::ReportForm(std::function<void()> printCommand, QWidget* parent)
    : QWidget(parent, Qt::Window), printCommand_(std::move(printCommand)) {
  setObjectName("frmReportForm");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Report Form");

  tbToolbar_ = new QToolBar(this);
  tbToolbar_->setObjectName("tbToolbar");
  tbToolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QAction* print = tbToolbar_->addAction(printIcon(), "Print");
  print->setObjectName("print");
  print->setData("print");
  print->setToolTip("Print the chosen reports");
  QAction* exit = tbToolbar_->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), "Exit");
  exit->setObjectName("exit");
  exit->setData("exit");
  exit->setToolTip("Close this report");
  connect(print, &QAction::triggered, this, [this] {
    if (printCommand_) printCommand_();
  });
  connect(exit, &QAction::triggered, this, &QWidget::close);
  tbToolbar_->addSeparator();
  auto* findLabel = new QLabel("  &Find: ", tbToolbar_);
  tbToolbar_->addWidget(findLabel);
  findBox_ = new QLineEdit(tbToolbar_);
  findBox_->setObjectName("findBox");
  findBox_->setClearButtonEnabled(true);
  findBox_->setMaximumWidth(260);
  findBox_->setToolTip("Find text in the report (Ctrl+F; Enter or F3: the next place)");
  findLabel->setBuddy(findBox_);
  tbToolbar_->addWidget(findBox_);
  connect(findBox_, &QLineEdit::returnPressed, this, [this] { findNext(); });
  // The toolbar's buttons take the focus with Tab as well.
  for (QAction* a : {print, exit})
    if (QWidget* w = tbToolbar_->widgetForAction(a)) w->setFocusPolicy(Qt::TabFocus);

  // The keys of a document window.
  const auto onKey = [this](QKeySequence key, const char* name, std::function<void()> run) {
    auto* shortcut = new QShortcut(key, this);
    shortcut->setObjectName(name);
    connect(shortcut, &QShortcut::activated, this, std::move(run));
  };
  onKey(QKeySequence(Qt::Key_Escape), "keyEscape", [this] { close(); });
  onKey(QKeySequence(Qt::CTRL | Qt::Key_W), "keyClose", [this] { close(); });
  onKey(QKeySequence(Qt::CTRL | Qt::Key_P), "keyPrint", [print] { print->trigger(); });
  onKey(QKeySequence(Qt::CTRL | Qt::Key_F), "keyFind", [this] {
    findBox_->setFocus(Qt::ShortcutFocusReason);
    findBox_->selectAll();
  });
  onKey(QKeySequence(Qt::Key_F3), "keyFindNext", [this] { findNext(); });

  txtReport_ = new ReportView(this);  // read-only: typed characters never change the report
  txtReport_->setObjectName("txtReport");
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSize(10);
  txtReport_->setFont(font);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(tbToolbar_);
  layout->addWidget(txtReport_, 1);
  status_ = new QStatusBar(this);
  status_->setObjectName("sbReport");
  status_->setSizeGripEnabled(true);
  layout->addWidget(status_);

  resize(kDesignWidth, kDesignHeight);
  setMinimumSize(kDesignWidth, kDesignHeight);
}

QAction* ReportForm::button(const QString& key) const {
  for (QAction* a : tbToolbar_->actions())
    if (a->data().toString() == key) return a;
  return nullptr;
}

void ReportForm::setCaption(std::string_view caption) { setWindowTitle(toQ(caption)); }

void ReportForm::showNotice(const QString& text) {
  notice_ = text;
  showNoticeIn(*status_, text);
}

QString ReportForm::notice() const { return status_->currentMessage().isEmpty() ? QString() : notice_; }

bool ReportForm::findNext() {
  const QString wanted = findBox_->text();
  if (wanted.isEmpty()) return false;
  if (txtReport_->find(wanted)) return true;  // wraps to the top by itself
  showNotice("\"" + wanted + "\" is not in this report.");
  return false;
}

std::string ReportForm::text() const { return std::string(txtReport_->lines().text()); }

void ReportForm::setText(std::string_view text) { txtReport_->setText(text); }

// The report is built chunk by chunk while the window is hidden; the text
// box keeps it as one string and lays out only the lines in sight.
void ReportForm::appendText(std::string_view text) { txtReport_->appendText(text); }

void ReportForm::show() {
  txtReport_->moveCaret({});
  if (place_)
    place_(*this);
  else
    centreOnScreen(*this);
  QWidget::show();
  raise();
  activateWindow();
}

void ReportFormFactory::place(ReportForm& form) {
  QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  std::erase_if(placed_, [&form](const QPointer<QWidget>& w) { return !w || w == &form || !w->isVisible(); });
  std::optional<WindowPlace> last;
  if (!placed_.empty()) last = WindowPlace{placed_.back()->x(), placed_.back()->y()};
  const int step = form.style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8;
  const QSize frame = form.frameGeometry().size();
  const WindowPlace next =
      NextCascadePlace(last, frame.width(), frame.height(), {area.x(), area.y(), area.width(), area.height()}, step);
  form.move(next.x, next.y);
  placed_.emplace_back(&form);
}

ReportWindow& ReportFormFactory::create() {
  auto* form = new ReportForm({});
  form->setPrintCommand([this, form] {
    if (printCommand_) printCommand_(*form);
  });
  form->setPlacement([this](ReportForm& f) { place(f); });
  if (created_) created_(form);
  return *form;
}

}  // namespace tvx::qt
