#include "qt/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "qt/icons.h"
#include "qt/qt_ports.h"

namespace tvx::qt {

QKeySequence standardKey(QKeySequence::StandardKey key, const char* fallback) {
  // Some platforms bind no key to a standard command (Save As on a bare X
  // session): the usual one then.
  const QList<QKeySequence> bound = QKeySequence::keyBindings(key);
  return bound.isEmpty() ? QKeySequence(QString::fromLatin1(fallback)) : bound.first();
}

MainWindow::MainWindow(MainWindowHandler& handler, QWidget* parent) : QMainWindow(parent), handler_(handler) {
  setObjectName("frmMain");
  setWindowTitle("Tallyvex");

  // ---- menus ----
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu("&File");
  file->setObjectName("mnuFile");
  file->menuAction()->setObjectName("mnuFile");
  addItem(file, "mnuFileNew", "&New", MainCommand::New)->setShortcut(standardKey(QKeySequence::New, "Ctrl+N"));
  addItem(file, "mnuFileOpen", "&Open...", MainCommand::Open)->setShortcut(standardKey(QKeySequence::Open, "Ctrl+O"));
  file->addSeparator();
  addItem(file, "mnuFileSave", "&Save", MainCommand::Save)->setShortcut(standardKey(QKeySequence::Save, "Ctrl+S"));
  addItem(file, "mnuFileSaveAs", "Save &As...", MainCommand::SaveAs)->setShortcut(standardKey(QKeySequence::SaveAs, "Ctrl+Shift+S"));
  file->addSeparator();
  addItem(file, "mnuFilePrintPreview", "Print Pre&view", MainCommand::PrintPreview);
  addItem(file, "mnuFilePrint", "&Print...", MainCommand::Print)->setShortcut(standardKey(QKeySequence::Print, "Ctrl+P"));
  addItem(file, "mnuFileExportCsv", "&Export Transactions (CSV)...", MainCommand::ExportCsv)->setEnabled(false);
  addItem(file, "mnuFileExportSales", "Export Sa&les (CSV)...", MainCommand::ExportSales)->setEnabled(false);
  file->addSeparator();
  for (int i = 0; i < kMruCount; ++i) {
    QAction* item = file->addAction(QString());
    item->setObjectName(QString("mnuFileMRU%1").arg(i + 1));
    item->setVisible(false);
    connect(item, &QAction::triggered, this, [this, i] { handler_.openRecent(i); });
    mru_[i] = item;
  }
  mruSeparator_ = file->addSeparator();
  mruSeparator_->setObjectName("mnuFileBar3");
  mruSeparator_->setVisible(false);
  addItem(file, "mnuFileExit", "E&xit", MainCommand::Exit)->setShortcut(standardKey(QKeySequence::Quit, "Ctrl+Q"));

  // "&Inputs" is a command of the menu bar itself.
  QAction* inputs = bar->addAction("&Inputs");
  inputs->setObjectName("mnuInputs");
  connect(inputs, &QAction::triggered, this, [this] { handler_.command(MainCommand::Inputs); });

  QMenu* view = bar->addMenu("&View");
  view->setObjectName("mnuView");
  view->menuAction()->setObjectName("mnuView");
  addItem(view, "mnuViewReports", "&Reports...", MainCommand::ViewReports);

  QMenu* options = bar->addMenu("&Options");
  options->setObjectName("mnuOptions");
  options->menuAction()->setObjectName("mnuOptions");
  addItem(options, "mnuOptionsFonts", "&Fonts...", MainCommand::Fonts);

  QMenu* help = bar->addMenu("&Help");
  help->setObjectName("mnuHelp");
  help->menuAction()->setObjectName("mnuHelp");
  addItem(help, "mnuHelpContents", "&Contents", MainCommand::HelpContents)->setShortcut(standardKey(QKeySequence::HelpContents, "F1"));
  help->addSeparator();
  addItem(help, "mnuHelpAbout", "&About ", MainCommand::About);

  // ---- toolbar ----
  QToolBar* tools = addToolBar("Toolbar");
  tools->setObjectName("tbToolBar");
  tools->setMovable(false);
  tools->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  struct Button {
    const char* key;
    QStyle::StandardPixmap icon;
    MainCommand command;
    const char* tip;
  };
  const Button buttons[] = {
      {"New", QStyle::SP_FileIcon, MainCommand::New, "New data file"},
      {"Open", QStyle::SP_DialogOpenButton, MainCommand::Open, "Open a data file"},
      {"Save", QStyle::SP_DialogSaveButton, MainCommand::Save, "Save the data file"},
      {"Print", QStyle::SP_CustomBase, MainCommand::Print, "Print the reports"},  // the style has no printer
      {"Preview", QStyle::SP_FileDialogContentsView, MainCommand::ViewReports, "View the reports"},
      {"Input", QStyle::SP_FileDialogDetailedView, MainCommand::Inputs, "Enter the inputs"},
      {"Help", QStyle::SP_DialogHelpButton, MainCommand::HelpContents, "The manual"},
  };
  for (const Button& b : buttons) {
    const QIcon icon = b.icon == QStyle::SP_CustomBase ? printIcon() : style()->standardIcon(b.icon);
    QAction* a = tools->addAction(icon, b.key);
    a->setObjectName(QString("tb") + b.key);
    a->setData(QString(b.key));
    a->setToolTip(b.tip);
    const MainCommand command = b.command;
    connect(a, &QAction::triggered, this, [this, command] { handler_.command(command); });
  }

  // ---- status bar ----
  QStatusBar* status = statusBar();
  status->setObjectName("sbStatusBar");
  status->setSizeGripEnabled(true);
  statusPanel_ = new QLabel(toQ(kStatusPrefix), status);
  statusPanel_->setObjectName("sbPanel1");
  status->addWidget(statusPanel_, 1);
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, const QString& caption, MainCommand command) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(name);
  connect(item, &QAction::triggered, this, [this, command] { handler_.command(command); });
  return item;
}

