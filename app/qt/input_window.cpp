#include "qt/input_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "qt/qt_ports.h"

namespace tvx::qt {

namespace {

constexpr Field kTextFields[] = {Field::txtName,   Field::txtLine2, Field::maskDtStart, Field::maskDtStop,
                                 Field::txtShares, Field::txtCost,  Field::MaskDtTrans, Field::txtProceeds};

// What a field's widget shows: a date box its text with the "_" placeholders.
QString shownText(const QLineEdit& edit) { return edit.displayText(); }

// Help text as the help box shows it: line breaks as single line feeds.
QString helpDisplay(std::string_view text) {
  QString q = toQ(text);
  q.replace("\r\n", "\n");
  return q;
}

bool sameLines(const QListWidget& list, const std::vector<std::string>& lines) {
  if (list.count() != static_cast<int>(lines.size())) return false;
  for (int i = 0; i < list.count(); ++i)
    if (list.item(i)->text() != toQ(lines[static_cast<std::size_t>(i)])) return false;
  return true;
}

void showLines(QListWidget& list, const ListBoxLines& lines, const std::vector<bool>& marks) {
  const QSignalBlocker block(list);
  if (!sameLines(list, lines.lines)) {
    list.clear();
    for (const auto& line : lines.lines) list.addItem(toQ(line));
  }
  // A security that holds buys or sells stands out in bold.
  for (int i = 0; i < list.count(); ++i) {
    const bool marked = static_cast<std::size_t>(i) < marks.size() && marks[static_cast<std::size_t>(i)];
    QListWidgetItem* item = list.item(i);
    if (item->font().bold() == marked) continue;
    QFont font = item->font();
    font.setBold(marked);
    item->setFont(font);
    item->setToolTip(marked ? QString("Holds buys or sells") : QString());
  }
  if (lines.hasSelection()) {
    list.setCurrentRow(lines.selected);
  } else {
    list.setCurrentRow(-1);
    list.clearSelection();
  }
}

// The buy/sell list: one row per line, its columns as the form gives them;
// the line's own text (date and kind) stays with the row.
void showRows(QTreeWidget& tree, const ListBoxLines& lines, const std::vector<BuySellColumns>& columns) {
  const QSignalBlocker block(tree);
  bool same = tree.topLevelItemCount() == static_cast<int>(columns.size());
  for (int i = 0; same && i < tree.topLevelItemCount(); ++i) {
    const BuySellColumns& c = columns[static_cast<std::size_t>(i)];
    const QTreeWidgetItem* item = tree.topLevelItem(i);
    same = item->text(0) == toQ(c.date) && item->text(1) == toQ(c.kind) && item->text(2) == toQ(c.shares) &&
           item->text(3) == toQ(c.cost);
  }
  if (!same) {
    tree.clear();
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const BuySellColumns& c = columns[i];
      auto* item = new QTreeWidgetItem(&tree, {toQ(c.date), toQ(c.kind), toQ(c.shares), toQ(c.cost)});
      item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
      item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
      if (i < lines.lines.size()) item->setData(0, Qt::AccessibleTextRole, toQ(lines.lines[i]));
    }
    for (int col = 0; col < tree.columnCount(); ++col) tree.resizeColumnToContents(col);
  }
  if (lines.hasSelection() && lines.selected < tree.topLevelItemCount()) {
    tree.setCurrentItem(tree.topLevelItem(lines.selected));
  } else {
    tree.setCurrentItem(nullptr);
    tree.clearSelection();
  }
}

}  // namespace

// ---- building the window ---------------------------------------------------------------------

