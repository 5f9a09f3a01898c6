#pragma once
// The tree's header and its columns: the column collection with its display
// order, layout, width limits, auto-size column and width distribution; the
// header settings, sort column and direction, main column, the header events
// and the binary header stream. Painting and mouse handling belong to the
// window layer, which overrides the marked virtuals.
#include <functional>
#include <memory>
#include <vector>

#include "rtl/Streams.h"
#include "rtl/Types.h"
#include "treeview/VastTrees.h"
#include "rtl/Geometry.h"
#include "rtl/UITypes.h"

class TVTHeader;
class TVastTreeColumns;

enum TVastTreeColumnStyle : Byte { vsText, vsOwnerDraw };
enum TVTHeaderColumnLayout : Byte { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

enum TVTColumnOption : Byte {
  coAllowClick,
  coDraggable,
  coEnabled,
  coParentBidiMode,
  coParentColor,
  coResizable,
  coShowDropMark,
  coVisible,
  coAutoSpring,
  coFixed,
  coSmartResize,
  coAllowFocus,
  coDisableAnimatedResize,
  coWrapCaption,
  coUseCaptionAlignment,
  coEditable,
  coStyleColor
};
using TVTColumnOptions = TSet<TVTColumnOption, Cardinal>;
inline constexpr TVTColumnOptions DefaultColumnOptions = TVTColumnOptions::FromBits(0x188FF);
inline constexpr Cardinal AllColumnOptionBits = (1u << (coStyleColor + 1)) - 1;

enum TVTHeaderOption : Byte {
  hoAutoResize,
  hoColumnResize,
  hoDblClickResize,
  hoDrag,
  hoHotTrack,
  hoOwnerDraw,
  hoRestrictDrag,
  hoShowHint,
  hoShowImages,
  hoShowSortGlyphs,
  hoVisible,
  hoAutoSpring,
  hoFullRepaintOnResize,
  hoDisableAnimatedResize,
  hoHeightResize,
  hoHeightDblClickResize,
  hoHeaderClickAutoSort,
  hoAutoColumnPopupMenu,
  hoAutoResizeInclCaption
};
using TVTHeaderOptions = TSet<TVTHeaderOption, Cardinal>;
inline constexpr TVTHeaderOptions DefaultHeaderOptions = TVTHeaderOptions::FromBits(0x20A);
inline constexpr Cardinal AllHeaderOptionBits = (1u << (hoAutoResizeInclCaption + 1)) - 1;

enum THeaderState : Byte {
  hsAutoSizing,
  hsDragging,
  hsDragPending,
  hsLoading,
  hsColumnWidthTracking,
  hsColumnWidthTrackPending,
  hsHeightTracking,
  hsHeightTrackPending,
  hsResizing,
  hsScaling,
  hsNeedScaling
};
using THeaderStates = TSet<THeaderState, Word>;

enum TVTHeaderStyle : Byte { hsThickButtons, hsFlatButtons, hsPlates };
enum TSmartAutoFitType : Byte { smaAllColumns, smaNoColumn, smaUseColumnOption };

// System colours in the platform's encoding (high byte set, low byte the
// system colour number), so the window layer resolves them like its own.
inline constexpr TColor vtclWindowText = static_cast<TColor>(0xFF000008u);
inline constexpr TColor vtclWindow = static_cast<TColor>(0xFF000005u);
inline constexpr TColor vtclBtnFace = static_cast<TColor>(0xFF00000Fu);

// The header font as the stream stores it; the window layer maps it to a
// real font (pitch and style are the platform font model's numbers).
struct TVTHeaderFont {
  TColor Color = vtclWindowText;
  Integer Height = -11;
  String Name = u"Tahoma";
  Integer Pitch = 0;
  Integer Style = 0;
  friend bool operator==(const TVTHeaderFont&, const TVTHeaderFont&) = default;
};

using TColumnsArray = std::vector<class TVastTreeColumn*>;

// ---------------------------------------------------------------------------

class TVastTreeColumn : public TObject {
  friend class TVastTreeColumns;
  friend class TVTHeader;

public:
  TVastTreeColumn(const TVastTreeColumn&) = delete;
  TVastTreeColumn& operator=(const TVastTreeColumn&) = delete;

  TVastTreeColumns* Owner() const { return FOwner; }
  TColumnIndex Index() const { return FIndex; }

