#include "vcl/ComCtrls.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "rtl/Resources.h"
#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"

namespace {

constexpr TControlStyle kNativeStyle{csSetCaption, csDoubleClicks};

// ---------------------------------------------------------------- rich edit library

// The newest rich edit the system has, loaded once for the process (the
// window class lives as long as the library).
const char16_t* RichEditClass() {
  static const char16_t* name = []() -> const char16_t* {
    if (LoadLibraryW(L"Msftedit.dll")) return u"RICHEDIT50W";
    if (LoadLibraryW(L"riched20.dll")) return u"RichEdit20W";
    throw EOSError(u"No rich edit library");
  }();
  return name;
}

struct TStreamCookie {
  TStream* Stream;
  TCallbackGuard Guard;
};

DWORD CALLBACK StreamIn(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
  auto* c = reinterpret_cast<TStreamCookie*>(Cookie);
  *Done = 0;
  return c->Guard.Run([&] { *Done = c->Stream->Read(Buffer, Count); }) ? 0 : 1;
}

DWORD CALLBACK StreamOut(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
  auto* c = reinterpret_cast<TStreamCookie*>(Cookie);
  *Done = 0;
  return c->Guard.Run([&] { *Done = c->Stream->Write(Buffer, Count); }) ? 0 : 1;
}

}  // namespace

// ---------------------------------------------------------------- TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FVisible = false;
}

void TTabSheet::BeforeDestruction() {
  SetPageControl(nullptr);
  TWinControl::BeforeDestruction();
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (Value == FPageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(Value);
  if (Value) Value->InsertPage(this);
}

Integer TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& pages = FPageControl->FPages;
  return static_cast<Integer>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(Integer Value) {
  if (!FPageControl) return;
  auto& pages = FPageControl->FPages;
  pages.erase(std::find(pages.begin(), pages.end(), this));
  Value = std::clamp<Integer>(Value, 0, static_cast<Integer>(pages.size()));
  pages.insert(pages.begin() + Value, this);
  FPageControl->UpdateTabs();
}

Integer TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabVisible) return -1;
  Integer index = 0;
  for (TTabSheet* page : FPageControl->FPages) {
    if (page == this) return index;
    if (page->FTabVisible) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
  if (Value == FTabVisible) return;
  FTabVisible = Value;
  if (FPageControl) {
    if (!Value && FPageControl->FActivePage == this)
      FPageControl->SetActivePage(FPageControl->FindNextPage(this, true));
    FPageControl->UpdateTabs();
  }
}

void TTabSheet::SetImageIndex(TImageIndex Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  if (FPageControl) FPageControl->UpdateTabs();
}

void TTabSheet::TextChanged() {
  TWinControl::TextChanged();
  if (FPageControl) FPageControl->UpdateTabs();
}

// ---------------------------------------------------------------- TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = kNativeStyle + csAcceptsControls;
  StoreBounds(0, 0, 289, 193);
  SetTabStop(true);
}

void TPageControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SubClassOf = u"SysTabControl32";
  Params.Style |= WS_TABSTOP | WS_CLIPCHILDREN | TCS_TABS;
}

void TPageControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateTabs();
}

void TPageControl::InsertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  Page->FPageControl = this;
  UpdateTabs();
  if (!FActivePage && Page->FTabVisible) SetActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page) {
  TTabSheet* next = FActivePage == Page ? FindNextPage(Page, true) : FActivePage;
  if (next == Page) next = nullptr;
  FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
  Page->FPageControl = nullptr;
  if (FActivePage == Page) FActivePage = nullptr;
  if (!ComponentState().Contains(csDestroying)) {
    UpdateTabs();
    SetActivePage(next);
  }
}

void TPageControl::UpdateTabs() {
  if (!FHandle || FUpdatingTabs) return;
  FUpdatingTabs = true;
  ::SendMessageW(FHandle, TCM_DELETEALLITEMS, 0, 0);
  Integer index = 0;
  for (TTabSheet* page : FPages) {
    if (!page->FTabVisible) continue;
    String caption = page->Caption();
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = reinterpret_cast<wchar_t*>(caption.data());
    item.iImage = page->FImageIndex;
    ::SendMessageW(FHandle, TCM_INSERTITEMW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
  }
  if (FActivePage) ::SendMessageW(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FActivePage->TabIndex()), 0);
  FUpdatingTabs = false;
  Realign();
}