InputWindow::InputWindow(DesktopServices& services, QWidget* parent)
    : QDialog(parent), services_(services), form_(services.state.Investor, services.host, services.messages) {
  setObjectName("frmIP");
  setWindowTitle(toQ(kInputsCaption));
  setModal(true);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("tabInputs");

  // The first page: the investor's own fields.
  auto* initial = new QWidget(tabs_);
  initial->setObjectName("pageInitialInputs");
  auto* initialLayout = new QVBoxLayout(initial);
  auto* investorForm = new QFormLayout;
  initialLayout->addLayout(investorForm);
  investorForm->addRow("Investor's Name:", addLineEdit(Field::txtName, initial));
  investorForm->addRow("Optional Second Line:", addLineEdit(Field::txtLine2, initial));
  investorForm->addRow("Computation start date (usually 12/31/1983):", addLineEdit(Field::maskDtStart, initial));
  investorForm->addRow("Computation stop date:", addLineEdit(Field::maskDtStop, initial));

  fraLumora_ = new QGroupBox("Lumora 6/15/2000 Acquisition By Quorvex", initial);
  fraLumora_->setObjectName("fraLumora");
  auto* lumoraLayout = new QVBoxLayout(fraLumora_);
  election_ = new QButtonGroup(this);
  const std::pair<Field, const char*> options[] = {
      {Field::radStandard, "Standard Option"}, {Field::radStock, "More Shares Option"}, {Field::radCash, "More Cash Option"}};
  int value = static_cast<int>(orlendo::eLumora::standard);
  for (const auto& [field, caption] : options) {
    auto* radio = new QRadioButton(caption, fraLumora_);
    registerControl(field, radio);
    election_->addButton(radio, value++);
    lumoraLayout->addWidget(radio);
  }
  initialLayout->addWidget(fraLumora_);

  lblFilename_ = new QLabel(initial);
  lblFilename_->setObjectName("lblFilename");
  lblFilename_->setTextFormat(Qt::PlainText);
  initialLayout->addWidget(lblFilename_);
  auto* fileButtons = new QHBoxLayout;
  auto* btnFilename = addButton("btnFilename", "Change or set filename", initial);
  registerControl(Field::btnFilename, btnFilename);
  fileButtons->addWidget(btnFilename);
  fileButtons->addWidget(addButton("btnSave", "&Save Information Entered", initial));
  fileButtons->addStretch(1);
  initialLayout->addLayout(fileButtons);
  initialLayout->addStretch(1);
  tabs_->addTab(initial, toQ(kInitialInputsPage));

  // The second page: the securities and their buys and sells.
  auto* buysSells = new QWidget(tabs_);
  buysSells->setObjectName("pageBuysSells");
  auto* pageLayout = new QHBoxLayout(buysSells);
  auto* lstSecurities = new QListWidget(buysSells);
  registerControl(Field::lstSecurities, lstSecurities);
  pageLayout->addWidget(lstSecurities, 1);

  fraSecurity_ = new QGroupBox(toQ(kSecurityFrameCaption), buysSells);
  fraSecurity_->setObjectName("fraSecurity");
  auto* securityLayout = new QVBoxLayout(fraSecurity_);
  auto* lstBuySells = new QTreeWidget(fraSecurity_);
  lstBuySells->setColumnCount(static_cast<int>(kBuySellHeadings.size()));
  QStringList headings;
  for (std::string_view h : kBuySellHeadings) headings << toQ(h);
  lstBuySells->setHeaderLabels(headings);
  lstBuySells->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  lstBuySells->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
  lstBuySells->setRootIsDecorated(false);
  lstBuySells->setUniformRowHeights(true);
  lstBuySells->setSelectionMode(QAbstractItemView::SingleSelection);
  lstBuySells->setAllColumnsShowFocus(true);
  lstBuySells->header()->setStretchLastSection(false);  // the cost stays beside the shares
  registerControl(Field::lstBuySells, lstBuySells);
  securityLayout->addWidget(lstBuySells, 1);
  auto* chkBuy = new QCheckBox("Check for buy. Uncheck for sell.", fraSecurity_);
  registerControl(Field::chkBuy, chkBuy);
  securityLayout->addWidget(chkBuy);
  auto* entryForm = new QFormLayout;
  entryForm->addRow("Shares bought or sold:", addLineEdit(Field::txtShares, fraSecurity_));
  lblCost_ = new QLabel("Cost (buys only):", fraSecurity_);
  lblCost_->setObjectName("lblCost");
  entryForm->addRow(lblCost_, addLineEdit(Field::txtCost, fraSecurity_));
  entryForm->addRow("Transaction date:", addLineEdit(Field::MaskDtTrans, fraSecurity_));
  lblProceeds_ = new QLabel("Proceeds (sells, optional):", fraSecurity_);
  lblProceeds_->setObjectName("lblProceeds");
  entryForm->addRow(lblProceeds_, addLineEdit(Field::txtProceeds, fraSecurity_));
  securityLayout->addLayout(entryForm);
  auto* listButtons = new QHBoxLayout;
  listButtons->addWidget(addButton("btnAdd", "&Add", fraSecurity_));
  listButtons->addWidget(addButton("btnChange", "&Change", fraSecurity_));
  listButtons->addWidget(addButton("btnDelete", "&Delete", fraSecurity_));
  securityLayout->addLayout(listButtons);
  pageLayout->addWidget(fraSecurity_, 2);
  tabs_->addTab(buysSells, toQ(kBuysSellsPage));

  // Below the pages: the help box, OK and Cancel.
  txtHelp_ = new QPlainTextEdit(this);
  txtHelp_->setObjectName("txtHelp");
  txtHelp_->setReadOnly(true);
  txtHelp_->setFocusPolicy(Qt::NoFocus);
  txtHelp_->setFixedHeight(fontMetrics().lineSpacing() * 5 + 12);
  auto* closeButtons = new QHBoxLayout;
  closeButtons->addStretch(1);
  closeButtons->addWidget(addButton("btnOK", "&OK", this));
  closeButtons->addWidget(addButton("btnCancel", "Ca&ncel", this));  // Alt+A is Add

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_, 1);
  layout->addWidget(txtHelp_);
  layout->addLayout(closeButtons);

  form_.load();
  refresh();
  connectSignals();
  control(Field::txtName)->setFocus(Qt::OtherFocusReason);
}