  const String& Text() const { return FText; }
  virtual void SetText(const String& Value);
  const String& CaptionText() const { return FCaptionText; }
  void SetCaptionText(const String& Value) { FCaptionText = Value; }
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  Integer MinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer Value);
  Integer MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(Integer Value);
  Integer LastWidth() const { return FLastWidth; }
  TColumnPosition Position() const { return FPosition; }
  void SetPosition(TColumnPosition Value);
  TVTColumnOptions Options() const { return FOptions; }
  void SetOptions(TVTColumnOptions Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TAlignment CaptionAlignment() const {
    return FOptions.Contains(coUseCaptionAlignment) ? FCaptionAlignment : FAlignment;
  }
  void SetCaptionAlignment(TAlignment Value);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  // The tree's reading direction changed; a column with coParentBidiMode
  // takes it.
  void ParentBiDiModeChanged(TBiDiMode Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool CheckBox() const { return FCheckBox; }
  void SetCheckBox(bool Value);
  TCheckType CheckType() const { return FCheckType; }
  void SetCheckType(TCheckType Value);
  TCheckState CheckState() const { return FCheckState; }
  void SetCheckState(TCheckState Value);
  TSortDirection DefaultSortDirection() const { return FDefaultSortDirection; }
  void SetDefaultSortDirection(TSortDirection Value) { FDefaultSortDirection = Value; }
  TImageIndex ImageIndex() const { return FImageIndex; }
  void SetImageIndex(TImageIndex Value);
  TVTHeaderColumnLayout Layout() const { return FLayout; }
  void SetLayout(TVTHeaderColumnLayout Value);
  Integer Margin() const { return FMargin; }
  void SetMargin(Integer Value);
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer Value);
  TVastTreeColumnStyle Style() const { return FStyle; }
  void SetStyle(TVastTreeColumnStyle Value);
  NativeInt Tag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }
  TVTEditOptions EditOptions() const { return FEditOptions; }
  void SetEditOptions(TVTEditOptions Value) { FEditOptions = Value; }
  Integer EditNextColumn() const { return FEditNextColumn; }
  void SetEditNextColumn(Integer Value) { FEditNextColumn = Value; }
  bool BonusPixel() const { return FBonusPixel; }
  float SpringRest() const { return FSpringRest; }
  // Whether the last paint drew an image or check box in the head, and
  // where (in the coordinates of the painted canvas); the header's mouse
  // handling hits the check box with them.
  bool HasImage() const { return FHasImage; }
  const TRect& ImageRect() const { return FImageRect; }
  void SetImagePainted(bool Painted, const TRect& R = TRect{}) {
    FHasImage = Painted;
    FImageRect = R;
  }

  // Left edge: unscrolled for a visible fixed column, scrolled otherwise.
  Integer Left() const;
  void UnscrolledBounds(Integer& ALeft, Integer& ARight) const {
    ALeft = FLeft;
    ARight = FLeft + FWidth;
  }
  // The caption, or "Column <index>" when it holds characters above U+00FF.
  String GetDisplayName() const;
  virtual void Assign(const TVastTreeColumn& Source);
  bool Equals(const TVastTreeColumn& Other) const;
  void RestoreLastWidth();
  // The column record of the header stream.
  void SaveToStream(TStream& Stream) const;
  void LoadFromStream(TStream& Stream, Integer Version);

protected:
  // Made by TVastTreeColumns::Add: the column goes last by index and position.
  explicit TVastTreeColumn(TVastTreeColumns* Owner);
  // Notifies the collection (deferred while it is updating).
  void Changed();

private:
  TVastTreeColumns* FOwner;  // not owned: the collection owns its columns
  TColumnIndex FIndex = 0;
  String FText;
  String FHint;
  String FCaptionText;
  Integer FWidth = 50;
  Integer FMinWidth = 10;
  Integer FMaxWidth = 10000;
  Integer FLastWidth = 50;
  TColumnPosition FPosition = 0;
  Integer FLeft = 0;
  TVastTreeColumnStyle FStyle = vsText;
  TImageIndex FImageIndex = -1;
  TBiDiMode FBiDiMode = bdLeftToRight;
  TVTHeaderColumnLayout FLayout = blGlyphLeft;
  Integer FMargin = 4;
  Integer FSpacing = 3;
  TVTColumnOptions FOptions = DefaultColumnOptions;
  TVTEditOptions FEditOptions = toDefaultEdit;
  Integer FEditNextColumn = -1;
  NativeInt FTag = 0;
  TAlignment FAlignment = taLeftJustify;
  TAlignment FCaptionAlignment = taLeftJustify;
  TColor FColor = vtclWindow;
  bool FBonusPixel = false;
  float FSpringRest = 0.0f;
  bool FCheckBox = false;
  TCheckType FCheckType = ctCheckBox;
  TCheckState FCheckState = csUncheckedNormal;
  TSortDirection FDefaultSortDirection = sdAscending;
  bool FHasImage = false;
  TRect FImageRect;
};

