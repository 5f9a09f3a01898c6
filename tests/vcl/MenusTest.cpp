#include <gtest/gtest.h>

#include <memory>

#include "VclTestSupport.h"
#include "vcl/ActnList.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"

namespace {

// ---------------------------------------------------------------- shortcut texts

struct TShortCutCase {
  TShortCut Key;
  const char16_t* Text;
};

TEST(ShortCutText, WritesAndReadsTheClassLibraryNames) {
  const TShortCutCase cases[] = {
      {ShortCut('A', ssCtrl), u"Ctrl+A"},
      {ShortCut('S', TShiftState{ssCtrl, ssShift}), u"Shift+Ctrl+S"},
      {ShortCut('7', TShiftState{ssCtrl, ssAlt}), u"Ctrl+Alt+7"},
      {ShortCut('Z', TShiftState{ssShift, ssCtrl, ssAlt}), u"Shift+Ctrl+Alt+Z"},
      {ShortCut(VK_F5, TShiftState()), u"F5"},
      {ShortCut(VK_F12, ssAlt), u"Alt+F12"},
      {ShortCut(VK_DELETE, ssCtrl), u"Ctrl+Del"},
      {ShortCut(VK_INSERT, ssShift), u"Shift+Ins"},
      {ShortCut(VK_RETURN, ssAlt), u"Alt+Enter"},
      {ShortCut(VK_ESCAPE, TShiftState()), u"Esc"},
      {ShortCut(VK_BACK, ssAlt), u"Alt+BkSp"},
      {ShortCut(VK_SPACE, ssCtrl), u"Ctrl+Space"},
      {ShortCut(VK_TAB, ssCtrl), u"Ctrl+Tab"},
      {ShortCut(VK_PRIOR, TShiftState()), u"PgUp"},
      {ShortCut(VK_NEXT, ssShift), u"Shift+PgDn"},
      {ShortCut(VK_HOME, TShiftState()), u"Home"},
      {ShortCut(VK_END, ssCtrl), u"Ctrl+End"},
      {ShortCut(VK_LEFT, TShiftState()), u"Left"},
      {ShortCut(VK_DOWN, ssAlt), u"Alt+Down"},
  };
  for (const TShortCutCase& c : cases) {
    SCOPED_TRACE(std::string(c.Text, c.Text + std::char_traits<char16_t>::length(c.Text)));
    EXPECT_EQ(ShortCutToText(c.Key), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Key);
  }
}

TEST(ShortCutText, ReadingIgnoresCaseBlanksAndOrderAndRefusesWhatItDoesNotKnow) {
  const TShortCutCase cases[] = {
      {ShortCut('A', ssCtrl), u"ctrl+a"},
      {ShortCut('S', TShiftState{ssCtrl, ssShift}), u" Shift + Ctrl + s "},
      {ShortCut('X', TShiftState{ssCtrl, ssAlt}), u"Alt+Ctrl+X"},
      {ShortCut(VK_F5, ssCtrl), u"CTRL+f5"},
      {ShortCut(VK_DELETE, TShiftState()), u"del"},
      {0, u""},
      {0, u"Ctrl+"},
      {0, u"Ctrl+Foo"},
      {0, u"Hyper+A"},
      {0, u"F25"},
      {0, u"AB"},
  };
  for (const TShortCutCase& c : cases) {
    SCOPED_TRACE(std::string(c.Text, c.Text + std::char_traits<char16_t>::length(c.Text)));
    EXPECT_EQ(TextToShortCut(c.Text), c.Key);
  }
  EXPECT_EQ(ShortCutToText(0), u"");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_SHIFT, ssCtrl)), u"");  // a key without a name
  EXPECT_EQ(ShortCut(0x1FF, TShiftState()), 0);
  Word key = 0;
  TShiftState shift;
  ShortCutToKey(ShortCut(VK_F2, TShiftState{ssShift, ssAlt}), key, shift);
  EXPECT_EQ(key, VK_F2);
  EXPECT_EQ(shift, (TShiftState{ssShift, ssAlt}));
}

TEST(ShortCutText, HotKeysOfCaptions) {
  EXPECT_EQ(GetHotkey(u"F&ichier"), u'I');
  EXPECT_EQ(GetHotkey(u"Save && &exit"), u'E');
  EXPECT_EQ(GetHotkey(u"No hot key &&"), 0);
  EXPECT_EQ(GetHotkey(u"&?"), u'?');
  EXPECT_EQ(StripHotkey(u"Save && &Exit"), u"Save & Exit");
  EXPECT_EQ(StripHotkey(u"&File"), u"File");
}

