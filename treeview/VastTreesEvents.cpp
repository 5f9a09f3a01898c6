// Hooks of the window-bound events: presets, the assigned test and the
// parts of each hook that need no window.
#include <algorithm>

#include "rtl/ScopeExit.h"
#include "treeview/VastTreeHeader.h"
#include "treeview/VastTrees.h"

TVTHeader* TBaseVastTree::HeaderObject() const { return dynamic_cast<TVTHeader*>(FHeader.get()); }

void TBaseVastTree::DoColumnResize(TColumnIndex Column) {
  if (Loading() || !FHost->HasWindow()) return;
  TVTHeader* HeaderObj = HeaderObject();
  // Wrapped text depends on the column width: measure those rows again.
  for (PVastNode Run = GetFirstInitialized(); Run; Run = GetNextInitialized(Run))
    if (Run->States.Contains(vsMultiline)) ExcludeNodeStates(Run, {vsHeightMeasured});
  UpdateScrollBars(true);
  if (Column >= 0) {
    Invalidate();
    if (HeaderObj && HeaderObj->Columns().IsValidColumn(Column)) {
      const THeaderStates States = HeaderObj->States();
      const bool UpdateNow = States.Contains(hsColumnWidthTracking) && !States.Contains(hsResizing);
      HeaderObj->Invalidate(&HeaderObj->Columns()[Column], true, UpdateNow);
    }
  }
  // Columns resized by a width distribution do not report one by one.
  if (OnColumnResize && !(HeaderObj && HeaderObj->States().Contains(hsResizing))) OnColumnResize(HeaderObj, Column);
  UpdateEditBounds();
}

// --- painting

void TBaseVastTree::DoBeforePaint(TCanvas* TargetCanvas) {
  if (OnBeforePaint) OnBeforePaint(this, TargetCanvas);
}

void TBaseVastTree::DoAfterPaint(TCanvas* TargetCanvas) {
  if (OnAfterPaint) OnAfterPaint(this, TargetCanvas);
}

void TBaseVastTree::DoBeforeItemErase(TCanvas* TargetCanvas, PVastNode Node, const TRect& ItemRect, TColor& ItemColor,
                                      TItemEraseAction& EraseAction) {
  if (OnBeforeItemErase) OnBeforeItemErase(this, TargetCanvas, Node, ItemRect, ItemColor, EraseAction);
}

void TBaseVastTree::DoAfterItemErase(TCanvas* TargetCanvas, PVastNode Node, const TRect& ItemRect) {
  if (OnAfterItemErase) OnAfterItemErase(this, TargetCanvas, Node, ItemRect);
}

bool TBaseVastTree::DoBeforeItemPaint(TCanvas* TargetCanvas, PVastNode Node, const TRect& ItemRect) {
  bool CustomDraw = false;
  if (OnBeforeItemPaint) OnBeforeItemPaint(this, TargetCanvas, Node, ItemRect, CustomDraw);
  return CustomDraw;
}

void TBaseVastTree::DoAfterItemPaint(TCanvas* TargetCanvas, PVastNode Node, const TRect& ItemRect) {
  if (OnAfterItemPaint) OnAfterItemPaint(this, TargetCanvas, Node, ItemRect);
}

void TBaseVastTree::DoBeforeCellPaint(TCanvas* TargetCanvas, PVastNode Node, TColumnIndex Column,
                                      TVTCellPaintMode CellPaintMode, TRect CellRect, TRect& ContentRect) {
  if (!OnBeforeCellPaint) return;
  // A margin question must not show whatever the handler draws.
  const bool Silence = CellPaintMode == cpmGetContentMargin && FHost->HasWindow() && FUpdateCount == 0;
  if (!Silence) {
    OnBeforeCellPaint(this, TargetCanvas, Node, Column, CellPaintMode, CellRect, ContentRect);
    return;
  }
  FHost->SetRedraw(false);
  const TScopeExit Restore([this] { FHost->SetRedraw(true); });
  OnBeforeCellPaint(this, TargetCanvas, Node, Column, CellPaintMode, CellRect, ContentRect);
}