InputWindow::~InputWindow() = default;

QLineEdit* InputWindow::addLineEdit(Field field, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  if (IsDateBox(field)) {
    edit->setInputMask(toQ(kDateInputMask) + ";_");
  }
  registerControl(field, edit);
  return edit;
}

QPushButton* InputWindow::addButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  // Enter moves between fields; it never presses a button that happens to be the default.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

void InputWindow::registerControl(Field field, QWidget* widget) {
  widget->setObjectName(toQ(FieldName(field)));
  controls_[static_cast<std::size_t>(field)] = widget;
  widget->installEventFilter(this);
}

QLineEdit* InputWindow::lineEdit(Field field) const { return static_cast<QLineEdit*>(control(field)); }

QPushButton* InputWindow::button(const char* name) const { return findChild<QPushButton*>(name); }

void InputWindow::connectSignals() {
  for (Field field : kTextFields) {
    QLineEdit* edit = lineEdit(field);
    connect(edit, &QLineEdit::textChanged, this,
            [this, field, edit] { handle([&] { form_.textChanged(field, fromQ(shownText(*edit))); }); });
  }
  connect(election_, &QButtonGroup::idClicked, this,
          [this](int id) { handle([&] { form_.electionClicked(static_cast<orlendo::eLumora>(id)); }); });
  auto* chkBuy = static_cast<QCheckBox*>(control(Field::chkBuy));
  connect(chkBuy, &QCheckBox::clicked, this, [this](bool checked) { handle([&] { form_.buyCheckClicked(checked); }); });

  // A list reports a click on a line: a change of the current line (mouse or
  // keys) and a click on the line that is already current.
  auto* securities = static_cast<QListWidget*>(control(Field::lstSecurities));
  auto* buySells = static_cast<QTreeWidget*>(control(Field::lstBuySells));
  const auto clickedSecurity = [this](int row) {
    if (row >= 0) command([&] { form_.securityClicked(row); });
  };
  const auto clickedBuySell = [this](int row) {
    if (row >= 0) command([&] { form_.buySellClicked(row); });
  };
  connect(securities, &QListWidget::currentRowChanged, this, clickedSecurity);
  connect(securities, &QListWidget::itemClicked, this, [this, securities, clickedSecurity](QListWidgetItem* item) {
    const int row = securities->row(item);
    if (row == form_.securityList().selected) return;  // the change of line handled it
    clickedSecurity(row);
  });
  connect(buySells, &QTreeWidget::currentItemChanged, this, [buySells, clickedBuySell](QTreeWidgetItem* item) {
    if (item) clickedBuySell(buySells->indexOfTopLevelItem(item));
  });
  connect(buySells, &QTreeWidget::itemClicked, this, [buySells, clickedBuySell](QTreeWidgetItem* item) {
    clickedBuySell(buySells->indexOfTopLevelItem(item));
  });

  const auto onClick = [this](const char* name, void (InputForm::*event)()) {
    connect(button(name), &QPushButton::clicked, this, [this, event] { command([&] { (form_.*event)(); }); });
  };
  onClick("btnAdd", &InputForm::addClicked);
  onClick("btnChange", &InputForm::changeClicked);
  onClick("btnDelete", &InputForm::deleteClicked);
  onClick("btnSave", &InputForm::saveClicked);
  onClick("btnFilename", &InputForm::filenameClicked);
  connect(button("btnOK"), &QPushButton::clicked, this, [this] {
    command([&] { form_.okClicked(); });
    if (form_.closeRequested()) finish(QDialog::Accepted);
  });
  // Cancel is heard even while a date box refuses to be left.
  connect(button("btnCancel"), &QPushButton::clicked, this, [this] {
    handle([&] { form_.cancelClicked(); });
    if (form_.closeRequested()) finish(QDialog::Rejected);
  });
}