// ---------------------------------------------------------------- fixture

class MenusTest : public TDemoControlsTest {
protected:
  // One idle round of the application (without waiting for a message).
  static void RunIdle() {
    Application->OnIdle = [](TObject*, bool& Done) { Done = false; };
    Application->Idle();
    Application->OnIdle = nullptr;
  }
  TMenuItem* FileMenu() const { return Form->menuMain->Items()->Items(0); }
  TMenuItem* ItemOf(TBasicAction* Action) const {
    for (Integer i = 0; i < FileMenu()->Count(); ++i)
      if (FileMenu()->Items(i)->Action() == Action) return FileMenu()->Items(i);
    return nullptr;
  }
  static UINT MenuState(HMENU Menu, UINT Command) { return GetMenuState(Menu, Command, MF_BYCOMMAND); }
};

// Ends the menu loop a test opened, noting which top item was showing.
Integer gDroppedWhileOpen = -2;
TActionMainMenuBar* gBar = nullptr;
void CALLBACK CloseMenuSoon(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  if (gBar) gDroppedWhileOpen = gBar->DroppedIndex();
  EndMenu();
}

// ---------------------------------------------------------------- menu bar

TEST_F(MenusTest, TopItemsAreHeadedByTheCategoriesOfTheirActions) {
  TActionMainMenuBar* bar = Form->menuMain;
  ASSERT_EQ(bar->Items()->Count(), 2);
  EXPECT_EQ(bar->TopItemCaption(0), u"&File");  // no caption: the first action's category
  EXPECT_EQ(bar->TopItemCaption(1), u"&?");
  EXPECT_EQ(bar->Items()->Items(1)->Count(), 1);  // AddCategory took the one "&?" action
  EXPECT_EQ(bar->Items()->Items(1)->Items(0)->Action(), Form->aAbout);

  // A translation of the category shows at once; an explicit caption wins.
  Form->aOpen->SetCategory(u"&Fichier");
  EXPECT_EQ(bar->TopItemCaption(0), u"&Fichier");
  FileMenu()->SetCaption(u"F&ile");
  EXPECT_EQ(bar->TopItemCaption(0), u"F&ile");

  // Aligned along the top, above the panel, items side by side.
  EXPECT_EQ(bar->Top(), 0);
  EXPECT_EQ(bar->Width(), Form->ClientWidth());
  EXPECT_EQ(Form->pTop->Top(), bar->Height());
  const TRect first = bar->ItemRect(0), second = bar->ItemRect(1);
  EXPECT_GT(first.Width(), 0);
  EXPECT_EQ(second.Left, first.Right);
  EXPECT_EQ(bar->ItemAtPos(first.Left + 1), 0);
  EXPECT_EQ(bar->ItemAtPos(second.Left + 1), 1);
  EXPECT_EQ(bar->ItemAtPos(second.Right + 5), -1);
}

TEST_F(MenusTest, MenuCommandRunsTheActionOfItsItem) {
  Integer runs = 0;
  TComponent* runBy = nullptr;
  Form->aOpen->OnExecute = [&](TObject*) {
    ++runs;
    runBy = Form->aOpen->ActionComponent();
  };
  TMenuItem* open = ItemOf(Form->aOpen);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->Caption(), u"&Open...");
  SendMessageW(Form->menuMain->Handle(), WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(runBy, open);
  EXPECT_EQ(Form->aOpen->ActionComponent(), nullptr);

  // The drop-down shows the caption with the shortcut's text and the action's image.
  HMENU menu = FileMenu()->Handle();
  wchar_t text[64] = {};
  GetMenuStringW(menu, open->Command(), text, 64, MF_BYCOMMAND);
  EXPECT_EQ(std::wstring(text), L"&Open...\tCtrl+O");
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_BITMAP;
  ASSERT_TRUE(GetMenuItemInfoW(menu, open->Command(), FALSE, &info));
  EXPECT_NE(info.hbmpItem, nullptr);
  ASSERT_TRUE(GetMenuItemInfoW(menu, ItemOf(Form->aQuit)->Command(), FALSE, &info));
  EXPECT_EQ(info.hbmpItem, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 6);  // separators included
}

