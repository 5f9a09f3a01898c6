#pragma once
// Types of the tree's geometry and appearance that need no window: the
// elements of a row and their offsets, the line image of a row, the
// scroll-bar options and the tree's colours.
#include <array>
#include <vector>

#include "rtl/Geometry.h"
#include "rtl/Set.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

class TBaseVastTree;

// The parts of a row from left to right.
enum TVTElement : Byte {
  ofsMargin,
  ofsToggleButton,
  ofsCheckBox,
  ofsStateImage,
  ofsImage,
  ofsLabel,
  ofsText,
  ofsRightOfText,
  ofsEndOfClientArea
};
using TVTOffsets = std::array<Integer, ofsEndOfClientArea + 1>;

// The kind of tree line drawn in one indentation level of a row.
enum TVTLineType : Byte { ltNone, ltBottomRight, ltTopDown, ltTopDownRight, ltRight, ltTopRight, ltLeft, ltLeftBottom };
using TLineImage = std::vector<TVTLineType>;

enum TVTLineStyle : Byte { lsCustomStyle, lsDotted, lsSolid };
enum TVTLineMode : Byte { lmNormal, lmBands };
enum TVTButtonStyle : Byte { bsRectangle, bsTriangle };
enum TVTButtonFillMode : Byte { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum TVTNodeAlignment : Byte { naFromBottom, naFromTop, naProportional };
enum TVTDrawSelectionMode : Byte { smDottedRectangle, smBlendedRectangle };

// Options of DoSetOffset.
inline constexpr Cardinal suoRepaintHeader = 1;
inline constexpr Cardinal suoRepaintScrollBars = 2;
inline constexpr Cardinal suoScrollClientArea = 4;
inline constexpr Cardinal suoUpdateNCArea = 8;
inline constexpr Cardinal DefaultScrollUpdateFlags =
    suoRepaintHeader | suoRepaintScrollBars | suoScrollClientArea | suoUpdateNCArea;

enum TScrollBarStyle : Byte { sbmRegular, sbm3D };

// Which scroll bars the tree may show and its scroll steps. Changing the
// bars or AlwaysVisible rebuilds the window (its style holds them).
class TScrollBarOptions : public TObject {
public:
  explicit TScrollBarOptions(TBaseVastTree* AOwner) : FOwner(AOwner) {}
  bool AlwaysVisible() const { return FAlwaysVisible; }
  void SetAlwaysVisible(bool Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
  void SetScrollBarStyle(TScrollBarStyle Value) { FScrollBarStyle = Value; }
  Word HorizontalIncrement() const { return FIncrementX; }
  void SetHorizontalIncrement(Word Value) { FIncrementX = Value < 1 ? 1 : (Value > 10000 ? 10000 : Value); }
  Word VerticalIncrement() const { return FIncrementY; }
  void SetVerticalIncrement(Word Value) { FIncrementY = Value < 1 ? 1 : (Value > 10000 ? 10000 : Value); }
  bool AllowsHorizontal() const { return FScrollBars == ssHorizontal || FScrollBars == ssBoth; }
  bool AllowsVertical() const { return FScrollBars == ssVertical || FScrollBars == ssBoth; }
  void Assign(const TScrollBarOptions& Source);
  TBaseVastTree* Owner() const { return FOwner; }

private:
  TBaseVastTree* FOwner;  // not owned
  bool FAlwaysVisible = false;
  TScrollStyle FScrollBars = ssBoth;
  TScrollBarStyle FScrollBarStyle = sbmRegular;
  Word FIncrementX = 20;
  Word FIncrementY = 20;
};

// The seventeen colours of tree and header painting. Without an application
// style (this program has none) each property answers what was stored.
class TVTColors : public TObject {
public:
  enum TIndex : Byte {
    DisabledIndex,
    DropMarkIndex,
    DropTargetIndex,
    FocusedSelectionIndex,
    GridLineIndex,
    TreeLineIndex,
    UnfocusedSelectionIndex,
    BorderIndex,
    HotIndex,
    FocusedSelectionBorderIndex,
    UnfocusedSelectionBorderIndex,
    DropTargetBorderIndex,
    SelectionRectangleBlendIndex,
    SelectionRectangleBorderIndex,
    HeaderHotIndex,
    SelectionTextIndex,
    UnfocusedIndex,
    ColorCount
  };
  explicit TVTColors(TBaseVastTree* AOwner);

  TColor Get(TIndex Index) const { return FColors[Index]; }
  void Set(TIndex Index, TColor Value);
  void Assign(const TVTColors& Source);

  TColor DisabledColor() const { return Get(DisabledIndex); }
  TColor DropMarkColor() const { return Get(DropMarkIndex); }
  TColor DropTargetColor() const { return Get(DropTargetIndex); }
  TColor FocusedSelectionColor() const { return Get(FocusedSelectionIndex); }
  TColor GridLineColor() const { return Get(GridLineIndex); }
  TColor TreeLineColor() const { return Get(TreeLineIndex); }
  TColor UnfocusedSelectionColor() const { return Get(UnfocusedSelectionIndex); }
  TColor BorderColor() const { return Get(BorderIndex); }
  TColor HotColor() const { return Get(HotIndex); }
  TColor FocusedSelectionBorderColor() const { return Get(FocusedSelectionBorderIndex); }
  TColor UnfocusedSelectionBorderColor() const { return Get(UnfocusedSelectionBorderIndex); }
  TColor DropTargetBorderColor() const { return Get(DropTargetBorderIndex); }
  TColor SelectionRectangleBlendColor() const { return Get(SelectionRectangleBlendIndex); }
  TColor SelectionRectangleBorderColor() const { return Get(SelectionRectangleBorderIndex); }
  TColor HeaderHotColor() const { return Get(HeaderHotIndex); }
  TColor SelectionTextColor() const { return Get(SelectionTextIndex); }
  TColor UnfocusedColor() const { return Get(UnfocusedIndex); }

private:
  TBaseVastTree* FOwner;  // not owned
  std::array<TColor, ColorCount> FColors;
};

// ---------------------------------------------------------------------------
// The state of one cell while it is painted.

class TCanvas;
class TCustomImageList;
struct TVastNode;

enum TVTInternalPaintOption : Byte {
  poBackground,
  poColumnColor,
  poDrawFocusRect,
  poDrawSelection,
  poDrawDropMark,
  poGridLines,
  poMainOnly,
  poSelectedOnly,
  poUnbuffered
};
using TVTInternalPaintOptions = TSet<TVTInternalPaintOption, Word>;

struct TVTImageInfo {
  Integer Index = -1;  // -1: no image
  Integer XPos = 0;
  Integer YPos = 0;
  bool Ghosted = false;
  TCustomImageList* Images = nullptr;  // not owned
};

enum TVTImageInfoIndex : Byte { iiNormal, iiState, iiCheck, iiOverlay };

struct TVTPaintInfo {
  TCanvas* Canvas = nullptr;  // not owned
  TVTInternalPaintOptions PaintOptions;
  TVastNode* Node = nullptr;
  Integer Column = -1;
  Cardinal Position = 0;
  TRect CellRect;
  TRect ContentRect;
  Integer NodeWidth = 0;
  TAlignment Alignment = taLeftJustify;
  TAlignment CaptionAlignment = taLeftJustify;
  Byte BidiMode = 0;  // a TBiDiMode
  TPoint BrushOrigin;
  std::array<TVTImageInfo, 4> ImageInfo;
  TVTOffsets Offsets{};
  Integer VAlign = 0;
};