TRect TPageControl::DisplayRect() {
  TRect client = ClientRect();
  if (!FHandle) return {client.Left + 4, client.Top + 24, client.Right - 4, client.Bottom - 4};
  RECT r{client.Left, client.Top, client.Right, client.Bottom};
  ::SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return {r.left, r.top, std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

void TPageControl::AlignControls(TControl* AControl) {
  TWinControl::AlignControls(AControl);
  const TRect display = DisplayRect();
  for (TTabSheet* page : FPages)
    if (!(page->BoundsRect() == display)) page->SetBoundsRect(display);
}

Integer TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(Integer Value) {
  SetActivePage(Value >= 0 && Value < PageCount() ? FPages[static_cast<std::size_t>(Value)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->FPageControl != this) return;
  if (Page == FActivePage) return;
  TTabSheet* old = FActivePage;
  FActivePage = Page;
  if (Page) {
    Page->SetBoundsRect(DisplayRect());
    Page->BringToFront();
    Page->SetVisible(true);
    if (FHandle) ::SendMessageW(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Page->TabIndex()), 0);
  }
  if (old) old->SetVisible(false);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* Current, bool GoForward) const {
  const Integer n = PageCount();
  if (n == 0) return nullptr;
  Integer start = Current ? Current->PageIndex() : (GoForward ? n - 1 : 0);
  if (start < 0) start = GoForward ? n - 1 : 0;
  Integer i = start;
  for (Integer step = 0; step < n; ++step) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    if (FPages[static_cast<std::size_t>(i)]->FTabVisible) return FPages[static_cast<std::size_t>(i)];
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
  TTabSheet* next = FindNextPage(FActivePage, GoForward);
  if (!next || next == FActivePage || !CanChange()) return;
  SetActivePage(next);
  Change();
}

bool TPageControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

void TPageControl::WndProc(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    const auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (header->code == static_cast<UINT>(TCN_SELCHANGING)) {
      Message.Result = CanChange() ? FALSE : TRUE;
      return;
    }
    if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
      const Integer tab = static_cast<Integer>(::SendMessageW(FHandle, TCM_GETCURSEL, 0, 0));
      for (TTabSheet* page : FPages)
        if (page->TabIndex() == tab && tab >= 0) {
          SetActivePage(page);
          break;
        }
      Change();
      return;
    }
    return;
  }
  TWinControl::WndProc(Message);
}

// ---------------------------------------------------------------- TTextAttributes