void TBaseVastTree::DoAfterCellPaint(TCanvas* TargetCanvas, PVastNode Node, TColumnIndex Column,
                                     const TRect& CellRect) {
  if (OnAfterCellPaint) OnAfterCellPaint(this, TargetCanvas, Node, Column, CellRect);
}

bool TBaseVastTree::DoPaintBackground(TCanvas* TargetCanvas, const TRect& R) {
  bool Handled = false;
  if (OnPaintBackground) OnPaintBackground(this, TargetCanvas, R, Handled);
  return Handled;
}

void TBaseVastTree::DoBeforeDrawTreeLine(PVastNode Node, Integer Level, Integer& PosX) {
  if (OnBeforeDrawTreeLine) OnBeforeDrawTreeLine(this, Node, Level, PosX);
}

void TBaseVastTree::DoGetLineStyle(void*& Bits) {
  if (OnGetLineStyle) OnGetLineStyle(this, Bits);
}

TCustomImageList* TBaseVastTree::DoGetImageIndex(PVastNode Node, TVTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                                                 TImageIndex& Index) {
  TCustomImageList* Result = (Kind == ikState && FStateImages) ? FStateImages : FImages;
  if (OnGetImageIndexEx)
    OnGetImageIndexEx(this, Node, Kind, Column, Ghosted, Index, Result);
  else if (OnGetImageIndex)
    OnGetImageIndex(this, Node, Kind, Column, Ghosted, Index);
  // An index without a list to take it from shows nothing.
  if (!Result) Index = -1;
  return Result;
}

void TBaseVastTree::DoGetImageText(PVastNode Node, TVTImageKind Kind, TColumnIndex Column, String& ImageText) {
  if (OnGetImageText) OnGetImageText(this, Node, Kind, Column, ImageText);
}

TPoint TBaseVastTree::DoGetCellContentMargin(PVastNode Node, TColumnIndex Column,
                                             TVTCellContentMarginType CellContentMarginType, TCanvas* Canvas) {
  if (!OnBeforeCellPaint) return TPoint{};
  const TRect CellRect = CellRectForMargin(Node, Column);
  TRect ContentRect = CellRect;
  DoBeforeCellPaint(Canvas, Node, Column, cpmGetContentMargin, CellRect, ContentRect);
  switch (CellContentMarginType) {
    case ccmtAllSides:
      return {ContentRect.Left - CellRect.Left + CellRect.Right - ContentRect.Right,
              ContentRect.Top - CellRect.Top + CellRect.Bottom - ContentRect.Bottom};
    case ccmtTopLeftOnly:
      return {ContentRect.Left - CellRect.Left, ContentRect.Top - CellRect.Top};
    case ccmtBottomRightOnly:
      return {CellRect.Right - ContentRect.Right, CellRect.Bottom - ContentRect.Bottom};
  }
  return TPoint{};
}

// --- hints, scroll bars

String TBaseVastTree::DoGetNodeHint(PVastNode, TColumnIndex, TVTTooltipLineBreakStyle& LineBreakStyle) {
  LineBreakStyle = hlbDefault;
  return FHint;
}

String TBaseVastTree::DoGetNodeTooltip(PVastNode, TColumnIndex, TVTTooltipLineBreakStyle& LineBreakStyle) {
  LineBreakStyle = hlbDefault;
  return FHint;
}

void TBaseVastTree::DoGetHintSize(PVastNode Node, TColumnIndex Column, TRect& R) {
  if (OnGetHintSize) OnGetHintSize(this, Node, Column, R);
}

void TBaseVastTree::DoGetHintKind(PVastNode Node, TColumnIndex Column, TVTHintKind& Kind) {
  Kind = vhkText;
  if (OnGetHintKind)
    OnGetHintKind(this, Node, Column, Kind);
  else
    Kind = DefaultHintKind();
}

void TBaseVastTree::DoDrawHint(TCanvas* Canvas, PVastNode Node, const TRect& R, TColumnIndex Column) {
  if (OnDrawHint) OnDrawHint(this, Canvas, Node, R, Column);
}

void TBaseVastTree::DoShowScrollBar(Integer Bar, bool Show) {
  if (OnShowScrollBar) OnShowScrollBar(this, Bar, Show);
}