void MainWindow::setStatusText(const QString& text) { statusPanel_->setText(text); }
QString MainWindow::statusText() const { return statusPanel_->text(); }

void MainWindow::showNotice(const QString& text) {
  constexpr int kNoticeMilliseconds = 30000;
  statusBar()->showMessage(text, kNoticeMilliseconds);
}
QString MainWindow::notice() const { return statusBar()->currentMessage(); }

void MainWindow::setExportEnabled(bool enabled) {
  menuItem("mnuFileExportCsv")->setEnabled(enabled);
  menuItem("mnuFileExportSales")->setEnabled(enabled);
}

void MainWindow::showMru(const MruList& names) {
  for (int i = 0; i < kMruCount; ++i) {
    const bool used = !names[i].empty();
    mru_[i]->setText(used ? QString("&%1 %2").arg(i + 1).arg(toQ(names[i])) : QString());
    mru_[i]->setVisible(used);
  }
  mruSeparator_->setVisible(!names[0].empty());
}

QAction* MainWindow::menuItem(const QString& name) const { return findChild<QAction*>(name); }

QAction* MainWindow::toolButton(const QString& key) const { return findChild<QAction*>("tb" + key); }

WindowGeometry MainWindow::geometryTwips() const {
  const QRect frame = frameGeometry();
  return WindowGeometry{PixelsToTwips(frame.x(), applied_.left), PixelsToTwips(frame.y(), applied_.top),
                        PixelsToTwips(width(), applied_.width), PixelsToTwips(height(), applied_.height)};
}

void MainWindow::applyGeometry(const WindowGeometry& g) {
  applied_ = g;
  const int w = std::max(200, TwipsToPixels(g.width));
  const int h = std::max(150, TwipsToPixels(g.height));
  resize(w, h);
  const QPoint place(TwipsToPixels(g.left), TwipsToPixels(g.top));
  // A place on no screen (a screen that is gone) is not used.
  bool visible = false;
  for (QScreen* screen : QGuiApplication::screens())
    if (screen->availableGeometry().contains(place)) visible = true;
  if (visible)
    move(place);
  else
    centreOnScreen(*this);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  // Closing the window by any means is File, Exit; the exit decides.
  handler_.command(MainCommand::Exit);
  if (closing_)
    event->accept();
  else
    event->ignore();
}

}  // namespace tvx::qt