// ---- opening and closing -----------------------------------------------------------------------

void InputWindow::InitIP(DesktopServices& services, QWidget* parent) {
  QPointer<InputWindow> window = new InputWindow(services, parent);
  struct Release {
    QPointer<InputWindow>& w;
    ~Release() { delete w.data(); }
  } release{window};
  window->CenterForm();
  window->SetInitialIP();
  services.registerWindow(window);
  window->exec();
}

void InputWindow::CenterForm() {
  adjustSize();
  centreOnScreen(*this);
}

void InputWindow::SetInitialIP() {
  form_.SetInitialIP();
  refresh();
}

void InputWindow::reject() {
  if (!closing_) handle([&] { form_.cancelClicked(); });
  finish(QDialog::Rejected);
}

void InputWindow::finish(int result) {
  closing_ = true;
  QDialog::done(result);
}

// ---- events ------------------------------------------------------------------------------------

void InputWindow::handle(const std::function<void()>& body) {
  services_.guarded([&] {
    body();
    refresh();
  });
}

void InputWindow::command(const std::function<void()>& body) {
  // The click that took the focus out of a refused date box: the focus goes
  // back to the box and the command is not carried out. The lists are shown
  // again as the form holds them.
  if (pendingDate_) {
    refreshLists();
    return;
  }
  handle(body);
}

bool InputWindow::eventFilter(QObject* watched, QEvent* event) {
  const auto it = std::find(controls_.begin(), controls_.end(), watched);
  if (it == controls_.end()) return QDialog::eventFilter(watched, event);
  const auto field = static_cast<Field>(it - controls_.begin());
  auto* widget = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::FocusIn:
      onFocusIn(field, widget);
      break;
    case QEvent::FocusOut:
      onFocusOut(field, static_cast<QFocusEvent*>(event)->reason());
      break;
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
      const auto mods = key->modifiers() & ~Qt::KeypadModifier;
      if (enter && mods == Qt::NoModifier && EnterMovesOn(field)) {
        focusNextChild();  // EnterAsTab
        return true;
      }
      break;
    }
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void InputWindow::onFocusIn(Field field, QWidget* widget) {
  if (closing_) return;
  if (pendingDate_ == field) pendingDate_.reset();
  handle([&] { form_.focusEntered(field); });
  if (SelectsAllOnFocus(field)) {
    // After the line edit's own focus handling, which places the cursor
    // (a masked box at its first blank).
    QPointer<QLineEdit> edit = static_cast<QLineEdit*>(widget);
    QMetaObject::invokeMethod(
        this,
        [edit] {
          if (edit && edit->hasFocus()) edit->selectAll();  // SelectAllText
        },
        Qt::QueuedConnection);
  }
}