// --- mouse and keyboard

void TBaseVastTree::DoColumnClick(TColumnIndex Column, TShiftState Shift) {
  if (OnColumnClick) OnColumnClick(this, Column, Shift);
}

void TBaseVastTree::DoColumnDblClick(TColumnIndex Column, TShiftState Shift) {
  if (OnColumnDblClick) OnColumnDblClick(this, Column, Shift);
}

void TBaseVastTree::DoNodeClick(const THitInfo& HitInfo) {
  if (OnNodeClick) OnNodeClick(this, HitInfo);
}

void TBaseVastTree::DoNodeDblClick(const THitInfo& HitInfo) {
  if (OnNodeDblClick) OnNodeDblClick(this, HitInfo);
}

bool TBaseVastTree::DoCanSplitterResizeNode(TPoint P, PVastNode Node, TColumnIndex Column) {
  bool Allowed = FOptions->MiscOptions().Contains(toNodeHeightResize) && Node && Node != FRoot && Column >= 0 &&
                 FHeader->ColumnIsFixed(Column);
  if (OnCanSplitterResizeNode) OnCanSplitterResizeNode(this, P, Node, Column, Allowed);
  return Allowed;
}

bool TBaseVastTree::DoNodeHeightDblClickResize(PVastNode Node, TColumnIndex Column, TShiftState Shift, TPoint P) {
  bool Allowed = true;
  if (OnNodeHeightDblClickResize) OnNodeHeightDblClickResize(this, Node, Column, Shift, P, Allowed);
  return Allowed;
}

bool TBaseVastTree::DoNodeHeightTracking(PVastNode Node, TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint,
                                         TPoint P) {
  bool Allowed = true;
  if (OnNodeHeightTracking) OnNodeHeightTracking(this, Node, Column, Shift, TrackPoint, P, Allowed);
  return Allowed;
}

void TBaseVastTree::DoGetCursor(TCursor& Cursor) {
  if (OnGetCursor) OnGetCursor(this, Cursor);
}

bool TBaseVastTree::DoKeyAction(Word& CharCode, TShiftState& Shift) {
  bool DoDefault = true;
  if (OnKeyAction) OnKeyAction(this, CharCode, Shift, DoDefault);
  return DoDefault;
}

Integer TBaseVastTree::DoIncrementalSearch(PVastNode Node, const String& Text) {
  Integer Result = 0;
  if (OnIncrementalSearch) OnIncrementalSearch(this, Node, Text, Result);
  return Result;
}

TPopupMenu* TBaseVastTree::DoGetPopupMenu(PVastNode Node, TColumnIndex Column, const TPoint& Position) {
  TPopupMenu* Result = nullptr;
  if (!OnGetPopupMenu) return Result;
  if (Node == FRoot) Node = nullptr;
  if (!Node) {
    bool AskParent = true;
    OnGetPopupMenu(this, nullptr, NoColumn, Position, AskParent, Result);
    return Result;
  }
  // A node without a menu of its own may take its nearest ancestor's.
  // A handler that deletes the node it is asked about ends the walk.
  bool AskParent = true;
  PVastNode Run = Node;
  const TNodeWatch Watch(*this, Run);
  while (Run && Run != FRoot && !Result && AskParent) {
    OnGetPopupMenu(this, Run, Column, Position, AskParent, Result);
    if (!Run) break;
    Run = Run->Parent;
  }
  return Result;
}

void TBaseVastTree::DoMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TBaseVastTree::DoMouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

// --- editing, drag and drop, clipboard

IVTEditLink* TBaseVastTree::DoCreateEditor(PVastNode Node, TColumnIndex Column) {
  IVTEditLink* Result = nullptr;
  if (OnCreateEditor) OnCreateEditor(this, Node, Column, Result);
  return Result;
}

bool TBaseVastTree::DoDragAllowed(PVastNode Node, TColumnIndex Column) {
  bool Allowed = false;
  if (OnDragAllowed) OnDragAllowed(this, Node, Column, Allowed);
  return Allowed;
}

