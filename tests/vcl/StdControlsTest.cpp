#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "VclTestSupport.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"
#include "vcl/ComCtrls.h"
#include "vcl/StdCtrls.h"

namespace {

class StdControlsTest : public TDemoControlsTest {
protected:
  static void Type(TWinControl* Control, const String& Text) {
    for (Char c : Text) SendMessageW(Control->Handle(), WM_CHAR, c, 1);
  }
  // A notification as the control sends it to its parent window.
  static void Notify(TWinControl* Control, WORD Code) {
    SendMessageW(GetParent(Control->Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Control->Handle()), Code),
                 reinterpret_cast<LPARAM>(Control->Handle()));
  }
  static LRESULT NotifyTab(TPageControl* Pages, UINT Code) {
    NMHDR header{Pages->Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(Pages->Handle())), Code};
    return SendMessageW(GetParent(Pages->Handle()), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  }
  static void Pump(int Ms) { testsupport::PumpMessagesFor(Ms); }
  static COLORREF ColorAt(TRichEdit* Edit, Integer Position) {
    Edit->SetRichSelStart(Position);
    Edit->SetRichSelLength(1);
    return static_cast<COLORREF>(Edit->SelAttributes()->Color());
  }
};

// ---------------------------------------------------------------- edits

TEST_F(StdControlsTest, TypingIntoAnEditChangesItsTextAndFiresOnChange) {
  TEdit* edit = Form->edHost;
  Integer changes = 0;
  edit->OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, edit);
    ++changes;
  };
  Type(edit, u"ftp.x");
  EXPECT_EQ(edit->Text(), u"ftp.x");
  EXPECT_EQ(changes, 5);
  EXPECT_TRUE(edit->Modified());
  edit->SetText(u"host");  // set by code: OnChange too
  EXPECT_EQ(changes, 6);
  edit->SetText(u"host");  // same text: nothing
  EXPECT_EQ(changes, 6);
  edit->SelectAll();
  EXPECT_EQ(edit->SelLength(), 4);
  edit->SetSelStart(1);
  edit->SetSelLength(2);
  EXPECT_EQ(edit->SelText(), u"os");
  edit->SetSelText(u"00");
  EXPECT_EQ(edit->Text(), u"h00t");
}

TEST_F(StdControlsTest, EditOptionsLimitWhatCanBeTyped) {
  TEdit* pass = Form->edPass;
  EXPECT_EQ(SendMessageW(pass->Handle(), EM_GETPASSWORDCHAR, 0, 0), u'*');
  Type(pass, u"secret");
  EXPECT_EQ(pass->Text(), u"secret");  // masked on screen, not in Text

  TEdit* edit = Form->edHost;
  edit->SetMaxLength(3);
  Type(edit, u"abcdef");
  EXPECT_EQ(edit->Text(), u"abc");
  edit->SetMaxLength(0);
  edit->Clear();
  edit->SetNumbersOnly(true);
  Type(edit, u"a1b2");
  EXPECT_EQ(edit->Text(), u"12");
  edit->SetReadOnly(true);
  Type(edit, u"3");
  EXPECT_EQ(edit->Text(), u"12");

  // Changing the mask makes a new window; text and state carry over.
  HWND before = pass->Handle();
  pass->SetPasswordChar(0);
  EXPECT_NE(pass->Handle(), before);
  EXPECT_EQ(pass->Text(), u"secret");
  EXPECT_EQ(SendMessageW(pass->Handle(), EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(StdControlsTest, MemoLinesAreTheLinesOfItsText) {
  TMemo* memo = Form->meComment;
  ASSERT_EQ(memo->Lines()->Count(), 2);
  EXPECT_EQ(memo->Lines()->Strings(1), u"Second line");
  EXPECT_EQ(memo->Text(), u"First line\r\nSecond line");
  memo->Lines()->Insert(1, u"middle");
  EXPECT_EQ(memo->Lines()->Count(), 3);
  memo->Lines()->Delete(0);
  EXPECT_EQ(memo->Text(), u"middle\r\nSecond line");
  memo->SetText(u"one\r\n");
  EXPECT_EQ(memo->Lines()->Count(), 1);
  EXPECT_THROW(memo->Lines()->Strings(5), EStringListError);
  // Enter stays in the memo, Tab and Escape go to the form.
  EXPECT_TRUE(SendMessageW(memo->Handle(), WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS);
  EXPECT_FALSE(SendMessageW(memo->Handle(), WM_GETDLGCODE, VK_TAB, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS));
  EXPECT_FALSE(SendMessageW(memo->Handle(), WM_GETDLGCODE, VK_ESCAPE, 0) & DLGC_WANTALLKEYS);
}

// ---------------------------------------------------------------- lists

TEST_F(StdControlsTest, ComboBoxSelectionByTheUserFiresOnChange) {
  TComboBox* combo = Form->cbUnit;
  Integer changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), u"Gio");

  SendMessageW(combo->Handle(), CB_SETCURSEL, 0, 0);
  Notify(combo, CBN_SELCHANGE);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(combo->Text(), u"Mio");

  combo->SetItemIndex(1);  // by code: no event
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCURSEL, 0, 0), 1);
  combo->Items()->Add(u"Tio");
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(combo->ItemIndex(), 1);  // kept across the refill
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->Items()->Clear();
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 0);
  // The box keeps its closed height whatever the layout asks.
  const Integer height = combo->Height();
  combo->SetBounds(combo->Left(), combo->Top(), 120, 200);
  EXPECT_EQ(combo->Width(), 120);
  EXPECT_EQ(combo->Height(), height);
}

