#pragma once
// Windows only. The tree as a windowed control of the class library: the
// window side of TBaseVastTree (creation, messages, scroll bars, painting of
// rows, lines, buttons, images and the header) and the string tree's cell
// drawing. The geometry itself is the portable core's; this layer answers
// its IVastTreeHost questions with the window's and paints what the core
// computes.
//
// TVastTreeControl joins the tree core with TCustomControl and paints rows,
// lines, buttons, images, backgrounds and the header; TVastStringTree, the
// class of the application's trees, adds the drawing of cell texts. The
// control builds on the string core (a tree without texts leaves its width
// cache unused).
#include <functional>
#include <memory>
#include <vector>

#include "treeview/VastStringTree.h"
#include "treeview/VastTreeHeader.h"
#include "treeview/VastTreePanning_win.h"
#include "treeview/VastTreeUtils.h"
#include "treeview/VastTrees.h"
#include "vcl/Controls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"

// The window message the tree sends itself after its scroll bars changed,
// for whoever draws styled bars over them.
inline constexpr UINT CM_UPDATE_VCLSTYLE_SCROLLBARS = 0xB802;
// Answered with 1: the tree paints its own background.
inline constexpr UINT CM_PARENTDOUBLEBUFFEREDCHANGED_QUERY = 0x0CE3;

// Cursor numbers the tree view adds to the screen's cursor table.
inline constexpr TCursor crVertSplit = 62;
inline constexpr TCursor crHeaderSplit = 63;

// --- drawing utilities bound to GDI
// Clips the canvas to ClipRect (logical coordinates), intersected with
// VisibleRegion when that is not 0.
void ClipCanvasToRect(TCanvas* Canvas, const TRect& ClipRect, HRGN VisibleRegion = nullptr);
// Grows R (from its top-left corner) to the extent DrawTextW gives Text.
void MeasureTextRect(HDC DC, const String& Text, TRect& R, UINT DrawFormat);
String ShortenTextWithEllipsis(HDC DC, const String& Text, Integer Width, Integer EllipsisWidth = 0);
String WrapTextToWidth(HDC DC, const String& Text, const TRect& Bounds, bool RTL, UINT DrawFormat);
// The bits of the DIB section selected into DC, with its signed height.
void* SelectedBitmapBits(HDC DC, Integer& Width, Integer& Height);
enum TAlphaBlendMode : Byte { abmConstant, abmPerPixel, abmMaster, abmColor };
void AlphaBlendRect(HDC Source, HDC Destination, const TRect& R, const TPoint& Target, TAlphaBlendMode Mode,
                    Integer ConstantAlpha, Integer Bias);
COLORREF ColorToColorRef(TColor Color);
void DrawImageGrayed(TCustomImageList* ImageList, TCanvas* Canvas, Integer X, Integer Y, Integer Index);
bool IsCursorShowing();
// The explorer theme class exists from version 6 on.
bool IsWindowsSixOrLater();
bool IsHighContrastOn();
// Draws Bitmap stretched into DestRect through its device-independent form
// (device-dependent bitmaps do not reach printers).
void StretchDrawBitmapDIB(TCanvas* Canvas, const TRect& DestRect, TBitmap* Bitmap);
// The header's font as a real font, and a font as the header keeps it.
void AssignHeaderFont(TFont& Font, const TVTHeaderFont& Source);
TVTHeaderFont HeaderFontOf(TFont& Font);

// --- accessibility: the process-wide registry of providers. This program
// registers none, so trees answer WM_GETOBJECT with 0.
struct IAccessible;
class TBaseVastTree;
// A provider's object is a new reference, which its taker releases.
class IVTAccessibleProvider {
public:
  virtual IAccessible* CreateIAccessible(TBaseVastTree* ATree) = 0;

protected:
  ~IVTAccessibleProvider() = default;
};

void ReleaseAccessibleObject(IAccessible* Object);
// A reference to an accessible object, released when it is let go.
using TAccessibleRef = TWinHandle<IAccessible*, &ReleaseAccessibleObject>;

class TVTAccessibilityFactory {
public:
  static TVTAccessibilityFactory& GetAccessibilityFactory();
  void RegisterAccessibleProvider(IVTAccessibleProvider* AProvider);
  void UnRegisterAccessibleProvider(IVTAccessibleProvider* AProvider);
  // Accessible: the tree's object so far; AccessibleItem its item object.
  IAccessible* CreateIAccessible(TBaseVastTree* ATree, IAccessible* Accessible, IAccessible* AccessibleItem);
  Integer ProviderCount() const { return static_cast<Integer>(FProviders.size()); }

private:
  std::vector<IVTAccessibleProvider*> FProviders;  // not owned
};