TEST_F(MenusTest, IdleUpdateGreysTheMenuItemAndTheButtonOfADisabledAction) {
  TMenuItem* connect = ItemOf(Form->aConnect);
  ASSERT_NE(connect, nullptr);
  Integer runs = 0;
  Form->aConnect->OnExecute = [&](TObject*) { ++runs; };

  RunIdle();  // no host: the list's update handler disables Connect
  EXPECT_FALSE(Form->aConnect->Enabled());
  EXPECT_FALSE(connect->Enabled());
  EXPECT_TRUE(MenuState(FileMenu()->Handle(), connect->Command()) & MF_GRAYED);
  EXPECT_FALSE(Form->btnConnect->Enabled());
  EXPECT_FALSE(IsWindowEnabled(Form->btnConnect->Handle()));
  SendMessageW(Form->menuMain->Handle(), WM_COMMAND, MAKEWPARAM(connect->Command(), 0), 0);
  EXPECT_EQ(runs, 0);

  Form->edHost->SetText(u"ftp.example.org");
  RunIdle();
  EXPECT_TRUE(Form->aConnect->Enabled());
  EXPECT_FALSE(MenuState(FileMenu()->Handle(), connect->Command()) & MF_GRAYED);
  EXPECT_TRUE(IsWindowEnabled(Form->btnConnect->Handle()));
  SendMessageW(Form->menuMain->Handle(), WM_COMMAND, MAKEWPARAM(connect->Command(), 0), 0);
  EXPECT_EQ(runs, 1);

  // The list stops answering while suspended.
  Form->Actions->SetState(asSuspended);
  Form->edHost->SetText(u"");
  RunIdle();
  EXPECT_TRUE(Form->aConnect->Enabled());
  Form->Actions->SetState(asNormal);
}

TEST_F(MenusTest, ShortcutsOfActionsRunThroughTheFormsKeyHandling) {
  Integer opens = 0, connects = 0;
  Form->aOpen->OnExecute = [&](TObject*) { ++opens; };
  Form->aConnect->OnExecute = [&](TObject*) { ++connects; };
  EXPECT_TRUE(Form->IsShortCut('O', ssCtrl));
  EXPECT_EQ(opens, 1);
  EXPECT_FALSE(Form->IsShortCut('O', TShiftState()));
  EXPECT_FALSE(Form->IsShortCut('Q', ssCtrl));

  // The whole road: a key press posted to the focused edit, with Ctrl held.
  Form->edHost->SetFocus();
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  PostMessageW(Form->edHost->Handle(), WM_KEYDOWN, 'O', 1);
  Application->ProcessMessages();
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(opens, 2);
  EXPECT_EQ(Form->edHost->Text(), u"");  // the key went to the action, not the edit

  // A disabled action's shortcut runs nothing.
  Form->edHost->SetText(u"");
  EXPECT_FALSE(Form->IsShortCut(VK_F5, TShiftState()));
  EXPECT_EQ(connects, 0);
  Form->edHost->SetText(u"host");
  EXPECT_TRUE(Form->IsShortCut(VK_F5, TShiftState()));
  EXPECT_EQ(connects, 1);
}

TEST_F(MenusTest, AltAndTheHotKeyDropsTheMenuDown) {
  gBar = Form->menuMain;
  gDroppedWhileOpen = -2;
  SetTimer(nullptr, 0, 200, &CloseMenuSoon);
  EXPECT_TRUE(Form->IsShortCut('F', ssAlt));
  EXPECT_EQ(gDroppedWhileOpen, 0);
  EXPECT_EQ(Form->menuMain->DroppedIndex(), -1);
  EXPECT_FALSE(Form->IsShortCut('X', ssAlt));
  gBar = nullptr;
}

// Keys while a drop-down shows: a timer presses Right, then notes what shows
// and closes the menu.
HWND gKeyWindow = nullptr;
bool gFirstHilited = false;
void CALLBACK NoteAndCloseMenu(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  if (gBar) {
    gDroppedWhileOpen = gBar->DroppedIndex();
    if (gDroppedWhileOpen >= 0) {
      HMENU shown = gBar->Items()->Items(gDroppedWhileOpen)->Handle();
      gFirstHilited = (GetMenuState(shown, 0, MF_BYPOSITION) & MF_HILITE) != 0;
    }
  }
  EndMenu();
}
void CALLBACK PressRight(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  PostMessageW(gKeyWindow, WM_KEYDOWN, VK_RIGHT, 1);
  SetTimer(nullptr, 0, 300, &NoteAndCloseMenu);
}

