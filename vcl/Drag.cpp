// The class library's own drag and drop between controls of one program:
// the source runs a modal loop with the mouse captured, and each control the
// pointer passes hears of it through CM_DRAG.
#include "vcl/Drag.h"

#include <cstdlib>
#include <memory>

#include "rtl/ScopeExit.h"
#include "vcl/Controls.h"
#include "vcl/Messages.h"

namespace {

// The one drag of the program (the pointer is one).
struct TDragSession {
  TControl* Source = nullptr;
  TDragObject* Object = nullptr;
  std::unique_ptr<TDragObject> OwnObject;
  TControl* Target = nullptr;
  bool Started = false;
  bool Accepted = false;
  bool Ending = false;
  bool Dropped = false;
};
TDragSession* gDrag = nullptr;

// The control under a screen point that takes drags: the windowed control
// there is asked (dmFindTarget) and answers itself or a child.
TControl* FindDragTarget(const TPoint& P, TDragObject* Object) {
  TWinControl* Win = nullptr;
  for (HWND Wnd = WindowFromPoint(POINT{P.X, P.Y}); Wnd && !Win; Wnd = GetParent(Wnd))
    Win = TWinControl::FindControl(Wnd);
  if (!Win) return nullptr;
  TDragRec Rec{P, Object, nullptr, false};
  Win->Perform(CM_DRAG, dmFindTarget, reinterpret_cast<LPARAM>(&Rec));
  return Rec.Target ? Rec.Target : Win;
}

LRESULT SendDrag(TControl* Target, TDragMessage Msg, const TPoint& P, TDragObject* Object) {
  TDragRec Rec{P, Object, Target, false};
  return Target->Perform(CM_DRAG, Msg, reinterpret_cast<LPARAM>(&Rec));
}

TPoint CursorPos() {
  POINT P{0, 0};
  GetCursorPos(&P);
  return TPoint{P.x, P.y};
}

void DragTo(const TPoint& P) {
  TDragSession& D = *gDrag;
  TControl* Target = FindDragTarget(P, D.Object);
  if (Target != D.Target) {
    if (D.Target) SendDrag(D.Target, dmDragLeave, P, D.Object);
    D.Target = Target;
    D.Accepted = false;
    if (Target) D.Accepted = SendDrag(Target, dmDragEnter, P, D.Object) != 0;
  }
  if (D.Target) D.Accepted = SendDrag(D.Target, dmDragMove, P, D.Object) != 0;
  SetCursor(LoadCursorW(nullptr, D.Accepted ? IDC_ARROW : IDC_NO));
}

}  // namespace

bool TControl::Dragging() const { return gDrag && gDrag->Source == this && !gDrag->Ending; }

void TControl::EndDrag(bool Drop) {
  if (!gDrag || gDrag->Ending) return;
  gDrag->Ending = true;
  gDrag->Dropped = Drop;
}

void TControl::BeginDrag(bool Immediate, Integer Threshold) {
  if (gDrag) return;
  if (Threshold < 0) Threshold = GetSystemMetrics(SM_CXDRAG);
  TDragSession Session;
  Session.Source = this;
  gDrag = &Session;
  const TScopeExit Forget([] { gDrag = nullptr; });
  TWinControl* Owner = dynamic_cast<TWinControl*>(this);
  if (!Owner) Owner = Parent();
  HWND CaptureWindow = Owner ? Owner->Handle() : nullptr;
  if (CaptureWindow) SetCapture(CaptureWindow);
  const TPoint Start = CursorPos();
  const auto StartDrag = [&] {
    Session.Started = true;
    TDragObject* Object = nullptr;
    DoStartDrag(Object);
    if (!Object) {
      Session.OwnObject = std::make_unique<TDragControlObject>(this);
      Object = Session.OwnObject.get();
    }
    Session.Object = Object;
    DragTo(CursorPos());
  };
  if (Immediate) StartDrag();
  MSG Msg;
  while (!Session.Ending) {
    if (CaptureWindow && GetCapture() != CaptureWindow) {
      // Someone else took the mouse: the drag is given up.
      EndDrag(false);
      break;
    }
    if (!GetMessageW(&Msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(Msg.wParam));
      EndDrag(false);
      break;
    }
    bool Handled = true;
    switch (Msg.message) {
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE: {
        const TPoint P = CursorPos();
        if (!Session.Started && (std::abs(P.X - Start.X) > Threshold || std::abs(P.Y - Start.Y) > Threshold))
          StartDrag();
        else if (Session.Started)
          DragTo(P);
        break;
      }
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        EndDrag(Session.Started);
        break;
      case WM_KEYDOWN:
        if (Msg.wParam == VK_ESCAPE)
          EndDrag(false);
        else
          Handled = Msg.wParam == VK_SHIFT || Msg.wParam == VK_CONTROL;
        if (Handled && Session.Started) DragTo(CursorPos());
        break;
      case WM_KEYUP:
        if (Session.Started) DragTo(CursorPos());
        break;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDBLCLK:
        break;
      default:
        Handled = false;
    }
    if (!Handled) {
      TranslateMessage(&Msg);
      DispatchMessageW(&Msg);
    }
  }
  if (CaptureWindow && GetCapture() == CaptureWindow) ReleaseCapture();
  const TPoint P = CursorPos();
  TControl* Target = Session.Target;
  const bool Drop = Session.Started && Session.Dropped && Target && Session.Accepted;
  if (Target) {
    // The target hears the pointer leave first, then the drop or the
    // cancel.
    SendDrag(Target, dmDragLeave, P, Session.Object);
    SendDrag(Target, Drop ? dmDragDrop : dmDragCancel, P, Session.Object);
  }
  const TPoint Local = ScreenToClient(P);
  if (!Drop) DragCanceled();
  DoEndDrag(Drop ? Target : nullptr, Local.X, Local.Y);
}

void TControl::DoStartDrag(TDragObject*&) {}

void TControl::DoEndDrag(TObject*, Integer, Integer) {}

void TControl::DragCanceled() {}

void TControl::DragOver(TObject*, Integer, Integer, TDragState, bool& Accept) { Accept = false; }

void TControl::DragDrop(TObject*, Integer, Integer) {}

void TControl::HandleDragMessage(TMessage& Message) {
  auto* Rec = reinterpret_cast<TDragRec*>(Message.LParam);
  if (!Rec) return;
  TObject* Source = Rec->Source;
  if (auto* ControlObject = dynamic_cast<TDragControlObject*>(Rec->Source)) Source = ControlObject->Control();
  const TPoint P = ScreenToClient(Rec->Pos);
  const auto Kind = static_cast<TDragMessage>(Message.WParam);
  switch (Kind) {
    case dmFindTarget: {
      TControl* Found = this;
      if (auto* Win = dynamic_cast<TWinControl*>(this))
        if (TControl* Child = Win->ControlAtPos(P, false, false)) Found = Child;
      Rec->Target = Found;
      Message.Result = reinterpret_cast<LRESULT>(Found);
      break;
    }
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      bool Accept = false;
      const TDragState State = Kind == dmDragEnter ? dsDragEnter : Kind == dmDragLeave ? dsDragLeave : dsDragMove;
      DragOver(Source, P.X, P.Y, State, Accept);
      Message.Result = Accept ? 1 : 0;
      break;
    }
    case dmDragDrop:
      DragDrop(Source, P.X, P.Y);
      break;
    case dmDragCancel:
      break;
  }
}