// --- header painting
struct THeaderPaintInfo {
  TCanvas* TargetCanvas = nullptr;    // not owned
  TVastTreeColumn* Column = nullptr;  // not owned; nil for the strip's background
  TRect PaintRectangle;
  TRect TextRectangle;
  bool IsHoverIndex = false;
  bool IsDownIndex = false;
  bool IsEnabled = false;
  bool ShowHeaderGlyph = false;
  bool ShowSortGlyph = false;
  bool ShowRightBorder = false;
  TVTDropMarkMode DropMark = dmmNone;
  TPoint GlyphPos;
  TPoint SortGlyphPos;
  TSize SortGlyphSize;

  void DrawSortArrow(TSortDirection Direction);
  void DrawDropMark(Integer Scaled5);
};

// --- hints: what the tree's hint window shows.
struct TVTHintData {
  class TBaseVastTree* Tree = nullptr;
  PVastNode Node = nullptr;
  TColumnIndex Column = NoColumn;
  TRect HintRect;  // an owner-drawn hint's size; empty otherwise
  String HintText;
  TBiDiMode BidiMode = bdLeftToRight;
  TAlignment Alignment = taLeftJustify;
  TVTTooltipLineBreakStyle LineBreakStyle = hlbDefault;
};

// --- the toggle slide: while a node opens, a gap opens at Gap (client y)
// with the rows above moving up by AboveDistance and those below moving
// down by BelowDistance; while it closes, the gap [Gap, Gap + GapHeight)
// closes with the rows above moving down and those below moving up.
struct TToggleSlide {
  bool Opening = false;
  Integer Gap = 0;
  Integer GapHeight = 0;
  Integer AboveDistance = 0;
  Integer BelowDistance = 0;
};

// --- the control

enum TBevelKind : Byte { bkNone, bkTile, bkSoft, bkFlat };
enum TBevelEdge : Byte { beLeft, beTop, beRight, beBottom };
using TBevelEdges = TSet<TBevelEdge, Byte>;

class TVastTreeControl : public TCustomControl, public TCustomVastStringTree, public IVastTreeHost {
  friend class TVastTreeHintWindow;
  friend class TVclStyleScrollBarsHook;

public:
  explicit TVastTreeControl(TComponent* AOwner);
  ~TVastTreeControl() override;

  // Names both bases have; the control's meaning wins where a caller means
  // the window.
  using TCustomControl::Invalidate;
  using TCustomVastStringTree::Header;
  using TCustomVastStringTree::Alignment;
  using TCustomVastStringTree::SetAlignment;
  using TCustomVastStringTree::BiDiMode;
  // The window follows: right to left its vertical scroll bar is on the
  // left and the columns sit at the right.
  void SetBiDiMode(TBiDiMode Value);