TEST_F(MenusTest, RightMovesToTheNextMenuWithItsFirstItemSelected) {
  gBar = Form->menuMain;
  gKeyWindow = Form->Handle();
  gDroppedWhileOpen = -2;
  gFirstHilited = false;
  SetTimer(nullptr, 0, 300, &PressRight);
  EXPECT_TRUE(Form->IsShortCut('F', ssAlt));
  EXPECT_EQ(gDroppedWhileOpen, 1);
  EXPECT_TRUE(gFirstHilited);
  EXPECT_EQ(Form->menuMain->DroppedIndex(), -1);
  // Right on the last menu goes round to the first.
  gDroppedWhileOpen = -2;
  SetTimer(nullptr, 0, 300, &PressRight);
  Form->menuMain->DropDown(1, true);
  EXPECT_EQ(gDroppedWhileOpen, 0);
  gBar = nullptr;
}

TEST_F(MenusTest, FreeingAnActionLeavesItsItemsAndButtonsAlone) {
  TMenuItem* about = Form->menuMain->Items()->Items(1)->Items(0);
  delete Form->aAbout;
  Form->aAbout = nullptr;
  EXPECT_EQ(about->Action(), nullptr);
  EXPECT_EQ(about->Caption(), u"&About...");
  EXPECT_EQ(Form->Actions->ActionCount(), 4);
  delete Form->aConnect;
  Form->aConnect = nullptr;
  EXPECT_EQ(Form->btnConnect->Action(), nullptr);
  SendMessageW(Form->btnConnect->Handle(), BM_CLICK, 0, 0);  // nothing to run, nothing breaks
  RunIdle();
}

// ---------------------------------------------------------------- popup menu

TEST_F(MenusTest, PopupMenuFiresOnPopupForItsControlAndClicksItsItems) {
  TPopupMenu* menu = Form->pmLog;
  Integer popups = 0;
  menu->OnPopup = [&](TObject* Sender) {
    EXPECT_EQ(Sender, menu);
    ++popups;
  };
  Form->PageControl1->SetActivePage(Form->tsLog);
  SetTimer(nullptr, 0, 200, &CloseMenuSoon);
  EXPECT_TRUE(Form->meLog->ShowContextPopup({10, 10}, Form->meLog->ClientToScreen({10, 10})));
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(menu->PopupComponent, Form->meLog);

  // AutoCheck flips the check mark on each click; the menu shows it.
  EXPECT_FALSE(Form->mStopScroll->Checked());
  EXPECT_TRUE(menu->DispatchCommand(Form->mStopScroll->Command()));
  EXPECT_TRUE(Form->mStopScroll->Checked());
  EXPECT_TRUE(MenuState(menu->Handle(), Form->mStopScroll->Command()) & MF_CHECKED);
  menu->DispatchCommand(Form->mStopScroll->Command());
  EXPECT_FALSE(MenuState(menu->Handle(), Form->mStopScroll->Command()) & MF_CHECKED);
  EXPECT_FALSE(menu->DispatchCommand(0xFFFF - 0x7000));

  // The item's own shortcut works through the menu.
  Form->AddLogLine(u"line", clNavy);
  EXPECT_TRUE(menu->IsShortCut(VK_DELETE, ssCtrl));
  EXPECT_EQ(Form->meLog->Text(), u"");
}

TEST_F(MenusTest, RadioItemsOfAGroupCheckOneAtATime) {
  TPopupMenu* menu = new TPopupMenu(Form);
  TMenuItem* items[3];
  for (auto*& item : items) {
    item = NewItem(Form, u"choice");
    item->SetRadioItem(true);
    item->SetGroupIndex(1);
    item->SetAutoCheck(true);
    menu->Items()->Add(item);
  }
  TMenuItem* other = NewItem(Form, u"other group");
  other->SetRadioItem(true);
  other->SetGroupIndex(2);
  other->SetChecked(true);
  menu->Items()->Add(other);

  items[0]->SetChecked(true);
  menu->DispatchCommand(items[2]->Command());
  EXPECT_FALSE(items[0]->Checked());
  EXPECT_TRUE(items[2]->Checked());
  EXPECT_TRUE(other->Checked());
  menu->DispatchCommand(items[2]->Command());  // a checked radio item stays checked
  EXPECT_TRUE(items[2]->Checked());
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STATE;
  ASSERT_TRUE(GetMenuItemInfoW(menu->Handle(), items[2]->Command(), FALSE, &info));
  EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
  EXPECT_TRUE(info.fState & MFS_CHECKED);

  // Freeing an item takes it out of its menu; hiding one takes it off the screen.
  delete items[1];
  EXPECT_EQ(menu->Items()->Count(), 3);
  other->SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(menu->Handle()), 2);
  delete menu;  // frees its items; the form must not free them again
}

