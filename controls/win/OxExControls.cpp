#include "controls/win/OxExControls.h"

void PaintGraphicControlNow(TGraphicControl& Control) {
  TWinControl* parent = Control.Parent();
  if (!Control.IsShowing() || !parent || !parent->HandleAllocated() || Control.Width() <= 0 || Control.Height() <= 0)
    return;
  const TWindowDC dc(parent->Handle());
  if (!dc) return;
  const TSavedDC saved(dc.Get());
  SetWindowOrgEx(dc.Get(), -Control.Left(), -Control.Top(), nullptr);
  IntersectClipRect(dc.Get(), 0, 0, Control.Width(), Control.Height());
  Control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc.Get()), 0);
}

TOxDialogCodes DialogCodesOf(LRESULT Codes) {
  TOxDialogCodes set;
  if (Codes & DLGC_WANTALLKEYS) set.Include(dcWantAllKeys);
  if (Codes & DLGC_WANTARROWS) set.Include(dcWantArrows);
  if (Codes & DLGC_WANTCHARS) set.Include(dcWantChars);
  if (Codes & DLGC_BUTTON) set.Include(dcButton);
  if (Codes & DLGC_HASSETSEL) set.Include(dcHasSetSel);
  if (Codes & DLGC_WANTTAB) set.Include(dcWantTab);
  return set;
}

LRESULT DialogCodesResult(TOxDialogCodes Codes) {
  LRESULT result = 0;
  if (Codes.Contains(dcWantAllKeys)) result |= DLGC_WANTALLKEYS;
  if (Codes.Contains(dcWantArrows)) result |= DLGC_WANTARROWS;
  if (Codes.Contains(dcWantChars)) result |= DLGC_WANTCHARS;
  if (Codes.Contains(dcButton)) result |= DLGC_BUTTON;
  if (Codes.Contains(dcHasSetSel)) result |= DLGC_HASSETSEL;
  if (Codes.Contains(dcWantTab)) result |= DLGC_WANTTAB;
  return result;
}

void DrawFlatFrame(HWND Window, bool Highlighted, TColor InnerColor) {
  const TWindowDC dc = TWindowDC::WholeWindow(Window);
  if (!dc) return;
  RECT r;
  GetWindowRect(Window, &r);
  OffsetRect(&r, -r.left, -r.top);
  const COLORREF highlight = RGB(0x00, 0x38, 0x73);
  const COLORREF outer = Highlighted ? highlight : RGB(0x80, 0x80, 0x80);
  const COLORREF inner = Highlighted ? highlight : static_cast<COLORREF>(ColorToRGB(InnerColor));
  const TGdiObject outerBrush(CreateSolidBrush(outer));
  const TGdiObject innerBrush(CreateSolidBrush(inner));
  FrameRect(dc.Get(), &r, static_cast<HBRUSH>(outerBrush.Get()));
  InflateRect(&r, -1, -1);
  FrameRect(dc.Get(), &r, static_cast<HBRUSH>(innerBrush.Get()));
}