namespace {
CHARFORMAT2W GetFormat(const TTextAttributes& A) {
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  ::SendMessageW(A.RichEdit()->Handle(), EM_GETCHARFORMAT,
                 A.AttributeType() == atSelected ? SCF_SELECTION : SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  return format;
}

void SetFormat(const TTextAttributes& A, CHARFORMAT2W& Format) {
  Format.cbSize = sizeof(Format);
  ::SendMessageW(A.RichEdit()->Handle(), EM_SETCHARFORMAT,
                 A.AttributeType() == atSelected ? SCF_SELECTION : SCF_DEFAULT, reinterpret_cast<LPARAM>(&Format));
}
}  // namespace

TColor TTextAttributes::Color() const {
  const CHARFORMAT2W format = GetFormat(*this);
  if (format.dwEffects & CFE_AUTOCOLOR) return clWindowText;
  return static_cast<TColor>(format.crTextColor);
}

void TTextAttributes::SetColor(TColor Value) {
  CHARFORMAT2W format{};
  format.dwMask = CFM_COLOR;
  if (Value == clWindowText)
    format.dwEffects = CFE_AUTOCOLOR;
  else
    format.crTextColor = static_cast<COLORREF>(ColorToRGB(Value));
  SetFormat(*this, format);
}

TFontStyles TTextAttributes::Style() const {
  const CHARFORMAT2W format = GetFormat(*this);
  TFontStyles style;
  if (format.dwEffects & CFE_BOLD) style.Include(fsBold);
  if (format.dwEffects & CFE_ITALIC) style.Include(fsItalic);
  if (format.dwEffects & CFE_UNDERLINE) style.Include(fsUnderline);
  if (format.dwEffects & CFE_STRIKEOUT) style.Include(fsStrikeOut);
  return style;
}

void TTextAttributes::SetStyle(TFontStyles Value) {
  CHARFORMAT2W format{};
  format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
  if (Value.Contains(fsBold)) format.dwEffects |= CFE_BOLD;
  if (Value.Contains(fsItalic)) format.dwEffects |= CFE_ITALIC;
  if (Value.Contains(fsUnderline)) format.dwEffects |= CFE_UNDERLINE;
  if (Value.Contains(fsStrikeOut)) format.dwEffects |= CFE_STRIKEOUT;
  SetFormat(*this, format);
}

String TTextAttributes::Name() const {
  const CHARFORMAT2W format = GetFormat(*this);
  return String(reinterpret_cast<const Char*>(format.szFaceName));
}

void TTextAttributes::SetName(const String& Value) {
  CHARFORMAT2W format{};
  format.dwMask = CFM_FACE;
  const std::size_t n = std::min<std::size_t>(Value.size(), LF_FACESIZE - 1);
  std::memcpy(format.szFaceName, Value.data(), n * sizeof(Char));
  SetFormat(*this, format);
}

Integer TTextAttributes::Size() const { return GetFormat(*this).yHeight / 20; }

void TTextAttributes::SetSize(Integer Value) {
  CHARFORMAT2W format{};
  format.dwMask = CFM_SIZE;
  format.yHeight = Value * 20;
  SetFormat(*this, format);
}

void TTextAttributes::Assign(TPersistent* Source) {
  if (auto* font = dynamic_cast<TFont*>(Source)) {
    SetColor(font->Color());
    SetName(font->Name());
    SetSize(font->Size());
    SetStyle(font->Style());
    return;
  }
  if (auto* other = dynamic_cast<TTextAttributes*>(Source)) {
    CHARFORMAT2W format = GetFormat(*other);
    SetFormat(*this, format);
    return;
  }
  TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- TCustomRichEdit

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomMemo(AOwner),
      FSelAttributes(std::make_unique<TTextAttributes>(this, atSelected)),
      FDefAttributes(std::make_unique<TTextAttributes>(this, atDefaultText)) {}

TCustomRichEdit::~TCustomRichEdit() = default;

void TCustomRichEdit::CreateParams(TCreateParams& Params) {
  TCustomMemo::CreateParams(Params);
  Params.SubClassOf = RichEditClass();
}

void TCustomRichEdit::CreateWnd() {
  TCustomMemo::CreateWnd();
  ::SendMessageW(FHandle, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
  ::SendMessageW(FHandle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  if (!FRtfBackup.empty()) {
    // Restore the formatted text saved when the last window went.
    const bool plain = FPlainText;
    FPlainText = false;
    const TScopeExit restore([this, plain] { FPlainText = plain; });
    TStringStream stream(FRtfBackup);
    FRtfBackup.clear();
    LoadFromStream(stream);
  }
}

void TCustomRichEdit::DestroyWnd() {
  if (FHandle && !ComponentState().Contains(csDestroying)) {
    const bool plain = FPlainText;
    FPlainText = false;
    TStringStream stream;
    Stream(stream, false);
    FPlainText = plain;
    FRtfBackup = stream.DataString();
  }
  TCustomMemo::DestroyWnd();
}

void TCustomRichEdit::ApplyTextLimit() {
  // The default limit (32K characters) is far too small for a log.
  if (FHandle) ::SendMessageW(FHandle, EM_EXLIMITTEXT, 0, MaxLength() > 0 ? MaxLength() : 0x7FFFFFF0);
}

void TCustomRichEdit::Stream(TStream& AStream, bool In) {
  TStreamCookie cookie{&AStream, {}};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&cookie);
  es.pfnCallback = In ? &StreamIn : &StreamOut;
  const WPARAM format = FPlainText ? SF_TEXT : SF_RTF;
  ::SendMessageW(Handle(), In ? EM_STREAMIN : EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
  cookie.Guard.RaiseIfAny();  // the stream's own error says most
  if (es.dwError) throw EOutOfResources(u"Failed to load stream");
}

void TCustomRichEdit::LoadFromStream(TStream& AStream) {
  Stream(AStream, true);
  Change();
}

void TCustomRichEdit::SaveToStream(TStream& AStream) { Stream(AStream, false); }

void TCustomRichEdit::LoadFromResource(HINSTANCE Instance, const String& Name, const TResourceId& Type) {
  TResourceStream stream(reinterpret_cast<NativeUInt>(Instance), Name, Type);
  LoadFromStream(stream);
}

Integer TCustomRichEdit::GetTextLen() {
  GETTEXTLENGTHEX info{GTL_NUMCHARS | GTL_PRECISE, 1200};
  return static_cast<Integer>(::SendMessageW(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&info), 0));
}

Integer TCustomRichEdit::RichSelStart() {
  CHARRANGE range{};
  ::SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMin;
}

void TCustomRichEdit::SetRichSelStart(Integer Value) {
  CHARRANGE range{Value, Value};
  ::SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

Integer TCustomRichEdit::RichSelLength() {
  CHARRANGE range{};
  ::SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMax - range.cpMin;
}

void TCustomRichEdit::SetRichSelLength(Integer Value) {
  CHARRANGE range{};
  ::SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  range.cpMax = range.cpMin + Value;
  ::SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void TCustomRichEdit::ReplaceSelection(const String& Value) {
  ::SendMessageW(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(WideCStr(Value)));
}

// ---------------------------------------------------------------- TStatusPanel(s)

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const String& Value) {
  if (Value != FText) FText = Value, Changed(false);
}
void TStatusPanel::SetWidth(Integer Value) {
  if (Value != FWidth) FWidth = Value, Changed(true);
}
void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
  if (Value != FStyle) FStyle = Value, Changed(false);
}
void TStatusPanel::SetAlignment(TAlignment Value) {
  if (Value != FAlignment) FAlignment = Value, Changed(false);
}
void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
  if (Value != FBevel) FBevel = Value, Changed(false);
}

void TStatusPanel::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TStatusPanel*>(Source)) {
    FText = p->FText;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FAlignment = p->FAlignment;
    FBevel = p->FBevel;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(Source);
}

TStatusPanels::TStatusPanels(TStatusBar* Owner, TItemFactory PanelClass)
    : TOwnedCollection(Owner, std::move(PanelClass)), FStatusBar(Owner) {}

void TStatusPanels::Update(TCollectionItem* Item) {
  TOwnedCollection::Update(Item);
  if (Item)
    FStatusBar->UpdatePanel(Item->Index());
  else
    FStatusBar->UpdatePanels();
}

// ---------------------------------------------------------------- TStatusBar

TStatusBar::TStatusBar(TComponent* AOwner) : TStatusBar(AOwner, TCollection::ItemClass<TStatusPanel>()) {}

TStatusBar::TStatusBar(TComponent* AOwner, TCollection::TItemFactory PanelClass)
    : TWinControl(AOwner),
      FPanels(std::make_unique<TStatusPanels>(this, std::move(PanelClass))),
      FCanvas(std::make_unique<TCanvas>()) {
  FControlStyle = kNativeStyle + csAcceptsControls;
  StoreBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SubClassOf = u"msctls_statusbar32";
  // Our alignment places the bar; the class must not move itself.
  Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (FSizeGrip) Params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool Value) {
  if (Value == FSimplePanel) return;
  FSimplePanel = Value;
  if (FHandle) ::SendMessageW(FHandle, SB_SIMPLE, Value, 0);
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const String& Value) {
  FSimpleText = Value;
  if (FHandle) ::SendMessageW(FHandle, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(WideCStr(FSimpleText)));
}

void TStatusBar::SetSizeGrip(bool Value) {
  if (Value != FSizeGrip) FSizeGrip = Value, RecreateWnd();
}

void TStatusBar::UpdatePanels() {
  if (!FHandle) return;
  const Integer n = FPanels->Count();
  if (n == 0) {
    int edge = -1;
    ::SendMessageW(FHandle, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
  } else {
    std::vector<int> edges(static_cast<std::size_t>(n));
    int right = 0;
    for (Integer i = 0; i < n; ++i) {
      right += FPanels->Items(i)->Width();
      // The last panel runs to the bar's right edge.
      edges[static_cast<std::size_t>(i)] = i == n - 1 ? -1 : right;
    }
    ::SendMessageW(FHandle, SB_SETPARTS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(edges.data()));
  }
  for (Integer i = 0; i < n; ++i) UpdatePanel(i);
  ::SendMessageW(FHandle, SB_SIMPLE, FSimplePanel, 0);
  if (FSimplePanel) ::SendMessageW(FHandle, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(WideCStr(FSimpleText)));
}

void TStatusBar::UpdatePanel(Integer Index) {
  if (!FHandle || Index < 0 || Index >= FPanels->Count()) return;
  TStatusPanel* panel = FPanels->Items(Index);
  WPARAM kind = static_cast<WPARAM>(Index);
  if (panel->Bevel() == pbNone) kind |= SBT_NOBORDERS;
  if (panel->Bevel() == pbRaised) kind |= SBT_POPOUT;
  if (panel->Style() == psOwnerDraw) {
    ::SendMessageW(FHandle, SB_SETTEXTW, kind | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(panel));
    return;
  }
  // The class aligns with tab characters: one centres, two right-align.
  String text = panel->Text();
  if (panel->Alignment() == taCenter) text = u"\t" + text;
  if (panel->Alignment() == taRightJustify) text = u"\t\t" + text;
  ::SendMessageW(FHandle, SB_SETTEXTW, kind, reinterpret_cast<LPARAM>(WideCStr(text)));
}

TRect TStatusBar::PanelRect(Integer Index) {
  if (!FHandle) return {};
  RECT r{};
  if (!::SendMessageW(FHandle, SB_GETRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r))) return {};
  return {r.left, r.top, r.right, r.bottom};
}

String TStatusBar::PanelText(Integer Index) {
  if (!FHandle) return Index >= 0 && Index < FPanels->Count() ? FPanels->Items(Index)->Text() : String();
  const LRESULT info = ::SendMessageW(FHandle, SB_GETTEXTLENGTHW, static_cast<WPARAM>(Index), 0);
  String text(static_cast<std::size_t>(LOWORD(info)) + 1, u'\0');
  ::SendMessageW(FHandle, SB_GETTEXTW, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(LOWORD(info));
  const std::size_t start = text.find_first_not_of(u'\t');
  return start == String::npos ? String() : text.substr(start);
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
  if (OnDrawPanel)
    OnDrawPanel(this, Panel, Rect);
  else
    FCanvas->FillRect(Rect);
}

void TStatusBar::WndProc(TMessage& Message) {
  if (Message.Msg == CN_DRAWITEM) {
    const auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    const auto index = static_cast<Integer>(dis->itemID);
    if (index >= 0 && index < FPanels->Count()) {
      // The DC is the status bar's: it gets back the state it came in with.
      const TSavedDC saved(dis->hDC);
      const TCanvasOnDC onDC(*FCanvas, dis->hDC);
      FCanvas->SetFont(Font());
      FCanvas->Brush()->SetColor(clBtnFace);
      DrawPanel(FPanels->Items(index), {dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom});
    }
    Message.Result = TRUE;
    return;
  }
  TWinControl::WndProc(Message);
  // The last panel runs to the right edge and the size grip sits there:
  // after a change of size both are drawn anew, not only the strip that
  // came into view.
  if (Message.Msg == WM_SIZE && FHandle) ::InvalidateRect(FHandle, nullptr, TRUE);
}

// ---------------------------------------------------------------- TUpDown

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = kNativeStyle;
  StoreBounds(0, 0, 17, 21);
}

void TUpDown::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SubClassOf = u"msctls_updown32";
  Params.Style |= UDS_ARROWKEYS | UDS_ALIGNRIGHT;
  if (FWrap) Params.Style |= UDS_WRAP;
  if (!FThousands) Params.Style |= UDS_NOTHOUSANDS;
  if (FOrientation == udHorizontal) Params.Style |= UDS_HORZ;
  // The associated edit shows the position the class writes into it.
  if (FAssociate) Params.Style |= UDS_SETBUDDYINT;
}

void TUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  ::SendMessageW(FHandle, UDM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
  UDACCEL accel{0, static_cast<UINT>(FIncrement)};
  ::SendMessageW(FHandle, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  if (FAssociate) ::SendMessageW(FHandle, UDM_SETBUDDY, reinterpret_cast<WPARAM>(FAssociate->Handle()), 0);
  ::SendMessageW(FHandle, UDM_SETPOS32, 0, static_cast<LPARAM>(FPosition));
}

void TUpDown::SetMin(Integer Value) {
  FMin = Value;
  if (FHandle) ::SendMessageW(FHandle, UDM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
}

void TUpDown::SetMax(Integer Value) {
  FMax = Value;
  if (FHandle) ::SendMessageW(FHandle, UDM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
}

Integer TUpDown::Position() {
  if (FHandle) FPosition = static_cast<Integer>(::SendMessageW(FHandle, UDM_GETPOS32, 0, 0));
  return FPosition;
}

void TUpDown::SetPosition(Integer Value) {
  FPosition = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
  if (FHandle) ::SendMessageW(FHandle, UDM_SETPOS32, 0, static_cast<LPARAM>(FPosition));
}

void TUpDown::SetIncrement(Integer Value) {
  FIncrement = Value;
  if (FHandle) {
    UDACCEL accel{0, static_cast<UINT>(Value)};
    ::SendMessageW(FHandle, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  }
}

void TUpDown::SetWrap(bool Value) {
  if (Value != FWrap) FWrap = Value, RecreateWnd();
}
void TUpDown::SetThousands(bool Value) {
  if (Value != FThousands) FThousands = Value, RecreateWnd();
}
void TUpDown::SetOrientation(TUDOrientation Value) {
  if (Value != FOrientation) FOrientation = Value, RecreateWnd();
}

void TUpDown::SetAssociate(TWinControl* Value) {
  if (Value == FAssociate) return;
  if (FAssociate) FAssociate->RemoveFreeNotification(this);
  FAssociate = Value;
  if (FAssociate) FAssociate->FreeNotification(this);
  RecreateWnd();
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FAssociate) {
    FAssociate = nullptr;
    if (FHandle) ::SendMessageW(FHandle, UDM_SETBUDDY, 0, 0);
  }
}

void TUpDown::DoClick(TUDBtnType Button) {
  if (OnClick) OnClick(this, Button);
}

void TUpDown::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY: {
      const auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
      if (header->code == static_cast<UINT>(UDN_DELTAPOS)) {
        bool allow = true;
        if (OnChanging) OnChanging(this, allow);
        Message.Result = allow ? 0 : 1;
      }
      return;
    }
    case CN_VSCROLL:
    case CN_HSCROLL:
      if (LOWORD(Message.WParam) == SB_THUMBPOSITION) {
        const Integer old = FPosition;
        const Integer now = Position();
        if (now != old) DoClick(now > old ? btNext : btPrev);
      }
      return;
    default:
      break;
  }
  TWinControl::WndProc(Message);
}

// ---------------------------------------------------------------- TTrackBar

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = kNativeStyle;
  StoreBounds(0, 0, 150, 45);
  SetTabStop(true);
}

void TTrackBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SubClassOf = u"msctls_trackbar32";
  Params.Style |= WS_TABSTOP | (FOrientation == trVertical ? TBS_VERT : TBS_HORZ);
  if (FTickStyle == tsNone) Params.Style |= TBS_NOTICKS;
  if (FTickStyle == tsAuto) Params.Style |= TBS_AUTOTICKS;
}

void TTrackBar::CreateWnd() {
  TWinControl::CreateWnd();
  ::SendMessageW(FHandle, TBM_SETRANGEMIN, FALSE, FMin);
  ::SendMessageW(FHandle, TBM_SETRANGEMAX, FALSE, FMax);
  ::SendMessageW(FHandle, TBM_SETTICFREQ, static_cast<WPARAM>(FFrequency), 0);
  ::SendMessageW(FHandle, TBM_SETPAGESIZE, 0, FPageSize);
  ::SendMessageW(FHandle, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::SetMin(Integer Value) {
  FMin = Value;
  if (FPosition < FMin) FPosition = FMin;
  if (FHandle) ::SendMessageW(FHandle, TBM_SETRANGEMIN, TRUE, Value);
}

void TTrackBar::SetMax(Integer Value) {
  FMax = Value;
  if (FPosition > FMax) FPosition = FMax;
  if (FHandle) ::SendMessageW(FHandle, TBM_SETRANGEMAX, TRUE, Value);
}

void TTrackBar::SetPosition(Integer Value) {
  Value = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
  if (Value == FPosition) return;
  FPosition = Value;
  if (FHandle) ::SendMessageW(FHandle, TBM_SETPOS, TRUE, Value);
  Changed();
}

void TTrackBar::SetFrequency(Integer Value) {
  FFrequency = Value;
  if (FHandle) ::SendMessageW(FHandle, TBM_SETTICFREQ, static_cast<WPARAM>(Value), 0);
}

void TTrackBar::SetPageSize(Integer Value) {
  FPageSize = Value;
  if (FHandle) ::SendMessageW(FHandle, TBM_SETPAGESIZE, 0, Value);
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  // The long side follows the orientation.
  SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle Value) {
  if (Value != FTickStyle) FTickStyle = Value, RecreateWnd();
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}

void TTrackBar::WndProc(TMessage& Message) {
  if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
    const Integer now = static_cast<Integer>(::SendMessageW(FHandle, TBM_GETPOS, 0, 0));
    if (now != FPosition) {
      FPosition = now;
      Changed();
    }
    return;
  }
  TWinControl::WndProc(Message);
}