  TCustomImageList* Images() const { return TCustomVastStringTree::Images(); }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const { return TCustomVastStringTree::StateImages(); }
  void SetStateImages(TCustomImageList* Value);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  bool Ctl3D() const { return FCtl3D; }
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer Value);
  TBevelKind BevelKind() const { return FBevelKind; }
  void SetBevelKind(TBevelKind Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  Integer BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(Integer Value);
  TBevelEdges BevelEdges() const { return FBevelEdges; }
  void SetBevelEdges(TBevelEdges Value);
  const TRect& HeaderRect() const { return FHeaderRect; }
  // Paints the part Window (absolute tree coordinates) onto TargetCanvas at
  // Target.
  virtual void PaintTree(TCanvas* TargetCanvas, const TRect& Window, const TPoint& Target,
                         TVTInternalPaintOptions PaintOptions);
  // Paints the header area R (window coordinates) onto DC; HOffset moves
  // the scrolling columns (minus the horizontal scroll position).
  void PaintHeader(HDC DC, const TRect& R, Integer HOffset);
  // Prints the whole tree (below its header with PrintHeader and a visible
  // header) in pages, scaled so that text has the printer's size for the
  // tree's font. Nothing without a printer.
  void Print(class TPrinter* Printer, bool PrintHeader);
  // Paints one column's head into R of Canvas (the column drag's picture).
  void PaintColumnHead(TCanvas* Canvas, TColumnIndex Column, const TRect& R);
  // The width a head's content needs: caption, picture or check box, sort
  // arrow.
  Integer CaptionWidth(TColumnIndex Column);
  // Right to left with the window's own scroll bar (see the core).
  Integer RightToLeftOffset(bool ExcludeScrollBar) override;
  bool IsEmpty() const { return TCustomVastStringTree::RootNodeCount() == 0; }
  // Another tree's settings and, from a windowed tree, its control
  // properties (placement, frame, colours, font, pictures, menus, focus
  // order); never its nodes. A read-only tree takes nothing.
  void Assign(const TBaseVastTree& Source) override;
  using TCustomControl::Assign;
  bool CanFocus() const override;
  // Whether the system draws with visual themes (uxtheme's application
  // theming on and a theme active).
  static bool ThemeServicesEnabled();
  // Gives the window the theme class Theme ("explorer"; nil: the default).
  void SetWindowTheme(const char16_t* Theme);
  // The picture under the rows (shown with toShowBackground): tiled from
  // the offsets in tree coordinates, so it scrolls with the content, or,
  // with toStaticBackground, once at the offsets in the window.
  TPicture* Background() { return &FBackground; }
  void SetBackground(TPicture* Value);
  Integer BackgroundOffsetX() const { return FBackgroundOffsetX; }
  void SetBackgroundOffsetX(Integer Value);
  Integer BackgroundOffsetY() const { return FBackgroundOffsetY; }
  void SetBackgroundOffsetY(Integer Value);
  bool BackgroundImageTransparent() const { return FBackgroundImageTransparent; }
  void SetBackgroundImageTransparent(bool Value);
  // The rectangle a mouse selection is drawing, in absolute tree
  // coordinates (empty when none); the mouse handling sets it.
  const TRect& SelectionRect() const { return NewSelRect(); }
  void SetSelectionRect(const TRect& Value) { SetNewSelRect(Value); }
  TBitmap* ButtonBitmap(bool Expanded) { return Expanded ? FMinusBM.get() : FPlusBM.get(); }
  // Draws the six expand-button pictures instead of the tree (all of Size,
  // which the handler may change; the key colour 0xFF00FF is clear).
  std::function<void(TBaseVastTree* Sender, TBitmap* PlusBM, TBitmap* HotPlusBM, TBitmap* SelectedHotPlusBM,
                     TBitmap* MinusBM, TBitmap* HotMinusBM, TBitmap* SelectedHotMinusBM, TSize& Size)>
      OnPrepareButtonBitmaps;
  // Millisecond clock of the animation loop; tests replace it.
  std::function<Cardinal()> Clock;
  // Runs Callback(Step, StepSize) over Duration milliseconds in Steps steps
  // (False from the callback stops it), then once more with (0, 0).
  void Animate(Cardinal Steps, Cardinal Duration, const std::function<bool(Integer Step, Integer StepSize)>& Callback);
  // The slide that opening (Expanding) or closing Node by Distance pixels
  // shows now; nothing moves when both distances are 0.
  TToggleSlide ToggleSlideFor(PVastNode Node, bool Expanding, Integer Distance);

  // IVastTreeHost
  bool HasWindow() const override { return FHandle != nullptr; }
  void InvalidateNodeArea(TVastNode* Node) override;
  void InvalidateToBottomArea(TVastNode* Node) override;
  void InvalidateAll() override;
  void SetRedraw(bool Enabled) override;
  void ScrollBarsUpdated(bool DoRepaint) override;
  void SetTimer(Cardinal TimerId, Cardinal Milliseconds) override;
  void KillTimer(Cardinal TimerId) override;
  Integer TextWidth(const String& Text) override;
  Integer TextHeight(const String& Text) override;
  void SendToUIThread(std::function<void()> Work) override;
  void PostToUIThread(std::function<void()> Work) override;
  bool IsUIThread() const override;
  void ServeUIThread(Cardinal TimeoutMs) override;
  Integer ClientWidth() const override;
  Integer ClientHeight() const override;
  Integer SetScrollBar(bool Vertical, TScrollBarShow Show, Integer Max, Integer Page, Integer Pos,
                       bool Repaint) override;
  Integer ScrollBarSize(bool Vertical) const override;
  void ScrollClient(Integer DX, Integer DY, const TRect& Clip) override;
  void InvalidateRect(const TRect& R) override;
  void UpdateNow() override;
  TSize ImageListSize(TCustomImageList* List) const override;
  Integer PixelsPerInch() const override;

  // Whether the tree has hints to show at all (its hint mode or hint).
  bool HasHint() const override;
  // Input services.
  bool Focused() const override;
  void SetFocus() override;
  bool Enabled() const override { return TControl::Enabled(); }
  void SetMouseCapture(bool Capture) override;
  TPoint ClientToScreen(const TPoint& P) const override;
  TPoint ScreenToClient(const TPoint& P) const override;
  TPoint CursorPos() const override;
  bool CursorShowing() const override { return IsCursorShowing(); }
  bool IsDragTargetAt(const TPoint& ScreenPoint) const override;
  Integer SystemDragThreshold() const override;
  bool LeftButtonDown() const override;
  void Beep() override;
  Cardinal TickCount() const override { return Clock(); }

  // The check image size: the system's check box at the screen's density.
  Integer CheckImageWidth() const override;
  // Check images from an image list of the owner's instead of the system's.
  TCustomImageList* CustomCheckImages() const { return FCustomCheckImages; }
  void SetCustomCheckImages(TCustomImageList* Value);
  // The cursor over the hot node with toHotTrack (crDefault: the control's).
  TCursor HotCursor() const { return FHotCursor; }
  void SetHotCursor(TCursor Value) { FHotCursor = Value; }
  // The header's own popup menu (nil: with hoAutoColumnPopupMenu the tree
  // shows a menu of the columns).
  TPopupMenu* HeaderPopupMenu() const { return FHeaderPopupMenu; }
  void SetHeaderPopupMenu(TPopupMenu* Value);
  // Asked for each column the automatic column menu lists.
  std::function<void(const TBaseVastTree* Sender, TColumnIndex Column, TAddPopupItemType& Cmd)> OnHeaderAddPopupItem;
  // The panning window while wheel panning runs (nil otherwise).
  HWND PanningWindow() const { return FPanningWindow ? FPanningWindow->Handle() : nullptr; }
  // The column drag image while a column is dragged (nil otherwise).
  class TVTDragImage* HeaderDragImage() const {
    return FHeaderDragImage.get();
  }
  // Paints the selected nodes around HotSpot (client coordinates) into the
  // picture of a node drag and prepares the drag image with it, hidden
  // until shown; nothing with diNoImage. The background colour is clear.
  void PrepareDragImage(const TPoint& HotSpot, IDataObject* DataObject);
  // The image of a node drag (nil before the first PrepareDragImage).
  class TVTDragImage* DragImage() const {
    return FDragImage.get();
  }

  // The cell's font after OnPaintText (into AFont), its text and its text
  // rectangle, centred vertically on the text's height: where an editor
  // puts the text.
  void GetTextInfo(PVastNode Node, TColumnIndex Column, TFont* AFont, TRect& R, String& Text);
  using TCustomVastStringTree::GetTextInfo;
  // The exports' view of the control: its font, colour and border, real
  // colours, the user's measurement system and OnPaintText on a memory canvas.
  TVTExportLook GetExportLook() override;
  TColor ExportColorToRGB(TColor Color) override;
  bool MeasurementIsMetric() override;
  bool ExportPaintText(PVastNode Node, TColumnIndex Column, TVSTTextType TextType, TVTHeaderFont& Font) override;

  TSize ButtonSize() const override;
  Integer ColumnCaptionWidth(TColumnIndex Column) override { return CaptionWidth(Column); }
  // Measured in the header's font.
  Integer HeaderTextHeight(const String& Text) override;

  // --- data exchange: the clipboard and OLE drag and drop (the clipboard
  // unit). The tree's formats are those ClipboardFormats names.
  virtual void CopyToClipboard();
  virtual void CutToClipboard();
  virtual bool PasteFromClipboard();
  // Leaves the formats on the clipboard without the tree (the system
  // renders them now); "Vast Tree Reference" is not among them.
  void FlushClipboard();
  using TCustomVastStringTree::ProcessDrop;
  using TCustomVastStringTree::ProcessOLEData;
  using TCustomVastStringTree::SourceTreeOfDataObject;
  bool ProcessOLEData(TBaseVastTree* Source, IDataObject* DataObject, PVastNode TargetNode, TVTNodeAttachMode Mode,
                      bool Optimized);
  TBaseVastTree* SourceTreeOfDataObject(IDataObject* DataObject);
  bool ProcessDrop(IDataObject* DataObject, PVastNode TargetNode, Integer& Effect, TVTNodeAttachMode Mode);
  // Created on first use (OnCreateDragManager, else the tree's own).
  class IVTDragManager* DragManager();
  // The data object of a drag from this tree: OnCreateDataObject's, else a
  // new one of the tree's (a new reference; nil when a handler gave none).
  IDataObject* CreateDragDataObject();
  // The registered formats of the tree's class named in ClipboardFormats,
  // then OnGetUserClipboardFormats.
  virtual void NativeClipboardFormats(TFormatEtcArray& Formats);
  // Renders one format of the tree's data object into Medium.
  virtual HRESULT RenderNativeData(const tagFORMATETC& FormatEtcIn, tagSTGMEDIUM& Medium, bool ForClipboard);
  // The export of Source as a global block in the clipboard format Format
  // (a text, CSV, RTF or HTML format); 0 for another format.
  HGLOBAL ContentToClipboard(Word Format, TVSTTextSourceType Source);
  bool IsOleDropTarget() const override;
  // The drag loop of a drag from this tree; DragEffect receives the effect.
  virtual void RunOleDragLoop(Integer AllowedEffects, IDataObject* DataObject, Integer& DragEffect);
  // Ends a platform drag: the button that dragged is released.
  virtual void FinishDrag();
  // Both the tree's drag (OLE or the class library's, by DragType) and the
  // class library's: one operation.
  void BeginDrag(bool Immediate, Integer Threshold = -1) override;
  // An OLE drag pending or running, or the class library's drag of the tree.
  bool Dragging() const override;

protected:
  // Input: the messages in terms of the portable handlers.
  bool HandleMouseMessage(TMessage& Message);
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  bool PopupMenuAvailable(PVastNode Node, TColumnIndex Column, TPoint Pos) override;
  // The header's share of the messages; True when it handled one.
  bool HandleHeaderMessage(TMessage& Message);
  TPoint HeaderMessagePoint(const TMessage& Message, bool NonClient) const;
  bool HeaderWMSize();
  bool HeaderWMNCHitTest(TMessage& Message);
  bool HeaderCancelTracking(TMessage& Message);
  bool HeaderWMSetCursor(TMessage& Message);
  bool HeaderWMNCMouseMove(TMessage& Message);
  bool HeaderLeftButtonDown(TMessage& Message);
  bool HeaderLeftButtonUp(TMessage& Message);
  void HeaderDropColumn(const TPoint& Release);
  bool HeaderDoubleClick(TMessage& Message);
  bool HeaderOtherButtonDown(TMessage& Message);
  bool HeaderOtherButtonUp(TMessage& Message);
  bool HeaderWMTimer(TMessage& Message);
  bool HeaderCapturedMouseMove(TMessage& Message);
  bool FindSplitterColumn(const TPoint& P);
  bool ColumnSplitterHit(const TPoint& P);
  bool CanResizeHeader(const TPoint& P);
  bool InHeader(const TPoint& P) const;
  bool InHeaderSplitterArea(const TPoint& P) const;
  bool HoverColumnAt(const TPoint& P);
  TColumnIndex PressColumnAt(const TPoint& P);
  bool ProcessColumnClick(const TPoint& P, TMouseButton Button, bool Force, bool DblClick);
  // The header's menu for Column at P (client coordinates): OnGetPopupMenu
  // asked without a node, preset to the header's own menu.
  virtual TPopupMenu* DoGetHeaderPopupMenu(TColumnIndex Column, const TPoint& P);
  void StartColumnDrag(const TPoint& P, const TPoint& Start);
  bool MoveDragImage(const TPoint& P);
  void InvalidateHeaderColumn(TColumnIndex Column);
  TShiftState KeyboardShiftState() const;
  void DoShowPopupMenu(PVastNode Node, TColumnIndex Column, const TPoint& Position) override;
  Char CharForKey(Word CharCode) override;
  void UpdatePanningCursor(Integer X, Integer Y) override;
  void BeginWheelPanning(TPoint Position) override;
  void EndWheelPanning() override;
  void PanningWindowHandler(TMessage& Message);
  IVTEditLink* DoCreateEditor(PVastNode Node, TColumnIndex Column) override;
  // The class of the tree's hint window (TVastTreeHintWindow).
  virtual THintWindowClass HintWindowClass() const;
  void HintShow(THintInfo& Info) override;
  void HintShowPause(bool HintActive, Integer& Pause) override;
  void MouseEnter() override;
  void MouseLeave() override;
  // Paints the node's check image at (X, Y) of the row canvas.
  virtual void PaintCheckImage(TVTPaintInfo& PaintInfo, Integer X, Integer Y);
  // Paints check image Index (the check image list's layout) at the entry's
  // position: from the custom check images, or the system's drawing.
  virtual void PaintCheckBox(TCanvas* Canvas, const TVTImageInfo& ImageInfo, bool Selected);
  void InvalidateHeader(TVastTreeColumn* Column, bool ExpandToBorder, bool UpdateNow) override;
  void HeaderFrameChanged() override;
  void HeaderImagesChanged(TCustomImageList* Old, TCustomImageList* New) override;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  // The handlers WndProc dispatches to, one per message (the mouse
  // messages share one, as do the two scroll bars). A Boolean handler
  // returns False for a message it leaves to the inherited handling.
  void WMMouse(TMessage& Message);
  bool WMContextMenu(TMessage& Message);
  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMPaint(TMessage& Message);
  void WMPrint(TMessage& Message);
  void WMPrintClient(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMScroll(TMessage& Message);
  void WMMouseWheel(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  void WMGetObject(TMessage& Message);
  void WMNCDestroy(TMessage& Message);
  bool WMSetCursor(TMessage& Message);
  void WMThemeChanged(TMessage& Message);
  void WMEnable(TMessage& Message);
  void Paint() override;
  // The client rectangle Update (client coordinates) onto TargetCanvas,
  // fixed columns unscrolled.
  void PaintClientArea(TCanvas* TargetCanvas, const TRect& Update);
  void FontChanged() override;

  void ScaleBy(Integer M, Integer D) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DoPaintDropMark(TCanvas* Canvas, PVastNode Node, const TRect& R) override;
  void DoOleDrag(TPoint P) override;
  bool OwnDragImageShown() const override;
  void RedrawWithDragImage(TBaseVastTree* Source, const TRect& TreeRect, bool UpdateNCArea,
                           bool ReshowDragImage) override;
  // The class library's drag: the tree as source and as target (CM_DRAG).
  void BeginPlatformDrag(bool Immediate, Integer Threshold) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;
  void DragCanceled() override;
  void CMDrag(TMessage& Message);
  // The window as drop target while toAcceptOLEDrop is set.
  void RegisterDropTarget(bool Register);
  // The rubber band of a mouse selection, in the row's coordinates.
  virtual void PaintRubberBand(TCanvas* Canvas, const TRect& VisibleRect, const TRect& SelectionRect);
  void ColorChanged() override;
  void DoEnter() override;
  // After a scroll the row under a resting pointer is the hot one.
  void DoScroll(Integer DeltaX, Integer DeltaY) override;
  void TimerFired(Cardinal TimerId) override;
  void MiscOptionsChanged(TVTMiscOptions Old, TVTMiscOptions New) override;
  bool ComponentLoading() const override { return ComponentState().Contains(csLoading); }
  // After the form is built: the stored top-level count becomes nodes, and
  // the header settles its main column, column order and widths.
  void Loaded() override;
  // Themes follow toThemeAware and toUseExplorerTheme.
  void PaintOptionsChanged(TVTPaintOptions Old, TVTPaintOptions New) override;
  // Lets the tree notice a handler changing Canvas's font during painting
  // (FontChangedWhileHooked: the font measures differently from when it
  // was hooked; a new colour alone is no change); the canvas's own handler
  // still runs.
  virtual void HookCanvasFontChange(TCanvas* Canvas);
  virtual void UnhookCanvasFontChange(TCanvas* Canvas);
  virtual void CanvasFontChanged(TObject* Sender);
  bool FontChangedWhileHooked() const { return FFontChanged; }
  void SetCursorFor(TMessage& Message);
  // Whether a custom style of the class library is active now.
  virtual void UpdateStyleEnabled();
  bool VclStyleEnabled() const { return FVclStyleEnabled; }
  void PrepareButtonImages(bool Buttons, bool Lines) override;
  // The classic pictures: triangles, or boxes with a plus and a minus.
  void PrepareClassicButtons();
  // The colour the button pictures key out.
  TColor ButtonKeyColor() const;
  // The window's tree view theme (its glyphs) or, with ExplorerItems, the
  // explorer's tree items, opened on first use while painting and kept
  // until the window or its theme changes; nil without one.
  void* TreeTheme(bool ExplorerItems);
  void CloseTreeThemes();
  void AnimateToggle(PVastNode Node, bool Expanding, Integer Distance) override;
  // Fills the strip [Top, Bottom) of the client area as the empty rows show
  // it (Background nil: leaves what is not a column's).
  void FillSlideStrip(HDC DC, Integer Top, Integer Bottom, HBRUSH Background);
  void RecreateWindow() override;
  void RepaintHeader() override;
  TRect CellRectForMargin(PVastNode Node, TColumnIndex Column) override;

  // Painting steps.
  virtual void PaintCellBackground(TVTPaintInfo& PaintInfo);
  virtual void PaintLineImages(TVTPaintInfo& PaintInfo, const TLineImage& LineImage);
  virtual void PaintExpandButton(TVTPaintInfo& PaintInfo, Integer ButtonY);
  virtual void PaintNodeImage(TVTPaintInfo& PaintInfo, TVTImageInfoIndex Index);
  TCustomImageList* FetchImageIndex(TVTPaintInfo& PaintInfo, TVTImageKind Kind, TVTImageInfoIndex Index);
  void EraseRowBackground(TVTPaintInfo& PaintInfo, const TRect& R, bool UseBackground, Integer RowTop);
  // Whether selections painted on Canvas are blended (the option, and a
  // bitmap under the canvas the blend can write).
  bool BlendsSelection(TCanvas* Canvas) const;
  // Paints the background picture into R (row coordinates; RowTop is the
  // row's top in tree coordinates).
  void PaintBackgroundPicture(TCanvas* Canvas, const TRect& R, Integer RowTop);
  bool UsesBackground(TVTInternalPaintOptions PaintOptions);
  void ComputeVAlign(TVTPaintInfo& PaintInfo, Integer& ButtonY);
  void ComputeContentLayout(TVTPaintInfo& PaintInfo);
  void DrawDottedHorizontalLine(TVTPaintInfo& PaintInfo, Integer Left, Integer Right, Integer Top);
  void DrawDottedVerticalLine(TVTPaintInfo& PaintInfo, Integer Top, Integer Bottom, Integer Left,
                              bool UseSelectedBkColor = false);
  void DrawLineImage(TVTPaintInfo& PaintInfo, Integer X, Integer Y, Integer H, Integer VAlign, TVTLineType Style);
  void PaintEmptyListMessage(TCanvas* Canvas, const TRect& Window, const TPoint& Target);
  // What the rows of one PaintTree pass share.
  struct TRowPaint {
    TVTInternalPaintOptions PaintOptions;
    TRect Window;  // the painted part, absolute tree coordinates
    Integer RowWidth = 0;
    bool UseBackground = false;
  };
  // One row on its canvas (logical y 0 at the row's top, x in tree
  // coordinates): its background, then its cells in display order.
  void PaintRow(const TRowPaint& Pass, TCanvas* Canvas, PVastNode Node, const TLineImage& LineImage, Integer NodeTop);
  // One cell's content as PaintInfo places it; Edited leaves the text to
  // the editor.
  void PaintCell(const TRowPaint& Pass, TVTPaintInfo& PaintInfo, const TLineImage& LineImage, bool IsMain, bool Edited);
  // The cell's grid lines, which take their pixel off the cell's rectangles.
  void PaintCellGridLines(const TRowPaint& Pass, TVTPaintInfo& PaintInfo, const TLineImage& LineImage, bool IsMain);
  // Area (row coordinates, NodeTop its top in the tree) below the last row.
  void PaintEmptyArea(const TRowPaint& Pass, TCanvas* Canvas, const TRect& Area, Integer NodeTop);
  TColor SelectionColor() const;
  TColor SelectionBorderColor() const;
  bool TreeFocused() const;
  // The frame's size (both values 0 or negative).
  TSize BorderExtent() const;
  void ComputeHeaderRect();
  void PaintBevelBorder(HDC DC);
  void PaintHeaderHead(THeaderPaintInfo& Info, TVastTreeColumn& Column, const TRect& H, UINT NormalEdge,
                       UINT NormalFlags, bool ShowRightBorder);
  void PlaceCaptionAndGlyphs(THeaderPaintInfo& Info, TVastTreeColumn& Column, UINT DrawFormat);
  void DrawCaptionText(HDC DC, String Caption, const TRect& TextRect, bool Enabled, bool Hot, UINT DrawFormat,
                       bool WrapCaption);
  // The font, edges and owner-drawing mode of a header paint.
  void BeginHeaderPaint(THeaderPaintInfo& Info, TCanvas* Canvas, TFont& HeaderFont, UINT& NormalEdge,
                        UINT& NormalFlags);
  // The header strip R of Canvas (the strip's top-left is client x 0 and
  // the header's top, moved right by the right-to-left offset).
  void PaintHeaderStrip(TCanvas* Canvas, const TRect& R, Integer HOffset);
  // One printed page: the part of the tree's picture (header on top) whose
  // top-left corner is Origin, painted onto Page.
  void PaintPrintPage(TBitmap& Page, const TPoint& Origin, Integer HeaderHeight);
  bool ShowsHeaderGlyph(const TVastTreeColumn& Column) const;
  TSize HeaderGlyphSize(const TVastTreeColumn& Column) const;
  // Emulated tree-view queries for senders in this process.
  bool AnswerTreeViewQuery(TMessage& Message);

  std::unique_ptr<TBitmap> FPlusBM, FMinusBM, FHotPlusBM, FHotMinusBM, FSelectedHotPlusBM, FSelectedHotMinusBM;
  TGdiObject FDottedBrush;
  // The accessible objects of the tree and of its item (see WM_GETOBJECT).
  TAccessibleRef FAccessible;
  TAccessibleRef FAccessibleItem;
  std::unique_ptr<TBitmap> FRowBuffer;
  std::unique_ptr<TBitmap> FHeaderBitmap;
  std::unique_ptr<TBitmap> FMeasureBitmap;
  TRect FHeaderRect;
  // While the header is painted: where client x 0 and the header's top lie
  // on the canvas.
  TPoint FHeaderCanvasOrigin;
  // The quality of the header's font: antialiased while the tree prints.
  TFontQuality FHeaderFontQuality = fqDefault;
  TRect FUpdateRect;
  Integer FRedrawDisabled = 0;
  TFormBorderStyle FBorderStyle = bsSingle;
  bool FCtl3D = true;
  Integer FBorderWidth = 0;
  TBevelKind FBevelKind = bkNone;
  TBevelCut FBevelInner = bvRaised;
  TBevelCut FBevelOuter = bvLowered;
  Integer FBevelWidth = 1;
  TBevelEdges FBevelEdges{beLeft, beTop, beRight, beBottom};
  // Width of the bevels on each bevelled side.
  Integer BevelSize() const;
  void FrameChanged();
  DWORD FThreadId = 0;
  TChangeLink FImageChangeLink;
  TChangeLink FStateChangeLink;
  TChangeLink FHeaderImageChangeLink;
  bool FChangingTheme = false;
  struct TThemeClose {
    void operator()(void* Theme) const;
  };
  std::unique_ptr<void, TThemeClose> FGlyphTheme;
  std::unique_ptr<void, TThemeClose> FItemTheme;
  // A custom style of the class library is active (not the system's look).
  bool FVclStyleEnabled = false;
  TNotifyEvent FOldFontChange;  // the hooked canvas font's own handler
  bool FFontChanged = false;
  // What the hooked font measures with, as it was when hooked: a handler
  // that only recolours the text changes none of it, so nothing is measured
  // again for it.
  struct TFontShape {
    String Name;
    Integer Height = 0;
    TFontStyles Style;
    TFontPitch Pitch = fpDefault;
    TFontQuality Quality = fqDefault;
    Integer Orientation = 0;
    Byte Charset = 0;
    static TFontShape Of(const TFont& Font);
    bool operator==(const TFontShape&) const = default;
  };
  TFontShape FHookedFontShape;
  bool FHeaderOwnerDraw = false;  // for the strip being painted
  bool FHeaderAdvanced = false;
  TPicture FBackground;
  TCustomImageList* FCustomCheckImages = nullptr;  // not owned
  TPopupMenu* FHeaderPopupMenu = nullptr;          // not owned
  TCursor FHotCursor = crDefault;
  std::unique_ptr<TPopupMenu> FHeaderPopup;  // the automatic column menu
  // The window first: it paints the picture until it goes.
  TGdiObject FPanningImage;
  std::unique_ptr<TPanningWindow> FPanningWindow;
  TCursorHandle FPanningCursor;
  TVTPanningCursor FPanningCursorKind = pcMoveAll;
  TPoint FHeaderDragStart;  // screen
  TPoint FHeaderTrackStart;
  TPoint FHeaderTrackPoint;
  std::unique_ptr<class TVTDragImage> FHeaderDragImage;
  std::unique_ptr<class TVTDragImage> FDragImage;
  // The effect of the last class-library drag message.
  Integer FVCLDragEffect = 0;
  struct TDragManagerRelease {
    void operator()(class IVTDragManager* Manager) const;
  };
  std::unique_ptr<class IVTDragManager, TDragManagerRelease> FDragManager;
  bool FDropTargetRegistered = false;
  TRect FLastHintRect;
  TVTHintData FHintData;
  // The cell or head last answered with no hint: the hint machinery asks a
  // control once while the pointer stays on it, so leaving that cell asks
  // again for the next.
  struct THintCell {
    bool Valid = false;
    bool Head = false;
    PVastNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    bool operator==(const THintCell&) const = default;
  };
  THintCell FNoHintCell;
  THintCell HintCellAt(const TPoint& P);
  void AskHintAgainIfMoved(const TPoint& P);
  std::unique_ptr<TBitmap> FBackgroundBitmap;  // the picture over the background colour
  Integer FBackgroundOffsetX = 0;
  Integer FBackgroundOffsetY = 0;
  bool FBackgroundImageTransparent = false;
};

// The class of the application's trees: cells show texts, shortened with
// "..." when their column is too narrow.
class TVastStringTree : public TVastTreeControl {
public:
  explicit TVastStringTree(TComponent* AOwner);

protected:
  void DoPaintNode(TVTPaintInfo& PaintInfo) override;
  virtual void DrawNormalText(TVTPaintInfo& PaintInfo, const String& Text);
  virtual void DrawStaticText(TVTPaintInfo& PaintInfo, TAlignment Alignment, const String& Text);
  void PrepareTextFont(TVTPaintInfo& PaintInfo);
  // The shortened text: OnShortenString's when it answers, else a prefix
  // and "...".
  virtual String DoShortenString(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& S, Integer Width);
  // Draws Text into CellRect unless OnDrawText draws it itself.
  virtual void DoDrawText(TVTPaintInfo& PaintInfo, const String& Text, const TRect& CellRect, UINT DrawFormat);
  void FontChanged() override;
  TSize DoMeasureText(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& Text) override;

public:
  // The height DrawTextW gives S (empty: the cell's text) in the cell's
  // width: wrapped for a multi-line node, one line otherwise.
  virtual Integer ComputeNodeHeight(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& S = String());
};
