#include "controls/win/VclControlCanvas.h"

void TVclControlCanvas::SetFont(const TControlFont& Font) { AssignControlFont(*FCanvas.Font(), Font); }

TControlFont ControlFontOf(const TFont& Font) {
  TControlFont f;
  f.Name = Font.Name();
  f.Height = Font.Height();
  f.Bold = Font.Style().Contains(fsBold);
  f.Italic = Font.Style().Contains(fsItalic);
  f.Underline = Font.Style().Contains(fsUnderline);
  f.StrikeOut = Font.Style().Contains(fsStrikeOut);
  f.Color = Font.Color();
  f.Orientation = Font.Orientation();
  return f;
}

void AssignControlFont(TFont& Dest, const TControlFont& Source) {
  Dest.SetName(Source.Name);
  Dest.SetHeight(Source.Height);
  TFontStyles style;
  if (Source.Bold) style.Include(fsBold);
  if (Source.Italic) style.Include(fsItalic);
  if (Source.Underline) style.Include(fsUnderline);
  if (Source.StrikeOut) style.Include(fsStrikeOut);
  Dest.SetStyle(style);
  Dest.SetColor(Source.Color);
  Dest.SetOrientation(Source.Orientation);
}