TEST_F(StdControlsTest, ListBoxClickSelects) {
  TListBox* list = Form->lbSites;
  Integer clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  SendMessageW(list->Handle(), LB_SETCURSEL, 2, 0);
  Notify(list, LBN_SELCHANGE);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(list->Items()->Strings(list->ItemIndex()), u"mirror.example.com");
  EXPECT_GT(list->ItemHeight(), 0);
}

// ---------------------------------------------------------------- buttons

TEST_F(StdControlsTest, CheckBoxAndRadioButtonsKeepTheirStateInTheObject) {
  TCheckBox* box = Form->cbPassive;
  Integer clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(clicks, 1);
  box->SetChecked(true);  // the class library clicks on a change by code too
  EXPECT_EQ(clicks, 2);
  box->SetAllowGrayed(true);
  box->SetChecked(false);
  SendMessageW(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(box->State(), cbGrayed);

  EXPECT_TRUE(Form->rbPassive->Checked());
  SendMessageW(Form->rbActive->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(Form->rbActive->Checked());
  EXPECT_FALSE(Form->rbPassive->Checked());
  EXPECT_EQ(SendMessageW(Form->rbPassive->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(StdControlsTest, DefaultAndCancelButtonsAnswerEnterAndEscape) {
  Integer connects = 0;
  Form->aConnect->OnExecute = [&](TObject*) { ++connects; };
  Form->edHost->SetText(u"ftp.example.org");
  EXPECT_EQ(Form->btnConnect->Caption(), u"&Connect");  // from the action
  EXPECT_TRUE(GetWindowLongPtrW(Form->btnConnect->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);

  // Enter in the edit: the edit does not want it, the default button takes it.
  Form->edHost->SetFocus();
  PostMessageW(Form->edHost->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  Application->ProcessMessages();
  EXPECT_EQ(connects, 1);
  SendMessageW(Form->btnConnect->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(connects, 2);

  TButton* cancel = new TButton(Form);
  cancel->SetCaption(u"Cancel");
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  cancel->SetParent(Form->pTop);
  Integer cancels = 0;
  cancel->OnClick = [&](TObject*) { ++cancels; };
  Word key = VK_ESCAPE;
  bool handled = false;
  Form->DialogKey(key, TShiftState(), handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(Form->ModalResult(), mrCancel);
  EXPECT_EQ(connects, 2);
}

// ---------------------------------------------------------------- pages

TEST_F(StdControlsTest, SwitchingTabsShowsOnePageAndMayBeRefused) {
  TPageControl* pages = Form->PageControl1;
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(pages->ActivePage(), Form->tsGeneral);
  EXPECT_TRUE(IsWindowVisible(Form->tsGeneral->Handle()));
  EXPECT_FALSE(IsWindowVisible(Form->tsLog->Handle()));
  EXPECT_EQ(Form->tsGeneral->BoundsRect(), pages->DisplayRect());

  Integer changes = 0;
  bool allow = true;
  pages->OnChange = [&](TObject*) { ++changes; };
  pages->OnChanging = [&](TObject*, bool& Allow) { Allow = allow; };
  // What the tab control does on a click on the second tab.
  EXPECT_EQ(NotifyTab(pages, TCN_SELCHANGING), FALSE);
  SendMessageW(pages->Handle(), TCM_SETCURSEL, 1, 0);
  NotifyTab(pages, TCN_SELCHANGE);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(pages->ActivePage(), Form->tsLog);
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  EXPECT_TRUE(IsWindowVisible(Form->tsLog->Handle()));
  EXPECT_FALSE(IsWindowVisible(Form->tsGeneral->Handle()));
  EXPECT_EQ(Form->tsLog->BoundsRect(), pages->DisplayRect());

  allow = false;
  EXPECT_EQ(NotifyTab(pages, TCN_SELCHANGING), TRUE);
  pages->SelectNextPage(true);
  EXPECT_EQ(pages->ActivePage(), Form->tsLog);

  // A hidden tab leaves the strip; its page is skipped.
  Form->tsPictures->SetTabVisible(false);
  EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(pages->FindNextPage(Form->tsLog, true), Form->tsGeneral);
  EXPECT_EQ(Form->tsPictures->TabIndex(), -1);
  pages->SetActivePageIndex(0);
  EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(changes, 1);  // by code: no event
}

// ---------------------------------------------------------------- status bar

TEST_F(StdControlsTest, StatusPanelsShowTheirTextsAndTheOwnerDrawnOne) {
  TStatusBar* bar = Form->SBar;
  EXPECT_EQ(bar->Panels()->Count(), 4);
  EXPECT_EQ(bar->Top() + bar->Height(), Form->ClientHeight());
  EXPECT_EQ(bar->PanelText(0), u"Disconnected");
  EXPECT_EQ(bar->PanelText(2), u"10 GiB free");
  bar->Panels()->Items(0)->SetText(u"Connected");
  EXPECT_EQ(bar->PanelText(0), u"Connected");
  // The class reports the inside of a panel's border; the right edges are ours.
  EXPECT_EQ(bar->PanelRect(0).Right, 80);
  EXPECT_EQ(bar->PanelRect(1).Right, 80 + 117);

  Integer draws = 0;
  auto draw = bar->OnDrawPanel;
  bar->OnDrawPanel = [&](TStatusBar* Bar, TStatusPanel* Panel, const TRect& R) {
    EXPECT_EQ(Panel, Bar->Panels()->Items(1));
    ++draws;
    draw(Bar, Panel, R);
  };
  InvalidateRect(bar->Handle(), nullptr, TRUE);
  UpdateWindow(bar->Handle());
  EXPECT_GE(draws, 1);

  bar->Panels()->Items(1)->SetWidth(150);
  EXPECT_EQ(bar->PanelRect(1).Right, 80 + 150);
  bar->SetSimpleText(u"Scanning...");
  bar->SetSimplePanel(true);
  EXPECT_EQ(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0), TRUE);
  bar->SetSimplePanel(false);
  EXPECT_EQ(bar->PanelText(0), u"Connected");
}

// ---------------------------------------------------------------- rich edit

TEST_F(StdControlsTest, RichEditLogKeepsTheColourOfEachLine) {
  TRichEdit* log = Form->meLog;
  Form->AddLogLine(u"Command :\tUSER me", clNavy);
  Form->AddLogLine(u"Answer :\t331 Password required", clGreen);
  Form->AddLogLine(u"Command :\tPASS ******", clNavy);
  ASSERT_EQ(log->Lines()->Count(), 3);
  EXPECT_EQ(log->Lines()->Strings(1), u"Answer :\t331 Password required");
  const Integer second = static_cast<Integer>(log->Lines()->Strings(0).size()) + 1;
  EXPECT_EQ(ColorAt(log, 0), RGB(0, 0, 0x80));
  EXPECT_EQ(ColorAt(log, second), RGB(0, 0x80, 0));
  EXPECT_EQ(ColorAt(log, log->GetTextLen() - 1), RGB(0, 0, 0x80));

  // Read-only for the user; far beyond the 32K default for the program.
  const String before = log->Text();
  Type(log, u"x");
  EXPECT_EQ(log->Text(), before);
  String big;
  for (int i = 0; i < 500; ++i) big += String(80, u'a') + u"\r\n";
  Form->AddLogLine(big, clGreen);
  EXPECT_GT(log->GetTextLen(), 40000);
}

TEST_F(StdControlsTest, RichEditLoadsRtfFromAResource) {
  TRichEdit* log = Form->meLog;
  log->LoadFromResource(GetModuleHandleW(nullptr), u"HISTORY");
  EXPECT_EQ(log->Lines()->Strings(0), u"Version history");
  EXPECT_EQ(log->Lines()->Strings(1), u"1.0: first release");
  EXPECT_EQ(ColorAt(log, static_cast<Integer>(log->Lines()->Strings(0).size()) + 1), RGB(0, 0x80, 0));
  EXPECT_THROW(log->LoadFromResource(GetModuleHandleW(nullptr), u"NO_SUCH_TEXT"), EResNotFound);
  // The formatting survives a new window.
  log->SetWordWrap(false);
  EXPECT_EQ(ColorAt(log, static_cast<Integer>(log->Lines()->Strings(0).size()) + 1), RGB(0, 0x80, 0));
}

// ---------------------------------------------------------------- the rest

TEST_F(StdControlsTest, LabelSizesToItsTextAndItsHotKeyFocusesItsControl) {
  TLabel* label = Form->lblHost;
  const Integer width = label->Width();
  EXPECT_GT(width, 0);
  label->SetCaption(u"&Host name or address:");
  EXPECT_GT(label->Width(), width);
  label->SetAutoSize(false);
  label->SetCaption(u"&H");
  EXPECT_GT(label->Width(), width);  // no longer follows

  Form->cbPassive->SetFocus();
  EXPECT_TRUE(Form->IsShortCut('H', ssAlt));
  EXPECT_TRUE(Form->edHost->Focused());
  EXPECT_FALSE(Form->IsShortCut('H', TShiftState()));
}

TEST_F(StdControlsTest, TrackBarMovesReachOnChange) {
  TTrackBar* track = Form->tbZoom;
  SendMessageW(track->Handle(), TBM_SETPOS, TRUE, 12);
  SendMessageW(GetParent(track->Handle()), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 12),
               reinterpret_cast<LPARAM>(track->Handle()));
  EXPECT_EQ(track->Position(), 12);
  EXPECT_EQ(Form->stZoom->Caption(), u"Zoom 12");
  track->SetPosition(50);  // clamped to the range
  EXPECT_EQ(track->Position(), 20);
  EXPECT_EQ(SendMessageW(track->Handle(), TBM_GETPOS, 0, 0), 20);
}

TEST_F(StdControlsTest, ImageFitsItsPictureProportionally) {
  TImage* image = Form->imgLogo;
  EXPECT_EQ(image->DestRect(), Rect(0, 32, 128, 96));
  image->SetProportional(false);
  EXPECT_EQ(image->DestRect(), Rect(0, 0, 128, 128));
  image->SetStretch(false);
  EXPECT_EQ(image->DestRect(), Rect(32, 48, 96, 80));
  image->SetCenter(false);
  EXPECT_EQ(image->DestRect(), Rect(0, 0, 64, 32));
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 64);
}

TEST_F(StdControlsTest, ScreenshotsOfTheControlsForm) {
  Form->edHost->SetText(u"ftp.example.org");
  Form->AddLogLine(u"Command :\tUSER anonymous", clNavy);
  Form->AddLogLine(u"Answer :\t230 Login successful", clGreen);
  auto shoot = [this](const wchar_t* File) {
    Pump(150);
    Form->Update();
    auto shot = testsupport::ClientSurfaceImage(Form);
    shot->SaveToFile(reinterpret_cast<const Char*>(File));
    EXPECT_NE(GetFileAttributesW(File), INVALID_FILE_ATTRIBUTES);
    return shot->Canvas()->Pixel(Form->SBar->PanelRect(1).Left + 4, Form->SBar->Top() + 8);
  };
  // The owner-drawn panel shows its bar.
  EXPECT_EQ(shoot(L"vcl_controls_general.bmp"), clNavy);
  Form->PageControl1->SetActivePage(Form->tsLog);
  shoot(L"vcl_controls_log.bmp");
  Form->PageControl1->SetActivePage(Form->tsPictures);
  shoot(L"vcl_controls_pictures.bmp");
}

}  // namespace
