#pragma once
// Colours, shift states, mouse buttons and alignments: the small user-
// interface values that portable models (tree core, chart model, gauges)
// and the window layer share.
#include "rtl/Set.h"
#include "rtl/Types.h"

// ---------------------------------------------------------------- colours
// 0x00BBGGRR, or a reference to a system colour: clSystemColor | its index
// in the system's colour table. clNone means "no colour" (nothing drawn).
using TColor = Integer;

inline constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
inline constexpr TColor SysColor(int Index) { return clSystemColor | Index; }
inline constexpr bool IsSystemColor(TColor Color) {
  return (static_cast<Cardinal>(Color) & 0xFF000000u) == 0xFF000000u;
}
// The index into the system colour table of a system colour reference.
inline constexpr int SysColorIndex(TColor Color) { return Color & 0xFF; }

inline constexpr TColor clScrollBar = SysColor(0);
inline constexpr TColor clBackground = SysColor(1);
inline constexpr TColor clActiveCaption = SysColor(2);
inline constexpr TColor clInactiveCaption = SysColor(3);
inline constexpr TColor clMenu = SysColor(4);
inline constexpr TColor clWindow = SysColor(5);
inline constexpr TColor clWindowFrame = SysColor(6);
inline constexpr TColor clMenuText = SysColor(7);
inline constexpr TColor clWindowText = SysColor(8);
inline constexpr TColor clCaptionText = SysColor(9);
inline constexpr TColor clActiveBorder = SysColor(10);
inline constexpr TColor clInactiveBorder = SysColor(11);
inline constexpr TColor clAppWorkSpace = SysColor(12);
inline constexpr TColor clHighlight = SysColor(13);
inline constexpr TColor clHighlightText = SysColor(14);
inline constexpr TColor clBtnFace = SysColor(15);
inline constexpr TColor clBtnShadow = SysColor(16);
inline constexpr TColor clGrayText = SysColor(17);
inline constexpr TColor clBtnText = SysColor(18);
inline constexpr TColor clInactiveCaptionText = SysColor(19);
inline constexpr TColor clBtnHighlight = SysColor(20);
inline constexpr TColor cl3DDkShadow = SysColor(21);
inline constexpr TColor cl3DLight = SysColor(22);
inline constexpr TColor clInfoText = SysColor(23);
inline constexpr TColor clInfoBk = SysColor(24);
inline constexpr TColor clHotLight = SysColor(26);
inline constexpr TColor clGradientActiveCaption = SysColor(27);
inline constexpr TColor clGradientInactiveCaption = SysColor(28);
inline constexpr TColor clMenuHighlight = SysColor(29);
inline constexpr TColor clMenuBar = SysColor(30);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

inline constexpr TColor RGBToColor(Byte R, Byte G, Byte B) { return static_cast<TColor>(R | (G << 8) | (B << 16)); }

// ---------------------------------------------------------------- input
enum TShiftStateItem : Byte { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem, Word>;

// In the order of the platform's mouse buttons.
enum TMouseButton : Byte { mbLeft, mbRight, mbMiddle };
// Where a dragged thing is relative to a control it passes over.
enum TDragState : Byte { dsDragEnter, dsDragLeave, dsDragMove };

// ---------------------------------------------------------------- text
enum TAlignment : Byte { taLeftJustify, taRightJustify, taCenter };

// Which scroll bars a control may show.
enum TScrollStyle : Byte { ssNone, ssHorizontal, ssVertical, ssBoth };

// ---------------------------------------------------------------- drawing
// Shared by the window layer's GDI objects and the chart model's canvas
// state, so one program can use both.
enum TFontStyle : Byte { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle, Byte>;
enum TPenStyle : Byte { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle : Byte { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