void InputWindow::onFocusOut(Field field, Qt::FocusReason reason) {
  if (closing_) return;
  // Another window taking over (a message box, a menu, another program) is
  // not leaving the field.
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
  if (IsDateBox(field)) {
    // Put back into another field after a warning: that field's leave, not this one's.
    if (restoringFocus_) return;
    // Cancel closes the window without saving: no warning on the way.
    QWidget* next = QApplication::focusWidget();
    if (next && next == button("btnCancel")) return;
    if (DateBoxAcceptable(form_.text(field))) return;
    if (DateBoxLeavable(form_.text(field))) {  // nothing typed: may be left, and shows its value again
      handle([&] { form_.focusLeaving(field); });
      return;
    }
    // Refused: the warning is shown once the change of focus is over, and
    // until the focus is back in the box no command is carried out.
    pendingDate_ = field;
    QMetaObject::invokeMethod(this, [this, field] { checkDateLeft(field); }, Qt::QueuedConnection);
    return;
  }
  if (BindingOf(field)) handle([&] { form_.focusLeaving(field); });
}

void InputWindow::checkDateLeft(Field field) {
  if (closing_ || !isVisible() || pendingDate_ != field) return;
  if (control(field)->hasFocus()) {  // back in the box; checked when it is left again
    pendingDate_.reset();
    return;
  }
  bool left = true;
  handle([&] { left = form_.focusLeaving(field); });  // a refused date asks for the focus back
  if (left) pendingDate_.reset();
}

// ---- showing the form --------------------------------------------------------------------------

void InputWindow::refresh() {
  refreshTexts();
  refreshLists();

  auto* chkBuy = static_cast<QCheckBox*>(control(Field::chkBuy));
  {
    const QSignalBlocker block(chkBuy);
    chkBuy->setChecked(form_.buyChecked());
  }
  // A sell has no cost: the row is greyed, not hidden, so nothing below it moves.
  control(Field::txtCost)->setEnabled(form_.costVisible());
  lblCost_->setEnabled(form_.costVisible());
  control(Field::txtProceeds)->setEnabled(form_.proceedsEnabled());
  lblProceeds_->setEnabled(form_.proceedsEnabled());

  if (QAbstractButton* radio = election_->button(static_cast<int>(form_.election()))) {
    const QSignalBlocker block(election_);
    radio->setChecked(true);
  }

  fraSecurity_->setTitle(toQ(form_.securityCaption()));  // "&" already doubled
  lblFilename_->setText(toQ(form_.filenameLabel()));
  const QString help = helpDisplay(form_.helpText());
  if (txtHelp_->toPlainText() != help) txtHelp_->setPlainText(help);

  applyFocusRequest();
}

void InputWindow::refreshTexts() {
  for (Field field : kTextFields) {
    QLineEdit* edit = lineEdit(field);
    const QString wanted = toQ(form_.text(field));
    if (shownText(*edit) == wanted) continue;  // what the user typed: leave cursor and selection
    const QSignalBlocker block(edit);
    if (IsDateBox(field) && form_.text(field) == kEmptyDateBox)
      edit->clear();
    else
      edit->setText(wanted);
  }
}

void InputWindow::refreshLists() {
  showLines(*static_cast<QListWidget*>(control(Field::lstSecurities)), form_.securityList(), form_.securityMarks());
  showRows(*static_cast<QTreeWidget*>(control(Field::lstBuySells)), form_.buySellList(), form_.buySellColumns());
}

void InputWindow::applyFocusRequest() {
  const std::optional<Field> field = form_.takeFocusRequest();
  if (!field) return;
  focusControl(control(*field));
}

void InputWindow::focusControl(QWidget* widget) {
  if (!widget || !widget->isEnabled()) return;
  // A field on the page that is not shown: that page first.
  for (int i = 0; i < tabs_->count(); ++i)
    if (tabs_->widget(i)->isAncestorOf(widget) && tabs_->currentIndex() != i) tabs_->setCurrentIndex(i);
  if (widget->isHidden()) return;
  restoringFocus_ = true;
  widget->setFocus(Qt::OtherFocusReason);
  restoringFocus_ = false;
}

InitIPHook makeInitIPHook() {
  return [](DesktopServices& services, QWidget* parent) { InputWindow::InitIP(services, parent); };
}

}  // namespace tvx::qt