// ---------------------------------------------------------------------------

class TVastTreeColumns : public TObject {
  friend class TVastTreeColumn;
  friend class TVTHeader;

public:
  // Makes a column of class T in Owner: what a tree's ColumnClass returns
  // (&TVastTreeColumns::Make<T>). T's constructor takes the collection and
  // is open to the collection.
  template <class T>
  static std::unique_ptr<TVastTreeColumn> Make(TVastTreeColumns* Owner) {
    return std::unique_ptr<TVastTreeColumn>(new T(Owner));
  }
  explicit TVastTreeColumns(TVTHeader* AOwner);
  ~TVastTreeColumns() override;
  TVastTreeColumns(const TVastTreeColumns&) = delete;
  TVastTreeColumns& operator=(const TVastTreeColumns&) = delete;

  TVTHeader* Header() const { return FHeader; }
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  // EListError outside 0..Count-1.
  TVastTreeColumn& Items(TColumnIndex Index) const;
  TVastTreeColumn& operator[](TColumnIndex Index) const { return Items(Index); }

  TVastTreeColumn* Add();
  // A new column at index Index (0..Count); the others keep their places on
  // screen and the new one goes last.
  TVastTreeColumn* Insert(TColumnIndex Index);
  void Delete(TColumnIndex Index);
  void Clear();
  virtual void Assign(const TVastTreeColumns& Source);
  bool Equals(const TVastTreeColumns& Other) const;

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  Integer UpdateCount() const { return FUpdateCount; }

  Integer DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(Integer Value) { FDefaultWidth = Value; }
  TColumnIndex HoverIndex() const { return FHoverIndex; }
  TColumnIndex DownIndex() const { return FDownIndex; }
  TColumnIndex TrackIndex() const { return FTrackIndex; }
  TColumnIndex ClickIndex() const { return FClickIndex; }
  void SetClickIndex(TColumnIndex Value) { FClickIndex = Value; }
  // Interaction state of the header's mouse handling (window side).
  void SetHoverIndex(TColumnIndex Value) { FHoverIndex = Value; }
  void SetDownIndex(TColumnIndex Value) { FDownIndex = Value; }
  void SetTrackIndex(TColumnIndex Value) { FTrackIndex = Value; }
  TColumnIndex DragIndex() const { return FDragIndex; }
  void SetDragIndex(TColumnIndex Value) { FDragIndex = Value; }
  TColumnIndex DropTarget() const { return FDropTarget; }
  void SetDropTarget(TColumnIndex Value) { FDropTarget = Value; }
  bool DropBefore() const { return FDropBefore; }
  void SetDropBefore(bool Value) { FDropBefore = Value; }
  bool CheckBoxHit() const { return FCheckBoxHit; }
  void SetCheckBoxHit(bool Value) { FCheckBoxHit = Value; }
  // Entry p is the index of the column shown at position p.
  const std::vector<TColumnIndex>& PositionToIndex() const { return FPositionToIndex; }

  // Look-ups answer InvalidColumn (or NoColumn where noted) when nothing fits.
  TColumnIndex ColumnFromPosition(const TPoint& P, bool Relative = true) const;
  TColumnIndex ColumnFromPosition(TColumnPosition PositionIndex) const;  // NoColumn outside the map
  TColumnIndex ColumnAndBoundsAt(const TPoint& P, Integer& ColumnLeft, Integer& ColumnRight,
                                 bool Relative = true) const;
  void GetColumnBounds(TColumnIndex Column, Integer& ALeft, Integer& ARight) const;
  TColumnIndex GetFirstVisibleColumn(bool ConsiderAllowFocus = false) const;
  TColumnIndex GetLastVisibleColumn(bool ConsiderAllowFocus = false) const;
  TColumnIndex GetFirstColumn() const;
  TColumnIndex GetNextColumn(TColumnIndex Column) const;
  TColumnIndex GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
  TColumnIndex GetPreviousColumn(TColumnIndex Column) const;
  TColumnIndex GetPreviousVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
  Integer GetScrollWidth() const;
  TColumnsArray GetVisibleColumns() const;
  Integer GetVisibleFixedWidth() const;
  bool IsValidColumn(TColumnIndex Column) const { return Column >= 0 && Column < Count(); }
  Integer TotalWidth() const;
  // Sets the width at once; the window layer animates.
  virtual void AnimatedResize(TColumnIndex Column, Integer NewWidth);