bool TBaseVastTree::DoDragOver(TObject* Source, TShiftState Shift, TDragState State, TPoint Pt, TDropMode Mode,
                               Integer& Effect) {
  bool Accept = false;
  if (OnDragOver) OnDragOver(this, Source, Shift, State, Pt, Mode, Effect, Accept);
  return Accept;
}

void TBaseVastTree::DoDragDrop(TObject* Source, IDataObject* DataObject, const TFormatArray& Formats, TShiftState Shift,
                               TPoint Pt, Integer& Effect, TDropMode Mode) {
  if (OnDragDrop) OnDragDrop(this, Source, DataObject, Formats, Shift, Pt, Effect, Mode);
}

IDataObject* TBaseVastTree::DoCreateDataObject() {
  IDataObject* Result = nullptr;
  if (OnCreateDataObject) OnCreateDataObject(this, Result);
  return Result;
}

IVTDragManager* TBaseVastTree::DoCreateDragManager() {
  IVTDragManager* Result = nullptr;
  if (OnCreateDragManager) OnCreateDragManager(this, Result);
  return Result;
}

void TBaseVastTree::DoGetUserClipboardFormats(TFormatEtcArray& Formats) {
  if (OnGetUserClipboardFormats) OnGetUserClipboardFormats(this, Formats);
}

HRESULT TBaseVastTree::DoRenderOLEData(const tagFORMATETC& FormatEtcIn, tagSTGMEDIUM& Medium, bool ForClipboard) {
  HRESULT Result = VT_E_FAIL;
  if (OnRenderOLEData) OnRenderOLEData(this, FormatEtcIn, Medium, ForClipboard, Result);
  return Result;
}

// --- header events

void TBaseVastTree::DoAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, const THeaderPaintElements& Elements) {
  if (OnAdvancedHeaderDraw) OnAdvancedHeaderDraw(HeaderObject(), PaintInfo, Elements);
}

void TBaseVastTree::DoHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements) {
  if (OnHeaderDrawQueryElements) OnHeaderDrawQueryElements(HeaderObject(), PaintInfo, Elements);
}

void TBaseVastTree::DoHeaderDraw(TCanvas* Canvas, TVastTreeColumn* Column, const TRect& R, bool Hover, bool Pressed,
                                 TVTDropMarkMode DropMark) {
  if (OnHeaderDraw) OnHeaderDraw(HeaderObject(), Canvas, Column, R, Hover, Pressed, DropMark);
}

void TBaseVastTree::DoGetHeaderCursor(HICON& Cursor) {
  if (OnGetHeaderCursor) OnGetHeaderCursor(HeaderObject(), Cursor);
}

void TBaseVastTree::DoHeaderClick(const TVTHeaderHitInfo& HitInfo) {
  if (OnHeaderClick) OnHeaderClick(HeaderObject(), HitInfo);
}

void TBaseVastTree::DoHeaderDblClick(const TVTHeaderHitInfo& HitInfo) {
  if (OnHeaderDblClick) OnHeaderDblClick(HeaderObject(), HitInfo);
}

void TBaseVastTree::DoHeaderDragged(TColumnIndex Column, Integer OldPosition) {
  if (OnHeaderDragged) OnHeaderDragged(HeaderObject(), Column, OldPosition);
}

void TBaseVastTree::DoHeaderDraggedOut(TColumnIndex Column, TPoint DropPosition) {
  if (OnHeaderDraggedOut) OnHeaderDraggedOut(HeaderObject(), Column, DropPosition);
}

bool TBaseVastTree::DoHeaderDragging(TColumnIndex Column) {
  bool Allowed = true;
  if (OnHeaderDragging) OnHeaderDragging(HeaderObject(), Column, Allowed);
  return Allowed;
}

void TBaseVastTree::DoHeaderMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnHeaderMouseDown) OnHeaderMouseDown(HeaderObject(), Button, Shift, X, Y);
}

void TBaseVastTree::DoHeaderMouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (OnHeaderMouseMove) OnHeaderMouseMove(HeaderObject(), Shift, X, Y);
}

void TBaseVastTree::DoHeaderMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnHeaderMouseUp) OnHeaderMouseUp(HeaderObject(), Button, Shift, X, Y);
}
