#include "vcl/Themes.h"

#include <algorithm>

namespace {

TCustomStyleServices* ActiveServices = nullptr;  // not owned

struct TRegisteredHook {
  std::type_index Class;
  std::function<bool(TWinControl*)> Matches;
  TStyleEngine::THookFactory Factory;
};

// Built on first use, so that registrations made while statics start up
// find it.
std::vector<TRegisteredHook>& RegisteredHooks() {
  static std::vector<TRegisteredHook> Hooks;
  return Hooks;
}

TRect FromRECT(const RECT& R) { return {R.left, R.top, R.right, R.bottom}; }

}  // namespace

TCustomStyleServices& StyleServices() {
  static TCustomStyleServices SystemStyle;
  return ActiveServices ? *ActiveServices : SystemStyle;
}

void SetStyleServices(TCustomStyleServices* Services) { ActiveServices = Services; }

// ---------------------------------------------------------------- TStyleHook

bool TStyleHook::HandleMessage(TMessage& Message) {
  Handled = false;
  WndProc(Message);
  return Handled;
}

void TStyleHook::CallDefaultProc(TMessage& Message) { FControl->WndProc(Message); }

bool TStyleHook::HasBorder() const {
  HWND Wnd = Handle();
  if (!Wnd) return false;
  return (GetWindowLongW(Wnd, GWL_STYLE) & WS_BORDER) != 0 || HasClientEdge();
}

bool TStyleHook::HasClientEdge() const {
  HWND Wnd = Handle();
  return Wnd && (GetWindowLongW(Wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
}

// ---------------------------------------------------------------- TScrollingStyleHook

TScrollingStyleHook::TScrollingStyleHook(TWinControl* AControl) : TStyleHook(AControl) {}

TPoint TScrollingStyleHook::ScreenToHookPoint(const TPoint& Screen) const {
  POINT P{Screen.X, Screen.Y};
  if (HWND Wnd = Handle()) ::ScreenToClient(Wnd, &P);
  const Integer Shift = HasBorder() ? (HasClientEdge() ? 2 : 1) : 0;
  return {P.x + Shift, P.y + Shift};
}

TScrollingStyleHook::TBarParts TScrollingStyleHook::BarParts(LONG ObjectId) const {
  TBarParts Parts;
  HWND Wnd = Handle();
  SCROLLBARINFO Info{};
  Info.cbSize = sizeof Info;
  if (!Wnd || !GetScrollBarInfo(Wnd, ObjectId, &Info) || (Info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) return Parts;
  const TPoint TopLeft = ScreenToHookPoint({Info.rcScrollBar.left, Info.rcScrollBar.top});
  TRect R = FromRECT(Info.rcScrollBar);
  R.Offset(TopLeft.X - R.Left, TopLeft.Y - R.Top);
  Parts.Bar = R;
  const Integer Button = Info.dxyLineButton;
  if (ObjectId == OBJID_VSCROLL) {
    Parts.First = {R.Left, R.Top, R.Right, R.Top + Button};
    Parts.Second = {R.Left, R.Bottom - Button, R.Right, R.Bottom};
    Parts.Track = {R.Left, Parts.First.Bottom, R.Right, Parts.Second.Top};
    Parts.Thumb = {R.Left, R.Top + Info.xyThumbTop, R.Right, R.Top + Info.xyThumbBottom};
  } else {
    Parts.First = {R.Left, R.Top, R.Left + Button, R.Bottom};
    Parts.Second = {R.Right - Button, R.Top, R.Right, R.Bottom};
    Parts.Track = {Parts.First.Right, R.Top, Parts.Second.Left, R.Bottom};
    Parts.Thumb = {R.Left + Info.xyThumbTop, R.Top, R.Left + Info.xyThumbBottom, R.Bottom};
  }
  return Parts;
}

TRect TScrollingStyleHook::VertScrollRect() const { return BarParts(OBJID_VSCROLL).Bar; }
TRect TScrollingStyleHook::VertTrackRect() const { return BarParts(OBJID_VSCROLL).Track; }
TRect TScrollingStyleHook::VertSliderRect() const { return BarParts(OBJID_VSCROLL).Thumb; }
TRect TScrollingStyleHook::VertUpButtonRect() const { return BarParts(OBJID_VSCROLL).First; }
TRect TScrollingStyleHook::VertDownButtonRect() const { return BarParts(OBJID_VSCROLL).Second; }
TRect TScrollingStyleHook::HorzScrollRect() const { return BarParts(OBJID_HSCROLL).Bar; }
TRect TScrollingStyleHook::HorzTrackRect() const { return BarParts(OBJID_HSCROLL).Track; }
TRect TScrollingStyleHook::HorzSliderRect() const { return BarParts(OBJID_HSCROLL).Thumb; }
TRect TScrollingStyleHook::HorzUpButtonRect() const { return BarParts(OBJID_HSCROLL).First; }
TRect TScrollingStyleHook::HorzDownButtonRect() const { return BarParts(OBJID_HSCROLL).Second; }

// ---------------------------------------------------------------- TStyleEngine

void TStyleEngine::Register(std::type_index Class, std::function<bool(TWinControl*)> Matches, THookFactory Factory) {
  UnRegister(Class);
  RegisteredHooks().push_back({Class, std::move(Matches), std::move(Factory)});
}

void TStyleEngine::UnRegister(std::type_index Class) {
  auto& Hooks = RegisteredHooks();
  Hooks.erase(std::remove_if(Hooks.begin(), Hooks.end(), [&](const TRegisteredHook& H) { return H.Class == Class; }),
              Hooks.end());
}

std::unique_ptr<TStyleHook> TStyleEngine::CreateHook(TWinControl* Control) {
  if (!Control || StyleServices().IsSystemStyle()) return nullptr;
  for (const TRegisteredHook& H : RegisteredHooks())
    if (H.Matches(Control)) return H.Factory(Control);
  return nullptr;
}