  // The columns part of the header stream.
  void SaveToStream(TStream& Stream) const;
  void LoadFromStream(TStream& Stream, Integer Version);

  void LayoutColumns(bool Force);
  void RebuildPositionMap();
  void ResizePositionMap();
  void MoveInPositionMap(TColumnIndex Column, TColumnPosition NewPosition);
  void SetRightToLeftOrder(bool RightToLeft);
  void FitAutoSizeColumn(bool Force);

protected:
  // After every change of a column or of the collection.
  virtual void Update(TVastTreeColumn* Item);

private:
  bool IsVisibleAt(std::size_t Position, bool ConsiderAllowFocus) const;
  void CheckIndex(TColumnIndex Index) const;
  void Reindex();

  TVTHeader* FHeader;  // not owned: the header owns the collection
  std::vector<std::unique_ptr<TVastTreeColumn>> FItems;
  std::vector<TColumnIndex> FPositionToIndex;
  TColumnIndex FHoverIndex = NoColumn;
  TColumnIndex FDownIndex = NoColumn;
  TColumnIndex FTrackIndex = NoColumn;
  TColumnIndex FClickIndex = NoColumn;
  TColumnIndex FDragIndex = NoColumn;
  TColumnIndex FDropTarget = NoColumn;
  bool FDropBefore = false;
  bool FCheckBoxHit = false;
  Integer FDefaultWidth = 50;
  Integer FUpdateCount = 0;
  bool FNeedPositionsFix = false;
  bool FClearing = false;
};

// ---------------------------------------------------------------------------

// Percentage limits (0..100, 0 = none) of the header height and of the total
// width of the visible fixed columns.
class TVTFixedAreaConstraints : public TObject {
public:
  Byte MaxHeightPercent() const { return FMaxHeightPercent; }
  void SetMaxHeightPercent(Byte Value);
  Byte MaxWidthPercent() const { return FMaxWidthPercent; }
  void SetMaxWidthPercent(Byte Value);
  Byte MinHeightPercent() const { return FMinHeightPercent; }
  void SetMinHeightPercent(Byte Value);
  Byte MinWidthPercent() const { return FMinWidthPercent; }
  void SetMinWidthPercent(Byte Value);
  void Assign(const TVTFixedAreaConstraints& Source);
  std::function<void()> OnChange;

private:
  friend class TVTHeader;
  void Changed() {
    if (OnChange) OnChange();
  }
  Byte FMaxHeightPercent = 0;
  Byte FMaxWidthPercent = 0;
  Byte FMinHeightPercent = 0;
  Byte FMinWidthPercent = 0;
};

// Header events; Sender is the header.
using TVTHeaderNotifyEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column)>;
using TVTHeaderSenderEvent = std::function<void(TVTHeader* Sender)>;
using TVTBeforeAutoFitColumnEvent =
    std::function<void(TVTHeader* Sender, TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType, bool& Allowed)>;
using TVTBeforeAutoFitColumnsEvent = std::function<void(TVTHeader* Sender, TSmartAutoFitType& SmartAutoFitType)>;
using TVTBeforeColumnWidthTrackingEvent =
    std::function<void(TVTHeader* Sender, TColumnIndex Column, TShiftState Shift)>;
using TVTBeforeHeaderHeightTrackingEvent = std::function<void(TVTHeader* Sender, TShiftState Shift)>;
using TVTCanSplitterResizeHeaderEvent = std::function<void(TVTHeader* Sender, TPoint P, bool& Allowed)>;
using TVTColumnWidthDblClickResizeEvent =
    std::function<void(TVTHeader* Sender, TColumnIndex Column, TShiftState Shift, TPoint P, bool& Allowed)>;
using TVTColumnWidthTrackingEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column, TShiftState Shift,
                                                       TPoint& TrackPoint, TPoint P, bool& Allowed)>;
using TVTHeaderHeightTrackingEvent =
    std::function<void(TVTHeader* Sender, TPoint& P, TShiftState Shift, bool& Allowed)>;

