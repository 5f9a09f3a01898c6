#include "controls/win/OxExMask.h"

#include "controls/win/OxThemes.h"
#include "xml/KelSysUtils.h"

TOxExCustomMaskEdit::TOxExCustomMaskEdit(TComponent* AOwner) : Inherited(AOwner) {
  FPaintsTextHint = !(IsWindowsVersionAtLeast(5, 1) && StyleServicesEnabled());
}

void TOxExCustomMaskEdit::SignalInputError() {
  if (FBeepOnError) MessageBeep(0);
}

void TOxExCustomMaskEdit::ValidateError() {
  if (!FRaiseException) return;
  MessageBeep(0);
  throw EOXCLException(u"Invalid input value");
}

void TOxExCustomMaskEdit::SetTextHint(const String& Value) {
  FTextHint = Value;
  // One of the two draws it: the system's cue banner, or this control.
  TCustomEdit::SetTextHint(FPaintsTextHint ? String() : Value);
  if (FPaintsTextHint && HintWouldShow()) Invalidate();
}

bool TOxExCustomMaskEdit::HintWouldShow() {
  return HandleAllocated() && !Focused() && Enabled() && !ReadOnly() && GetWindowTextLengthW(FHandle) == 0;
}

void TOxExCustomMaskEdit::PaintTextHint() {
  if (FTextHint.empty() || !HintWouldShow()) return;
  const TWindowDC dc(FHandle);
  if (!dc) return;
  RECT r{};
  ::SendMessageW(FHandle, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  const TSelectGuard font(dc.Get(), Font()->Handle());
  SetTextColor(dc.Get(), static_cast<COLORREF>(ColorToRGB(clGrayText)));
  SetBkMode(dc.Get(), TRANSPARENT);
  ::DrawTextW(dc.Get(), WideCStr(FTextHint), static_cast<int>(FTextHint.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TOxExCustomMaskEdit::HandleSetFocus(HWND PreviousWindow) {
  Inherited::HandleSetFocus(PreviousWindow);
  if (FPaintsTextHint && !FTextHint.empty()) Invalidate();
}

void TOxExCustomMaskEdit::HandleKillFocus(HWND NextWindow) {
  Inherited::HandleKillFocus(NextWindow);
  if (FPaintsTextHint && !FTextHint.empty()) Invalidate();
}

void TOxExCustomMaskEdit::WndProc(TMessage& Message) {
  TOxClipboardCommand command;
  switch (Message.Msg) {
    case WM_CUT:
      command = caCut;
      break;
    case WM_COPY:
      command = caCopy;
      break;
    case WM_PASTE:
      command = caPaste;
      break;
    case WM_CLEAR:
      command = caClear;
      break;
    case WM_UNDO:
    case EM_UNDO:
      command = caUndo;
      break;
    case WM_PAINT:
      Inherited::WndProc(Message);
      if (FPaintsTextHint) PaintTextHint();
      return;
    default:
      Inherited::WndProc(Message);
      return;
  }
  if (!FClipboardCommands.Contains(command)) {
    Message.Result = 1;
    return;
  }
  Inherited::WndProc(Message);
}
