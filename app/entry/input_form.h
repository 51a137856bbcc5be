// The input window's logic, free of any toolkit.
//
// InputForm holds what the window shows (field texts, the two lists, the
// selected lines, the election, the buy check, the help text) and does what
// its events mean for the investor. A thin window layer forwards the events
// (text changed, focus entered and left, clicks) and reads back what to show
// and where the focus goes; the tests drive it the same way.
//
// The window edits the investor in place: each change of a bound field goes
// straight into the investor or into the scratch record CurBuySell, and every
// change of the investor's inputs is reported once through
// InputWindowHost::markChanged.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports.h"
#include "entry/buy_sell_list.h"
#include "entry/input_fields.h"
#include "orlendo/model.h"

namespace tvx {

// What the window needs of the rest of the program.
class InputWindowHost {
 public:
  virtual ~InputWindowHost() = default;
  // The inputs now hold an unsaved change (DataSaved = false).
  virtual void markChanged() = 0;
  // File, Save for CurrentFile: false when nothing was saved (refused,
  // cancelled or failed; the user has been told).
  virtual bool saveFile() = 0;
  // SaveAs(): ask for a file name and save.
  virtual void saveAs() = 0;
  // DisplayShorterFilename(CurrentFile), for the file-name label.
  virtual std::string shortFilename() = 0;
  // The ErrorLogger path: number, description, location ("dc_frmIP.<procedure>" CR source).
  virtual void reportError(long number, std::string_view description, std::string_view location) = 0;
  // The ReportFatalError path: number and procedure name ("GetInputs").
  virtual void reportFatal(long number, std::string_view procedure) = 0;
};

inline constexpr std::string_view kInputsCaption = "Inputs";
inline constexpr std::string_view kInitialInputsPage = "&Initial Inputs";
inline constexpr std::string_view kBuysSellsPage = "&Buys && Sells";
inline constexpr std::string_view kSecurityFrameCaption = "Security Transactions";
inline constexpr std::string_view kFirstSecurity = "Quorvex";
inline constexpr std::string_view kEntryNotAdded = "The entry was not added.";
inline constexpr std::string_view kEntryNotChanged = "The transaction was not changed.";

class InputForm {
 public:
  InputForm(orlendo::InvestorPtr investor, InputWindowHost& host, MessageBox& messages);

  // ---- opening and closing ----------------------------------------------------
  // The load steps, in order; ends with Investor.BeginEdit().
  void load();
  // Puts the shortened CurrentFile into the file-name label.
  void SetInitialIP();
  // btnOK: GetInputs (save to CurrentFile), then the window closes; it stays
  // open when nothing was saved.
  void okClicked();
  // btnCancel: the window closes; edits already made stay in the investor.
  void cancelClicked();
  // Any way of closing: drops BuySellRows and CurBuySell.
  void close();
  bool closeRequested() const { return closeRequested_; }

  // ---- events -------------------------------------------------------------------
  // The displayed text of a text box or date box changed (for a date box the
  // text with its "_" placeholders).
  void textChanged(Field field, std::string_view displayed);
  // The field takes the focus: shows its help text.
  void focusEntered(Field field);
  // The field is about to lose the focus. False: the focus stays (a date box
  // with an incomplete or impossible date; the warning has been shown).
  bool focusLeaving(Field field);
  void buyCheckClicked(bool checked);
  void electionClicked(orlendo::eLumora election);
  void securityClicked(int index);
  void buySellClicked(int index);
  void addClicked();
  void changeClicked();
  void deleteClicked();
  void saveClicked();
  void filenameClicked();

  // ---- what to show ------------------------------------------------------------
  const std::string& text(Field field) const;
  bool buyChecked() const { return buyChecked_; }
  bool costVisible() const { return buyChecked_; }
  // The proceeds box is open only for a sell.
  bool proceedsEnabled() const { return !buyChecked_; }
  orlendo::eLumora election() const { return election_; }
  const ListBoxLines& securityList() const { return securityList_; }
  const ListBoxLines& buySellList() const { return buySellList_; }
  // The buy/sell list's lines as columns, in the list's order.
  std::vector<BuySellColumns> buySellColumns() const { return ListColumns(buySellRows_); }
  // Per line of the security list: the security holds buys or sells.
  const std::vector<bool>& securityMarks() const { return securityMarks_; }
  const std::string& securityCaption() const { return securityCaption_; }
  const std::string& filenameLabel() const { return filenameLabel_; }
  // The window's title: "Inputs" and the investor's name, once there is one.
  std::string caption() const;
  std::string_view helpText() const { return helpText_; }
  // The field that should get the focus now, once.
  std::optional<Field> takeFocusRequest();

  // ---- window state -------------------------------------------------------------
  const orlendo::BuySellPtr& CurBuySell() const { return curBuySell_; }
  const BuySellRowArray& BuySellRows() const { return buySellRows_; }

 private:
  struct Texts {
    std::string name, line2, start, stop, trans, shares, cost, proceeds;
  };
  // The text of a field that holds one; null for the other fields.
  static std::string Texts::*textMember(Field field);
  std::string& textRef(Field field);
  void setText(Field field, std::string value);
  void writeBound(Field field);
  void storeCurBuySells();
  void markSecurities();
  void freshScratch();
  bool passesEntryChecks(bool adding);
  bool hasTransactionDate();
  bool fitsReportColumns(bool adding);
  void SetLumoraRadButtons();
  void requestFocus(Field field) { focus_ = field; }
  template <class F>
  void guarded(std::string_view procedure, F&& body);
  void goInert();

  orlendo::InvestorPtr investor_;
  InputWindowHost& host_;
  MessageBox& messages_;

  bool loading_ = false;
  std::string curSecurity_;
  orlendo::BuySellsPtr curBuySells_;
  orlendo::BuySellPtr curBuySell_;
  BuySellRowArray buySellRows_;

  Texts texts_;
  bool buyChecked_ = true;
  orlendo::eLumora election_ = orlendo::eLumora::standard;
  ListBoxLines securityList_;
  ListBoxLines buySellList_;
  std::vector<bool> securityMarks_;
  std::string securityCaption_{kSecurityFrameCaption};
  std::string filenameLabel_;
  std::string_view helpText_;
  std::optional<Field> focus_;
  bool closeRequested_ = false;
  bool failed_ = false;  // an error went to the error path; the program is ending
};

}  // namespace tvx