class TVTHeader : public TObject, public IVastTreeHeader {
  friend class TVastTreeColumns;
  friend class TVastTreeColumn;
  // The window layer runs the header's mouse interactions.
  friend class TVastTreeControl;

public:
  explicit TVTHeader(TBaseVastTree* AOwner);
  ~TVTHeader() override;
  // Makes a header of class T for Owner: what a tree's HeaderClass returns
  // (&TVTHeader::Make<T>).
  template <class T>
  static std::unique_ptr<TVTHeader> Make(TBaseVastTree* Owner) {
    return std::make_unique<T>(Owner);
  }
  TVTHeader(const TVTHeader&) = delete;
  TVTHeader& operator=(const TVTHeader&) = delete;

  TBaseVastTree* Treeview() const { return FOwner; }
  TVastTreeColumns& Columns() const { return *FColumns; }
  THeaderStates States() const { return FStates; }
  bool DoingAutoFitColumns() const { return FDoingAutoFitColumns; }

  // --- what the tree core asks
  TColumnIndex SortColumn() const override { return FSortColumn; }
  TSortDirection SortDirection() const override { return FSortDirection; }
  TColumnIndex MainColumn() const override { return FColumns->Count() > 0 ? FMainColumn : NoColumn; }
  bool UseColumns() const override { return FColumns->Count() > 0; }
  Integer ColumnCount() const override { return FColumns->Count(); }
  bool IsValidColumn(TColumnIndex Column) const override { return FColumns->IsValidColumn(Column); }
  bool ColumnIsVisible(TColumnIndex Column) const override;
  // Without columns NoColumn may take the focus, as the column-less tree's.
  bool AllowFocus(TColumnIndex Column) const override;
  TColumnIndex FirstVisibleFocusableColumn() const override;
  bool ColumnIsFixed(TColumnIndex Column) const override;