TEST_F(MenusTest, SubMenusKeepTheirHandlesAcrossChanges) {
  TPopupMenu* menu = new TPopupMenu(Form);
  TMenuItem* sub = NewItem(Form, u"More");
  TMenuItem* leaf = NewItem(Form, u"Leaf");
  sub->Add(leaf);
  menu->Items()->Add(sub);
  HMENU root = menu->Handle();
  HMENU child = GetSubMenu(root, 0);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child, sub->Handle());
  leaf->SetEnabled(false);  // a change deep down rebuilds the path to the root
  EXPECT_EQ(menu->Handle(), root);
  EXPECT_TRUE(MenuState(GetSubMenu(root, 0), leaf->Command()) & MF_GRAYED);
  EXPECT_EQ(menu->Items()->Find(leaf->Command()), leaf);
  Integer clicks = 0;
  leaf->OnClick = [&](TObject*) { ++clicks; };
  menu->DispatchCommand(leaf->Command());
  EXPECT_EQ(clicks, 0);  // disabled
  leaf->SetEnabled(true);
  menu->DispatchCommand(leaf->Command());
  EXPECT_EQ(clicks, 1);
  EXPECT_THROW(menu->Items()->Add(leaf), EInvalidOperation);
  delete menu;
}

// ---------------------------------------------------------------- image lists

TEST_F(MenusTest, ImageListMasksDrawsAndTellsItsClients) {
  TImageList* images = Form->Images;
  EXPECT_EQ(images->Count(), 3);
  EXPECT_EQ(images->Width(), 16);

  TBitmap canvas(40, 20);
  canvas.Canvas()->Brush()->SetColor(clWhite);
  canvas.Canvas()->FillRect(Rect(0, 0, 40, 20));
  images->Draw(canvas.Canvas(), 0, 0, 1);
  images->Draw(canvas.Canvas(), 20, 0, 1, false);
  EXPECT_EQ(canvas.Canvas()->Pixel(8, 8), clLime);
  EXPECT_EQ(canvas.Canvas()->Pixel(0, 0), clWhite);  // the magenta corner was masked out
  EXPECT_NE(canvas.Canvas()->Pixel(28, 8), clLime);  // disabled: greyed
  EXPECT_EQ(canvas.Canvas()->Pixel(20, 0), clWhite);
  images->Draw(canvas.Canvas(), 0, 0, 99);  // out of range: nothing, no error

  TBitmap copy;
  images->GetBitmap(2, &copy);
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_EQ(copy.Canvas()->Pixel(8, 8), clBlue);

  TChangeLink link;
  Integer changes = 0;
  link.OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, images);
    ++changes;
  };
  images->RegisterChanges(&link);
  images->BeginUpdate();
  TBitmap strip(32, 16);  // two images at once
  EXPECT_EQ(images->AddMasked(&strip, clFuchsia), 3);
  images->Delete(4);
  EXPECT_EQ(changes, 0);
  images->EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(images->Count(), 4);
  EXPECT_THROW(images->Delete(10), EInvalidOperation);
  EXPECT_THROW(images->AddResourceBitmap(GetModuleHandleW(nullptr), u"NO_SUCH_BITMAP"), EResNotFound);

  // Freed, the list leaves the actions and menus that showed it.
  delete images;
  Form->Images = nullptr;
  EXPECT_EQ(Form->Actions->Images(), nullptr);
  EXPECT_EQ(Form->pmLog->Images(), nullptr);
  EXPECT_EQ(link.Sender(), nullptr);
  EXPECT_NE(Form->pmLog->Handle(), nullptr);
}

}  // namespace