  // --- settings
  void SetSortColumn(TColumnIndex Value);
  void SetSortDirection(TSortDirection Value);
  void SetMainColumn(TColumnIndex Value);
  void ClampMainColumn();
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value);
  Integer MinHeight() const { return FMinHeight; }
  void SetMinHeight(Integer Value);
  Integer MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(Integer Value);
  Integer DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(Integer Value);
  TVTHeaderOptions Options() const { return FOptions; }
  void SetOptions(TVTHeaderOptions Value);
  TVTHeaderStyle Style() const { return FStyle; }
  void SetStyle(TVTHeaderStyle Value);
  TColor Background() const { return FBackgroundColor; }
  void SetBackground(TColor Value);
  TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
  void SetAutoSizeIndex(TColumnIndex Value);
  const TVTHeaderFont& Font() const { return FFont; }
  void SetFont(const TVTHeaderFont& Value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  // The tree's font, which a ParentFont header follows.
  void ParentFontChanged(const TVTHeaderFont& TreeFont);
  // The font changed: the height grows to fit it (AutoScaleHeight).
  virtual void HeaderFontChanged();
  // With toAutoChangeScale: at least the height of "Q" in the header font
  // plus the largest column spacing and half of it again.
  virtual void AutoScaleHeight();
  Integer SplitterHitTolerance() const { return FSplitterHitTolerance; }
  void SetSplitterHitTolerance(Integer Value) { FSplitterHitTolerance = Value; }
  TVTFixedAreaConstraints& FixedAreaConstraints() { return FFixedAreaConstraints; }
  // The pictures the column heads show with hoShowImages (their ImageIndex).
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  virtual void Assign(const TVTHeader& Source);

  // The tree window's sizes, told by the window layer on every resize
  // (the header strip is as wide as the client area).
  void SetTreeBounds(Integer Width, Integer Height, Integer ClientWidth, Integer ClientHeight);
  Integer TreeWidth() const { return FTreeWidth; }
  Integer TreeHeight() const { return FTreeHeight; }
  Integer ClientWidth() const { return FClientWidth; }
  Integer ClientHeight() const { return FClientHeight; }

  // --- width distribution
  Integer ResizeColumns(Integer ChangeBy, TColumnIndex RangeStartCol, TColumnIndex RangeEndCol,
                        TVTColumnOptions Options = TVTColumnOptions{coVisible});
  void RestoreColumns();
  void ReapplyConstraints();
  void ConstraintsChanged();
  void DistributeSpringWidth();

  // --- stream
  void SaveToStream(TStream& Stream) const;
  void LoadFromStream(TStream& Stream);

  // Scales the height, the font (unless the tree's) and every column width
  // by M / D (a new pixel density).
  virtual void ScaleHeader(Integer M, Integer D);

  // Fits the columns at display positions RangeStartCol..RangeEndCol (all
  // for -1) to their widest cells, as the tree measures them.
  virtual void AutoFitColumns(bool Animated = true, TSmartAutoFitType SmartAutoFitType = smaUseColumnOption,
                              Integer RangeStartCol = NoColumn, Integer RangeEndCol = NoColumn);

  // --- window seams: repaint requests and the frame recalculation, passed
  // on to the tree, whose window knows where the strip is.
  virtual void Invalidate(TVastTreeColumn* Column, bool ExpandToBorder = false, bool UpdateNowFlag = false);
  virtual void RefreshHeaderFrame();

  TVTBeforeAutoFitColumnsEvent OnBeforeAutoFitColumns;
  TVTBeforeAutoFitColumnEvent OnBeforeAutoFitColumn;
  TVTHeaderNotifyEvent OnAfterAutoFitColumn;
  TVTHeaderSenderEvent OnAfterAutoFitColumns;
  TVTBeforeColumnWidthTrackingEvent OnBeforeColumnWidthTracking;
  TVTColumnWidthTrackingEvent OnColumnWidthTracking;
  TVTHeaderNotifyEvent OnAfterColumnWidthTracking;
  TVTBeforeHeaderHeightTrackingEvent OnBeforeHeaderHeightTracking;
  TVTHeaderHeightTrackingEvent OnHeaderHeightTracking;
  TVTHeaderSenderEvent OnAfterHeaderHeightTracking;
  TVTCanSplitterResizeHeaderEvent OnCanSplitterResizeHeader;
  TVTColumnWidthDblClickResizeEvent OnColumnWidthDblClickResize;
  TVTHeaderHeightTrackingEvent OnHeaderHeightDblClickResize;
  // Whether the splitter of Column at client point P may be dragged.
  std::function<void(TVTHeader* Sender, TPoint P, TColumnIndex Column, bool& Allowed)> OnCanSplitterResizeColumn;

protected:
  virtual void ApplySortColumn(TColumnIndex Value, TSortDirection Direction);
  // Event hooks, fired by the window layer's header interactions.
  virtual void DoAfterAutoFitColumn(TColumnIndex Column);
  virtual void DoAfterColumnWidthTracking(TColumnIndex Column);
  virtual void DoAfterHeaderHeightTracking();
  virtual bool DoBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType SmartAutoFitType);
  virtual void DoBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift);
  virtual void DoBeforeHeaderHeightTracking(TShiftState Shift);
  virtual void DoCanSplitterResizeHeader(TPoint P, bool& Allowed);
  virtual bool DoColumnWidthDblClickResize(TColumnIndex Column, TPoint P, TShiftState Shift);
  virtual bool DoColumnWidthTracking(TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint, TPoint P);
  virtual bool DoHeaderHeightTracking(TPoint& P, TShiftState Shift);
  virtual bool DoHeaderHeightDblClickResize(TPoint& P, TShiftState Shift);

  // Whether the tree is loading its properties, or the header its stream.
  bool IsLoading() const;
  bool TreeLoading() const;
  bool HasWindow() const;
  Integer EffectiveOffsetX() const;
  void InvalidateTree();
  void UpdateHorizontalScrollBar(bool DoRepaint);

private:
  bool AutoSortAllowed() const;
  void AdjustIndexesAfterRemoval(TColumnIndex Removed);

  TBaseVastTree* FOwner;  // not owned: the tree owns its header
  std::unique_ptr<TVastTreeColumns> FColumns;
  TCustomImageList* FImages = nullptr;  // not owned
  Integer FHeight = 19;
  TVTHeaderFont FFont;
  bool FParentFont = true;
  TVTHeaderOptions FOptions = DefaultHeaderOptions;
  TVTHeaderStyle FStyle = hsThickButtons;
  TColor FBackgroundColor = vtclBtnFace;
  TColumnIndex FAutoSizeIndex = 0;
  TColumnIndex FMainColumn = NoColumn;
  Integer FMaxHeight = 10000;
  Integer FMinHeight = 10;
  Integer FDefaultHeight = 19;
  TVTFixedAreaConstraints FFixedAreaConstraints;
  Integer FSplitterHitTolerance = 8;
  TColumnIndex FSortColumn = NoColumn;
  TSortDirection FSortDirection = sdAscending;
  Integer FLastWidth = 0;
  THeaderStates FStates;
  bool FDoingAutoFitColumns = false;
  Integer FTreeWidth = 200;
  Integer FTreeHeight = 100;
  Integer FClientWidth = 0;
  Integer FClientHeight = 0;
};
