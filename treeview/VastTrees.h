#pragma once
// The vast tree view's portable core: node store, structure, initialisation,
// navigation, visibility, sorting, the update cycle with change notification
// and the position cache, the stream format, options, events, selection and
// focus. Everything that needs the window goes through IVastTreeHost; the
// Windows control derives from TBaseVastTree and supplies the host.
#include <atomic>
#include <exception>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <span>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "rtl/Geometry.h"
#include "rtl/Set.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"
#include "rtl/UpdateGuard.h"
#include "treeview/VastTreeClipboard.h"
#include "treeview/VastTreeEnumeration.h"
#include "treeview/VastTreeEvents.h"
#include "treeview/VastTreeGeometry.h"
#include "treeview/VastTreeHeaderIntf.h"
#include "treeview/VastTreeHost.h"
#include "treeview/VastTreeNode.h"
#include "treeview/VastTreeOptions.h"
#include "treeview/VastTreeTypes.h"

class TVastTreeColumn;
class TVastTreeColumns;
// The classes a tree makes its parts from: a descendant returns its own in
// place of the default ones.
using TVastTreeColumnClass = std::unique_ptr<TVastTreeColumn> (*)(TVastTreeColumns* Owner);
using TVastTreeOptionsClass = std::unique_ptr<TCustomVastTreeOptions> (*)(TBaseVastTree* Owner);

class TBaseVastTree : public TObject {
  friend class TCustomVastTreeOptions;
  friend class TWorkerThread;
  friend struct TVTVastNodeEnumerator;
  // The header and its columns reach the tree's update, edit and resize hooks.
  friend class TVTHeader;
  friend class TVastTreeColumns;
  friend class TVastTreeColumn;

public:
  // Host nil: a windowless tree.
  explicit TBaseVastTree(IVastTreeHost* Host = nullptr);
  ~TBaseVastTree() override;
  TBaseVastTree(const TBaseVastTree&) = delete;
  TBaseVastTree& operator=(const TBaseVastTree&) = delete;

  IVastTreeHost& Host() const { return *FHost; }
  // Host nil: windowless again. The window layer attaches itself here.
  void SetHost(IVastTreeHost* Value);
  IVastTreeHeader& Header() const { return *FHeader; }
  // The tree owns the header; the header unit attaches its own here.
  void SetHeader(std::unique_ptr<IVastTreeHeader> Value);
  TCustomVastTreeOptions& TreeOptions() const { return *FOptions; }
  // Value becomes the tree's options object with the sets of the one it
  // replaces: a descendant with an options class of its own calls it while
  // it is constructed.
  void SetOptionsObject(std::unique_ptr<TCustomVastTreeOptions> Value);
  // The class every new column is made from (TVastTreeColumn).
  virtual TVastTreeColumnClass ColumnClass() const;
  // The class of the options object (TCustomVastTreeOptions).
  virtual TVastTreeOptionsClass OptionsClass() const;
  // Remakes the parts whose class differs from what the class operations
  // now return, keeping their settings. A constructor cannot reach a
  // descendant's overrides: a descendant calls this in its own constructor,
  // and the window layer calls it again when the window is made and after
  // loading.
  virtual void ApplyPartClasses();

  // --- node store
  PVastNode RootNode() const { return FRoot; }
  Integer NodeDataSize() const { return FNodeDataSize; }
  void SetNodeDataSize(Integer Value);
  void* GetNodeData(PVastNode Node) const;
  template <class T>
  T* GetNodeData(PVastNode Node) const {
    return static_cast<T*>(GetNodeData(Node));
  }
  void SetNodeData(PVastNode Node, void* UserData);
  void SetNodeData(PVastNode Node, IInterface* UserData);
  Cardinal RootNodeCount() const { return FRoot->ChildCount; }
  void SetRootNodeCount(Cardinal Value);
  // Whether Node is a node of this tree (never the hidden root). Node is
  // only compared, never read through, so any value may be asked about.
  // The first call indexes the nodes; later calls take constant time.
  bool IsOwnNode(PVastNode Node);
  Cardinal TotalCount();
  Cardinal VisibleCount() const { return FVisibleCount; }
  Cardinal DefaultNodeHeight() const { return FDefaultNodeHeight; }
  void SetDefaultNodeHeight(Cardinal Value);

  Cardinal GetChildCount(PVastNode Node);
  bool GetHasChildren(PVastNode Node) const;
  void SetHasChildren(PVastNode Node, bool Value);
  bool GetExpanded(PVastNode Node) const { return Node && Node->States.Contains(vsExpanded); }
  void SetExpanded(PVastNode Node, bool Value);
  bool GetDisabled(PVastNode Node) const { return Node && Node->States.Contains(vsDisabled); }
  void SetDisabled(PVastNode Node, bool Value);
  bool GetMultiline(PVastNode Node) const { return Node && Node != FRoot && Node->States.Contains(vsMultiline); }
  void SetMultiline(PVastNode Node, bool Value);
  bool GetSelected(PVastNode Node) const { return Node && Node->States.Contains(vsSelected); }
  void SetSelected(PVastNode Node, bool Value);
  // A nil node answers the value a new node starts with.
  Byte GetVerticalAlignment(PVastNode Node) const { return Node ? Node->Align : 50; }
  void SetVerticalAlignment(PVastNode Node, Byte Value);
  Cardinal GetNodeHeight(PVastNode Node);
  void SetNodeHeight(PVastNode Node, Cardinal Value);
  PVastNode GetNodeParent(PVastNode Node) const;
  void SetNodeParent(PVastNode Node, PVastNode Value);
  bool GetVisible(PVastNode Node);
  void SetVisible(PVastNode Node, bool Value);
  bool GetFullyVisible(PVastNode Node) const;
  void SetFullyVisible(PVastNode Node, bool Value);
  bool GetVisiblePath(PVastNode Node) const;
  void SetVisiblePath(PVastNode Node, bool Value);
  bool GetFiltered(PVastNode Node) const { return Node && Node->States.Contains(vsFiltered); }
  void SetFiltered(PVastNode Node, bool Value);
  bool GetEffectivelyFiltered(PVastNode Node) const;
  bool GetEffectivelyVisible(PVastNode Node) const;
  bool GetChildrenInitialized(PVastNode Node) const;
  TCheckState GetCheckState(PVastNode Node);
  void SetCheckState(PVastNode Node, TCheckState Value);
  TCheckType GetCheckType(PVastNode Node) const { return Node ? Node->CheckType : ctNone; }
  void SetCheckType(PVastNode Node, TCheckType Value);
  Cardinal CheckedCount();

  // --- structure
  virtual PVastNode AddChild(PVastNode Parent, void* UserData = nullptr);
  PVastNode AddChild(PVastNode Parent, IInterface* UserData);
  PVastNode InsertNode(PVastNode Node, TVTNodeAttachMode Mode, void* UserData = nullptr);
  void DeleteNode(PVastNode Node, bool pReIndex = true) { DeleteNodeBody(Node, pReIndex, false); }
  void DeleteNodeBody(PVastNode Node, bool Reindex, bool ParentClearing);
  void DeleteChildren(PVastNode Node, bool ResetHasChildren = false);
  void DeleteNodes(const TNodeArray& pNodes);
  virtual void DeleteSelectedNodes();
  virtual void Clear();
  void MoveTo(PVastNode Source, PVastNode Target, TVTNodeAttachMode Mode, bool ChildrenOnly);
  void MoveTo(PVastNode Node, TBaseVastTree* Tree, TVTNodeAttachMode Mode, bool ChildrenOnly);
  PVastNode CopyTo(PVastNode Source, PVastNode Target, TVTNodeAttachMode Mode, bool ChildrenOnly);
  PVastNode CopyTo(PVastNode Source, TBaseVastTree* Tree, TVTNodeAttachMode Mode, bool ChildrenOnly);
  // The tree that owns Node (found through the root's self-links).
  static TBaseVastTree* TreeFromNode(PVastNode Node);

  // --- initialisation
  void InitRecursive(PVastNode Node, Cardinal Levels = 0xFFFFFFFFu, bool pVisibleOnly = true);
  void ValidateNode(PVastNode Node, bool Recursive);
  void ValidateChildren(PVastNode Node, bool Recursive);
  virtual void ReinitNode(PVastNode Node, bool Recursive);
  virtual void ReinitChildren(PVastNode Node, bool Recursive);
  virtual void ResetNode(PVastNode Node);

  // --- navigation
  PVastNode GetFirst(bool ConsiderChildrenAbove = false);
  PVastNode GetFirstNoInit(bool ConsiderChildrenAbove = false);
  PVastNode GetNext(PVastNode Node, bool ConsiderChildrenAbove = false);
  PVastNode GetNextNoInit(PVastNode Node, bool ConsiderChildrenAbove = false);
  PVastNode GetPrevious(PVastNode Node, bool ConsiderChildrenAbove = false);
  PVastNode GetPreviousNoInit(PVastNode Node, bool ConsiderChildrenAbove = false);
  PVastNode GetLast(PVastNode Node = nullptr, bool ConsiderChildrenAbove = false);
  PVastNode GetLastNoInit(PVastNode Node = nullptr, bool ConsiderChildrenAbove = false);
  PVastNode GetFirstChild(PVastNode Node);
  PVastNode GetFirstChildNoInit(PVastNode Node);
  PVastNode GetLastChild(PVastNode Node);
  PVastNode GetLastChildNoInit(PVastNode Node);
  PVastNode GetNextSibling(PVastNode Node);
  PVastNode GetNextSiblingNoInit(PVastNode Node) const { return Node ? Node->NextSibling : nullptr; }
  PVastNode GetPreviousSibling(PVastNode Node);
  PVastNode GetPreviousSiblingNoInit(PVastNode Node) const { return Node ? Node->PrevSibling : nullptr; }
  PVastNode GetNextVisibleSibling(PVastNode Node, bool IncludeFiltered = false);
  PVastNode GetNextVisibleSiblingNoInit(PVastNode Node, bool IncludeFiltered = false);
  PVastNode GetPreviousVisibleSibling(PVastNode Node, bool IncludeFiltered = false);
  PVastNode GetPreviousVisibleSiblingNoInit(PVastNode Node, bool IncludeFiltered = false);
  PVastNode GetFirstVisibleChild(PVastNode Node, bool IncludeFiltered = false);
  PVastNode GetFirstVisibleChildNoInit(PVastNode Node, bool IncludeFiltered = false);
  PVastNode GetLastVisibleChild(PVastNode Node, bool IncludeFiltered = false);
  PVastNode GetLastVisibleChildNoInit(PVastNode Node, bool IncludeFiltered = false);
  PVastNode GetFirstVisible(PVastNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
  PVastNode GetFirstVisibleNoInit(PVastNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                  bool IncludeFiltered = false);
  PVastNode GetLastVisible(PVastNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
  PVastNode GetLastVisibleNoInit(PVastNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                 bool IncludeFiltered = false);
  PVastNode GetNextVisible(PVastNode Node, bool ConsiderChildrenAbove = true);
  PVastNode GetNextVisibleNoInit(PVastNode Node, bool ConsiderChildrenAbove = true);
  PVastNode GetPreviousVisible(PVastNode Node, bool ConsiderChildrenAbove = true);
  PVastNode GetPreviousVisibleNoInit(PVastNode Node, bool ConsiderChildrenAbove = true);
  PVastNode GetFirstChecked(TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
  PVastNode GetNextChecked(PVastNode Node, TCheckState State, bool ConsiderChildrenAbove = false);
  PVastNode GetNextChecked(PVastNode Node, bool ConsiderChildrenAbove = false) {
    return GetNextChecked(Node, csCheckedNormal, ConsiderChildrenAbove);
  }
  PVastNode GetPreviousChecked(PVastNode Node, TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
  PVastNode GetFirstSelected(bool ConsiderChildrenAbove = false);
  PVastNode GetNextSelected(PVastNode Node, bool ConsiderChildrenAbove = false);
  PVastNode GetPreviousSelected(PVastNode Node, bool ConsiderChildrenAbove = false);
  PVastNode GetFirstCutCopy(bool ConsiderChildrenAbove = false);
  PVastNode GetNextCutCopy(PVastNode Node, bool ConsiderChildrenAbove = false);
  PVastNode GetPreviousCutCopy(PVastNode Node, bool ConsiderChildrenAbove = false);
  PVastNode GetFirstInitialized(bool ConsiderChildrenAbove = false);
  PVastNode GetNextInitialized(PVastNode Node, bool ConsiderChildrenAbove = false);
  PVastNode GetPreviousInitialized(PVastNode Node, bool ConsiderChildrenAbove = false);
  PVastNode GetLastInitialized(PVastNode Node = nullptr, bool ConsiderChildrenAbove = false);
  PVastNode GetFirstLeaf();
  PVastNode GetNextLeaf(PVastNode Node);
  PVastNode GetPreviousLeaf(PVastNode Node);
  PVastNode GetFirstLevel(Cardinal NodeLevel);
  PVastNode GetNextLevel(PVastNode Node, Cardinal NodeLevel);
  PVastNode GetPreviousLevel(PVastNode Node, Cardinal NodeLevel);
  Cardinal GetNodeLevel(PVastNode Node) const;
  Cardinal AbsoluteIndex(PVastNode Node);
  bool HasAsParent(PVastNode Node, PVastNode PotentialParent) const;
  PVastNode GetVisibleParent(PVastNode Node, bool IncludeFiltered = false) const;
  TNodeArray GetSortedSelection(bool Resolve);
  PVastNode IterateSubtree(PVastNode Node, const TVTGetNodeProc& Callback, void* Data, TVastNodeStates Filter = {},
                           bool DoInit = false, bool ChildNodesOnly = false);
  // Signed position of Node1 against Node2 in the walk order.
  Integer CompareNodePositions(PVastNode Node1, PVastNode Node2, bool ConsiderChildrenAbove = false) const;
  bool HasVisibleNextSibling(PVastNode Node) const;
  bool HasVisiblePreviousSibling(PVastNode Node) const;
  bool IsFirstVisibleChild(PVastNode Parent, PVastNode Node) const;
  bool IsLastVisibleChild(PVastNode Parent, PVastNode Node) const;

  TVTVastNodeEnumeration Nodes(bool ConsiderChildrenAbove = false);
  TVTVastNodeEnumeration CheckedNodes(TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
  TVTVastNodeEnumeration ChildNodes(PVastNode Node);
  TVTVastNodeEnumeration CutCopyNodes(bool ConsiderChildrenAbove = false);
  TVTVastNodeEnumeration InitializedNodes(bool ConsiderChildrenAbove = false);
  TVTVastNodeEnumeration LeafNodes();
  TVTVastNodeEnumeration LevelNodes(Cardinal NodeLevel);
  TVTVastNodeEnumeration NoInitNodes(bool ConsiderChildrenAbove = false);
  TVTVastNodeEnumeration SelectedNodes(bool ConsiderChildrenAbove = false);
  TVTVastNodeEnumeration VisibleNodes(PVastNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                      bool IncludeFiltered = false);
  TVTVastNodeEnumeration VisibleChildNodes(PVastNode Node, bool IncludeFiltered = false);
  TVTVastNodeEnumeration VisibleChildNoInitNodes(PVastNode Node, bool IncludeFiltered = false);
  TVTVastNodeEnumeration VisibleNoInitNodes(PVastNode Node = nullptr, bool ConsiderChildrenAbove = true,
                                            bool IncludeFiltered = false);

  // --- expand, collapse, visibility
  void ToggleNode(PVastNode Node);
  virtual void FullExpand(PVastNode Node = nullptr);
  virtual void FullCollapse(PVastNode Node = nullptr);
  Cardinal AnimationDuration() const { return FAnimationDuration; }
  void SetAnimationDuration(Cardinal Value);

  // --- sorting
  virtual void Sort(PVastNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
  virtual void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true);

  // --- update cycle, notification, operations, cache
  virtual void BeginUpdate();
  virtual void EndUpdate();
  void BeginSynch();
  void EndSynch();
  Cardinal UpdateCount() const { return FUpdateCount; }
  Cardinal ChangeDelay() const { return FChangeDelay; }
  void SetChangeDelay(Cardinal Value) { FChangeDelay = Value; }
  TVastTreeStates TreeStates() const { return TVastTreeStates::FromBits(FStates.load(std::memory_order_acquire)); }
  void CancelOperation();
  bool OperationCanceled() const { return FOperationCanceled && FOperationCount > 0; }
  Cardinal OperationCount() const { return FOperationCount; }
  // Called by the window when one of the tree's timers elapses.
  virtual void TimerFired(Cardinal TimerId);
  // The node whose row contains the absolute vertical position Y, and its top.
  // The absolute top of a node's row (counting visible rows above it).
  Cardinal GetNodeTop(PVastNode Node);
  const TCache& PositionCache() const { return FPositionCache; }
  Cardinal BottomSpace() const { return FBottomSpace; }
  void SetBottomSpace(Cardinal Value);
  Integer RangeY() const { return FRangeY; }
  Integer OffsetX() const { return FOffsetX; }
  Integer OffsetY() const { return FOffsetY; }
  void SetOffsetX(Integer Value);
  void SetOffsetY(Integer Value);
  void SetOffsetXY(Integer X, Integer Y);

  // --- geometry (absolute tree coordinates: the top of the first visible
  // row is 0, scrolling aside; client coordinates add the offsets)
  Integer ClientWidth() const { return FHost->ClientWidth(); }
  Integer ClientHeight() const { return FHost->ClientHeight(); }
  Integer RangeX() const { return FRangeX; }
  // The horizontal scroll position in the direction of reading.
  Integer EffectiveOffsetX() const { return FEffectiveOffsetX; }
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  Integer ImagesMargin() const { return FImagesMargin; }
  Integer ScaledPixels(Integer Pixels) const;
  // Right to left, columns narrower than the client area are shown at its
  // right end, moved right by this many pixels. ExcludeScrollBar: in client
  // coordinates; otherwise in those of the header strip, which also spans a
  // vertical scroll bar on the left.
  virtual Integer RightToLeftOffset(bool ExcludeScrollBar);
  PVastNode GetNodeAt(Integer X, Integer Y);
  PVastNode GetNodeAt(const TPoint& P) { return GetNodeAt(P.X, P.Y); }
  PVastNode GetNodeAt(Integer X, Integer Y, bool Relative, Integer& NodeTop);
  TRect GetDisplayRect(PVastNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped = false,
                       bool ApplyCellContentMargin = false);
  void GetOffsets(PVastNode Node, TVTOffsets& Offsets, TVTElement Element = ofsEndOfClientArea,
                  TColumnIndex Column = NoColumn);
  Integer GetOffset(TVTElement Element, PVastNode Node);
  TRect GetTreeRect() const;
  virtual void GetHitTestInfoAt(Integer X, Integer Y, bool Relative, THitInfo& HitInfo);
  virtual Integer GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth = false);
  PVastNode TopNode();
  void SetTopNode(PVastNode Node);
  PVastNode BottomNode();
  void SetBottomNode(PVastNode Node);
  virtual bool ScrollIntoView(PVastNode Node, bool Center, bool Horizontally = false);
  bool ScrollIntoView(TColumnIndex Column, bool Center, PVastNode Node = nullptr);
  // Repaint requests in terms of the tree: a column's strip, a node's
  // children (and with Recursive their subtrees), one row at once.
  void InvalidateColumn(TColumnIndex Column);
  void InvalidateChildren(PVastNode Node, bool Recursive);
  void RepaintNode(PVastNode Node);
  void UpdateRanges();
  virtual void UpdateScrollBars(bool DoRepaint);
  virtual void UpdateHorizontalRange();
  void UpdateVerticalScrollBar(bool DoRepaint);
  void UpdateHorizontalScrollBar(bool DoRepaint);
  // The row's tree lines; answers the number of selected ancestors.
  virtual Integer ComputeLineImage(PVastNode Node, TLineImage& LineImage);
  // Image sizes through the image lists the owner names (0 x 0 without).
  TSize ImageSize(PVastNode Node, TVTImageKind Kind, TColumnIndex Column, bool IncludePadding);
  TSize NodeImageSize(PVastNode Node) { return ImageSize(Node, ikNormal, 0, true); }
  bool CellHasImage(PVastNode Node, TVTImageKind Kind, TColumnIndex Column);
  // The expand button's size; the window answers with its bitmaps' size.
  virtual TSize ButtonSize() const { return TSize{9, 9}; }
  // Width of one check image, 0 without check images.
  virtual Integer CheckImageWidth() const { return 0; }
  // Width a column's caption needs in the header.
  virtual Integer ColumnCaptionWidth(TColumnIndex Column);
  // Height of Text in the header's font; the window measures it, a
  // windowless tree answers with its own text height.
  virtual Integer HeaderTextHeight(const String& Text);
  // A new pixel density (M / D): with toAutoChangeScale the header, the
  // default and every node height, the indent and the margins scale.
  virtual void ChangeScale(Integer M, Integer D);
  // The largest right text edge of the rows on screen.
  virtual Cardinal MaxRightExtent();
  TScrollBarOptions& ScrollBarOptions() const { return *FScrollBarOptions; }
  TVTColors& Colors() const { return *FColors; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TVTLineStyle LineStyle() const { return FLineStyle; }
  void SetLineStyle(TVTLineStyle Value);
  TVTLineMode LineMode() const { return FLineMode; }
  void SetLineMode(TVTLineMode Value);
  TVTButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TVTButtonStyle Value);
  TVTButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
  void SetButtonFillMode(TVTButtonFillMode Value);
  TVTNodeAlignment NodeAlignment() const { return FNodeAlignment; }
  void SetNodeAlignment(TVTNodeAlignment Value);
  TVTDrawSelectionMode DrawSelectionMode() const { return FDrawSelectionMode; }
  void SetDrawSelectionMode(TVTDrawSelectionMode Value) { FDrawSelectionMode = Value; }
  Cardinal SelectionCurveRadius() const { return FSelectionCurveRadius; }
  void SetSelectionCurveRadius(Cardinal Value);
  Byte SelectionBlendFactor() const { return FSelectionBlendFactor; }
  void SetSelectionBlendFactor(Byte Value) { FSelectionBlendFactor = Value; }
  PVastNode DropTargetNode() const { return FDropTargetNode; }
  TDropMode LastDropMode() const { return FLastDropMode; }

  // --- stream format
  virtual void SaveToStream(TStream& Stream, PVastNode Node = nullptr);
  void SaveToFile(const String& FileName);
  virtual void LoadFromStream(TStream& Stream);
  virtual void LoadFromFile(const String& FileName);
  void AddFromStream(TStream& Stream, PVastNode TargetNode);

  // --- selection and focus
  Integer SelectedCount() const { return FSelectionCount; }
  bool SelectionLocked() const { return FSelectionLocked; }
  void SetSelectionLocked(bool Value) { FSelectionLocked = Value; }
  void ClearSelection() { ClearSelection(true); }
  void SelectAll(bool VisibleOnly);
  void InvertSelection(bool VisibleOnly);
  virtual void EnsureNodeSelected();
  Integer GetNodeLevelForSelectConstraint(PVastNode Node) const;
  PVastNode FocusedNode() const { return FFocusedNode; }
  void SetFocusedNode(PVastNode Value);
  TColumnIndex FocusedColumn() const { return FFocusedColumn; }
  void SetFocusedColumn(TColumnIndex Value);
  PVastNode RangeAnchor() const { return FRangeAnchor; }
  PVastNode HotNode() const { return FHotNode; }
  void SetHotNode(PVastNode Value) { FHotNode = Value; }
  // The selection rule of a mouse click (Ctrl/Shift as booleans).
  void ClickSelect(PVastNode NewNode, bool Ctrl, bool Shift, bool DragPending);
  virtual void SelectRange(PVastNode StartNode, PVastNode EndNode, bool AddOnly = true);
  virtual void ToggleRangeSelection(PVastNode StartNode, PVastNode EndNode);
  virtual void UnselectRange(PVastNode StartNode, PVastNode EndNode);
  virtual void MarkCutCopySelection();

  // --- properties with simple storage
  Cardinal Indent() const { return FIndent; }
  void SetIndent(Cardinal Value);
  Integer Margin() const { return FMargin; }
  void SetMargin(Integer Value);
  Integer TextMargin() const { return FTextMargin; }
  void SetTextMargin(Integer Value);
  TVTNodeAttachMode DefaultPasteMode() const { return FDefaultPasteMode; }
  void SetDefaultPasteMode(TVTNodeAttachMode Value) { FDefaultPasteMode = Value; }
  Cardinal AutoExpandDelay() const { return FAutoExpandDelay; }
  void SetAutoExpandDelay(Cardinal Value) { FAutoExpandDelay = Value; }
  Cardinal EditDelay() const { return FEditDelay; }
  void SetEditDelay(Cardinal Value) { FEditDelay = Value; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value) { FImages = Value; }
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* Value) { FStateImages = Value; }
  // The control's hint, which the base tree's node hints answer with.
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  TVTHintMode HintMode() const { return FHintMode; }
  void SetHintMode(TVTHintMode Value) { FHintMode = Value; }
  const String& EmptyListMessage() const { return FEmptyListMessage; }
  void SetEmptyListMessage(const String& Value);
  bool DoubleBuffered() const { return true; }
  void SetDoubleBuffered(bool) {}
  // Copies the settings of another tree (not its nodes: RootNodeCount new,
  // empty nodes).
  virtual void Assign(const TBaseVastTree& Source);

  // Whether the component is being loaded (property values arrive before
  // the nodes exist); set by whoever streams properties in.
  void SetLoading(bool Value);
  bool Loading() const { return FLoading || ComponentLoading(); }

  // --- input: mouse, keyboard, incremental search, check states, in-place
  // editing and auto-scroll. The window layer turns its messages into these
  // calls; everything here is portable.

  // Mouse. The window captures the mouse, focuses the control and computes
  // HitInfo (GetHitTestInfoAt with Relative) before each call.
  virtual void MouseButtonDown(const TVTMouseMessage& Message, THitInfo& HitInfo);
  virtual void MouseButtonUp(const TVTMouseMessage& Message, const THitInfo& HitInfo);
  virtual void MouseDoubleClick(const TVTMouseMessage& Message, const THitInfo& HitInfo);
  // A mouse move in client coordinates (the row-height drag, rubber band,
  // panning and hot tracking).
  virtual void HandleMouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void TrackHotNode(Integer X, Integer Y);
  Integer LevelDifference(PVastNode Node1, PVastNode Node2) const;
  // Moves the rubber band's corner to the client point; answers whether
  // the band changed.
  virtual bool UpdateSelectionRect(Integer X, Integer Y);
  // Whether a right click at the point would show a popup menu.
  virtual bool PopupMenuAvailable(PVastNode Node, TColumnIndex Column, TPoint Pos);
  bool IsMouseSelecting() const { return HasState(tsDrawSelPending) || HasState(tsDrawSelecting); }
  // The rubber band (absolute tree coordinates), this move and the last.
  const TRect& NewSelRect() const { return FNewSelRect; }
  const TRect& LastSelRect() const { return FLastSelRect; }
  void SetNewSelRect(const TRect& Value) { FNewSelRect = Value; }
  PVastNode HeightTrackNode() const { return FHeightTrackNode; }
  // Ends a row-height drag (button up).
  void EndNodeHeightTracking();
  Integer DragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(Integer Value) { FDragThreshold = Value; }
  // The picture of dragged nodes: what it shows and the size of the part of
  // the tree around the pointer it is taken from.
  TVTDragImageKind DragImageKind() const { return FDragImageKind; }
  void SetDragImageKind(TVTDragImageKind Value) { FDragImageKind = Value; }
  Integer DragWidth() const { return FDragWidth; }
  void SetDragWidth(Integer Value) { FDragWidth = Value; }
  Integer DragHeight() const { return FDragHeight; }
  void SetDragHeight(Integer Value) { FDragHeight = Value; }
  virtual bool DragImageAllowed() const { return FDragImageKind != diNoImage; }
  const THitInfo& LastHitInfo() const { return FLastHitInfo; }
  TColumnIndex HotColumn() const { return FCurrentHotColumn; }
  bool HotNodeButtonHit() const { return FHotNodeButtonHit; }

  // Keyboard: the platform's own key-down processing comes first, then
  // this. CharCode 0 is ignored.
  virtual void HandleKeyDown(Word CharCode, TShiftState Shift);
  // A character after a key-down; answers nothing.
  virtual void HandleChar(Word CharCode);
  virtual void HandleKeyUp(Word CharCode);
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  // The window's answer to the dialog-code question.
  Integer DialogCode() const { return FWantTabs ? 131 : 129; }
  // Translates a character key to the keypad code the command keys use;
  // the window gives the character the key makes without Ctrl.
  static Word KeypadCodeForChar(Word CharCode, Char Typed);

  // Incremental search.
  virtual void IncrementalSearchKey(Word CharCode);
  TVTIncrementalSearch IncrementalSearch() const { return FIncrementalSearch; }
  void SetIncrementalSearch(TVTIncrementalSearch Value);
  TVTSearchDirection SearchDirection() const { return FSearchDirection; }
  void SetSearchDirection(TVTSearchDirection Value) { FSearchDirection = Value; }
  TVTSearchStart SearchStart() const { return FSearchStart; }
  void SetSearchStart(TVTSearchStart Value) { FSearchStart = Value; }
  Cardinal SearchTimeout() const { return FSearchTimeout; }
  void SetSearchTimeout(Cardinal Value) { FSearchTimeout = Value; }
  const String& SearchBuffer() const { return FSearchBuffer; }

  // Check states.
  virtual TCheckState NextCheckState(TCheckType CheckType, TCheckState CheckState);
  virtual bool PropagateCheckStateToParent(PVastNode Node, TCheckState NewCheckState);
  void SetCheckStateForAll(TCheckState aCheckState, bool pSelectedOnly, bool pExcludeDisabled);
  void ClearChecked();
  // The check image for Node (or, without a node, for the given type and
  // state); -1 for none. Indexes follow the check image list's layout.
  virtual Integer CheckImageIndex(PVastNode Node, TCheckType ImgCheckType, TCheckState ImgCheckState, bool ImgEnabled);
  TCheckImageKind CheckImageKind() const { return FCheckImageKind; }
  void SetCheckImageKind(TCheckImageKind Value) { FCheckImageKind = Value; }

  // In-place editing.
  bool EditNode(PVastNode Node, TColumnIndex Column);
  bool EndEditNode();
  virtual bool CancelEditNode();
  bool IsEditing() const { return HasState(tsEditing); }
  virtual bool CanEdit(PVastNode Node, TColumnIndex Column);
  TColumnIndex EditColumn() const { return FEditColumn; }
  // The column the next DoStartEdit edits.
  void SetEditColumn(TColumnIndex Value) { FEditColumn = Value; }
  IVTEditLink* EditLink() const { return FEditLink; }
  virtual void UpdateEditBounds();
  virtual void DoStartEdit();
  virtual bool DoEndEdit();
  virtual bool DoCancelEdit();

  // Auto-scroll and panning.
  virtual bool AutoScrollAllowed();
  virtual TScrollDirections ComputeScrollDirections(Integer X, Integer Y);
  virtual void DoAutoScroll(Integer X, Integer Y);
  virtual void DoAutoScrollStep();
  TScrollDirections ScrollDirections() const { return FScrollDirections; }
  Cardinal AutoScrollDelay() const { return FAutoScrollDelay; }
  void SetAutoScrollDelay(Cardinal Value) { FAutoScrollDelay = Value; }
  Cardinal AutoScrollInterval() const { return FAutoScrollInterval; }
  void SetAutoScrollInterval(Cardinal Value) { FAutoScrollInterval = Value < 1 ? 1 : Value; }
  // A drag entered the tree: its edge-scroll wait starts anew.
  void ResetDragScrollStart() { FDragScrollStart = 0; }

  // --- the tree as a drop target. A drag manager calls these with screen
  // points, the keys and buttons held as a shift state, and in Effect the
  // effects the source allows (DropEffect*); they answer the effect to show.
  // False means the drag could not be served.
  virtual bool OleDragEnter(TObject* Source, TShiftState Shift, TPoint Pt, Integer& Effect);
  virtual bool OleDragOver(TObject* Source, TShiftState Shift, TDragState DragState, TPoint Pt, Integer& Effect);
  virtual void OleDragLeave();
  // Fires OnDragDrop with the data and its formats when an effect remains.
  virtual bool OleDragDrop(TObject* Source, IDataObject* DataObject, const TFormatArray& Formats, TShiftState Shift,
                           TPoint Pt, Integer& Effect);
  // The drop mode for client point P with its hit (whose node is dropped
  // where a report-mode tree takes no drop) and the hit row's rectangle.
  virtual TDropMode ComputeDropMode(const TPoint& P, THitInfo& HitInfo, const TRect& NodeRect);
  // Move within the same tree, copy from elsewhere; Ctrl, Shift and Alt
  // ask for others, each only when the source allows it.
  virtual Integer ProposeDropEffect(TObject* Source, TShiftState Shift, const TPoint& Pt, Integer AllowedEffects);
  // Whether a drag is over the tree now (its edge scrolling waits).
  bool IsDropTarget() const { return FDragTargetActive || FHost->IsOleDropTarget(); }
  bool IsPanning() const { return HasState(tsWheelPanning) || HasState(tsWheelScrolling); }
  // The panning origin (client coordinates).
  const TPoint& LastClickPos() const { return FLastClickPos; }
  void SetLastClickPos(const TPoint& Value) { FLastClickPos = Value; }
  // Which panning cursor a pointer at (X, Y) shows.
  TVTPanningCursor PanningCursorAt(Integer X, Integer Y) const;
  // Which panning picture the window shows (all, east-west or north-south).
  TVTPanningCursor PanningImageKind() const;
  virtual void BeginWheelPanning(TPoint Position);
  virtual void EndWheelPanning();

  // --- data exchange: clipboard marks, the tree's own data format, pasting
  // and dropping, and the drag source's state
  TClipboardFormats& ClipboardFormats() { return FClipboardFormats; }
  void SetClipboardFormats(const std::vector<String>& Names) { FClipboardFormats.Assign(Names); }
  // The nodes of the pending cut or copy set.
  Cardinal CutCopyCount();
  TNodeArray GetSortedCutCopySet(bool Resolve);
  void CancelCutOrCopy();
  // A pending cut: its nodes are deleted (they were pasted elsewhere).
  void FinishCutOrCopy();
  // The records of "Vast Tree Data": the cut or copy set (ForClipboard) or
  // the selection, parents carrying their subtrees.
  TBytes RenderNativeTreeData(bool ForClipboard);
  // Pastes DataObject's nodes at TargetNode: moved from Source when
  // Optimized, else copied from the serialised data.
  virtual bool ProcessOLEData(TBaseVastTree* Source, IVTDataSource& DataObject, PVastNode TargetNode,
                              TVTNodeAttachMode Mode, bool Optimized);
  // The live tree of this process that DataObject names; nil otherwise.
  virtual TBaseVastTree* SourceTreeOfDataObject(IVTDataSource& DataObject);
  // For OnDragDrop handlers: moves or copies as Effect says; a move leaves
  // Effect none so the source does not delete the nodes again.
  bool ProcessDrop(IVTDataSource& DataObject, PVastNode TargetNode, Integer& Effect, TVTNodeAttachMode Mode);
  TDragOperations DragOperations() const { return FDragOperations; }
  void SetDragOperations(TDragOperations Value) { FDragOperations = Value; }
  TVTDragType DragType() const { return FDragType; }
  void SetDragType(TVTDragType Value) { FDragType = Value; }
  // Threshold -1: the system's.
  virtual void BeginDrag(bool Immediate, Integer Threshold = -1);
  bool Dragging() const { return HasState(tsOLEDragPending) || HasState(tsOLEDragging); }
  // The sorted selection an OLE drag carries (empty outside a drag).
  const TNodeArray& DragSelection() const { return FDragSelection; }
  Integer LastDragEffect() const { return FLastDragEffect; }
  // Alive while the tree is: objects that outlive it (a data object on the
  // clipboard) hold a weak reference and stop using the tree when it dies.
  std::weak_ptr<void> LifeToken() const { return FLifeToken; }

  // --- events
  TVTChangeEvent OnChange;
  TVTStructureChangeEvent OnStructureChange;
  TVTInitNodeEvent OnInitNode;
  TVTInitChildrenEvent OnInitChildren;
  TVTFreeNodeEvent OnFreeNode;
  TVTFreeNodeEvent OnResetNode;
  TVTCompareEvent OnCompareNodes;
  TVTToggleAllowedEvent OnExpanding;
  TVTToggleAllowedEvent OnCollapsing;
  TVTChangeEvent OnExpanded;
  TVTChangeEvent OnCollapsed;
  TVTNodeTargetAllowedEvent OnNodeMoving;
  TVTChangeEvent OnNodeMoved;
  TVTNodeTargetAllowedEvent OnNodeCopying;
  TVTChangeEvent OnNodeCopied;
  TVTFocusChangingEvent OnFocusChanging;
  TVTFocusChangedEvent OnFocusChanged;
  TVTChangeEvent OnAddToSelection;
  TVTChangeEvent OnRemoveFromSelection;
  TVTStreamNodeEvent OnSaveNode;
  TVTStreamNodeEvent OnLoadNode;
  TVTStreamTreeEvent OnSaveTree;
  TVTStreamTreeEvent OnLoadTree;
  TVTGetNodeDataSizeEvent OnGetNodeDataSize;
  TVTUpdatingEvent OnUpdating;
  TVTStateChangeEvent OnStateChange;
  TVTOperationEvent OnStartOperation;
  TVTOperationEvent OnEndOperation;
  TVTMeasureItemEvent OnMeasureItem;
  TVTBeforeGetCheckStateEvent OnBeforeGetCheckState;
  TVTCheckChangingEvent OnChecking;
  TVTChangeEvent OnChecked;
  TVTHotNodeChangeEvent OnHotChange;
  TVTScrollEvent OnScroll;
  TVTGetCellIsEmptyEvent OnGetCellIsEmpty;
  TVTHeaderColumnEvent OnColumnResize;
  TVTColumnVisibilityChangedEvent OnColumnVisibilityChanged;
  TVTEditChangingEvent OnEditing;
  TVTEditChangeEvent OnEdited;
  TVTColumnEvent OnEditCancelled;
  TVTNodeClickEvent OnNodeClick;
  TVTNodeClickEvent OnNodeDblClick;
  TVTNotifyEvent OnMouseEnter;
  TVTNotifyEvent OnMouseLeave;
  // Painting.
  TVTCanvasEvent OnBeforePaint;
  TVTCanvasEvent OnAfterPaint;
  TVTBeforeItemEraseEvent OnBeforeItemErase;
  TVTItemRectEvent OnAfterItemErase;
  TVTBeforeItemPaintEvent OnBeforeItemPaint;
  TVTItemRectEvent OnAfterItemPaint;
  TVTBeforeCellPaintEvent OnBeforeCellPaint;
  TVTAfterCellPaintEvent OnAfterCellPaint;
  TVTBackgroundPaintEvent OnPaintBackground;
  TVTBeforeDrawLineImageEvent OnBeforeDrawTreeLine;
  TVTGetLineStyleEvent OnGetLineStyle;
  TVTGetImageEvent OnGetImageIndex;
  TVTGetImageExEvent OnGetImageIndexEx;
  TVTGetImageTextEvent OnGetImageText;
  TVTScrollBarShowEvent OnShowScrollBar;
  // Mouse, keyboard, hints, help.
  TVTColumnClickEvent OnColumnClick;
  TVTColumnClickEvent OnColumnDblClick;
  TVTCanSplitterResizeNodeEvent OnCanSplitterResizeNode;
  TVTNodeHeightDblClickResizeEvent OnNodeHeightDblClickResize;
  TVTNodeHeightTrackingEvent OnNodeHeightTracking;
  TVTGetCursorEvent OnGetCursor;
  TVTKeyActionEvent OnKeyAction;
  TVTIncrementalSearchEvent OnIncrementalSearch;
  TVTPopupEvent OnGetPopupMenu;
  TVTGetHintSizeEvent OnGetHintSize;
  TVTHintKindEvent OnGetHintKind;
  TVTDrawHintEvent OnDrawHint;
  TVTHelpContextEvent OnGetHelpContext;
  // Editing, drag and drop, clipboard.
  TVTCreateEditorEvent OnCreateEditor;
  TVTDragAllowedEvent OnDragAllowed;
  TVTDragOverEvent OnDragOver;
  TVTDragDropEvent OnDragDrop;
  TVTCreateDataObjectEvent OnCreateDataObject;
  TVTCreateDragManagerEvent OnCreateDragManager;
  TVTGetUserClipboardFormatsEvent OnGetUserClipboardFormats;
  TVTRenderOLEDataEvent OnRenderOLEData;
  // Header events; Sender is the header.
  TVTAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
  TVTHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
  TVTHeaderPaintEvent OnHeaderDraw;
  TVTGetHeaderCursorEvent OnGetHeaderCursor;
  TVTHeaderClickEvent OnHeaderClick;
  TVTHeaderClickEvent OnHeaderDblClick;
  TVTHeaderDraggedEvent OnHeaderDragged;
  TVTHeaderDraggedOutEvent OnHeaderDraggedOut;
  TVTHeaderDraggingEvent OnHeaderDragging;
  TVTHeaderMouseEvent OnHeaderMouseDown;
  TVTHeaderMouseMoveEvent OnHeaderMouseMove;
  TVTHeaderMouseEvent OnHeaderMouseUp;
  TVTGetMaxColumnWidthEvent OnBeforeGetMaxColumnWidth;
  TVTAfterGetMaxColumnWidthEvent OnAfterGetMaxColumnWidth;

protected:
  // --- node store internals
  static constexpr std::size_t NodeHeaderSize = sizeof(TVastNode);
  virtual Cardinal ReserveInternalData(Cardinal Size);
  // An internal area of Node reserved at Offset.
  void* InternalData(PVastNode Node, Cardinal Offset) const {
    return reinterpret_cast<Byte*>(Node) + (FNodeDataSize > 0 ? FNodeDataSize : 0) + Offset;
  }
  PVastNode AllocateNode();
  void FreeNodeBlock(PVastNode Node);
  void SetupRootNode();
  void AdjustTotalCount(PVastNode Node, Integer Value, bool Relative = false);
  void AdjustTotalHeight(PVastNode Node, Integer Value, bool Relative = false);
  void RecomputeTotalCount(PVastNode Node);
  void RecomputeTotalHeight(PVastNode Node);
  virtual Cardinal CountVisibleDescendants(PVastNode Node) const;
  virtual void UpdateAllChildrenHidden(PVastNode Node);
  void UpdateAllChildrenHiddenForAll();
  void UpdateVerticalRange();

  // --- structure internals
  virtual void LinkNode(PVastNode Node, PVastNode Destination, TBaseVastTree* Target, TVTNodeAttachMode Mode);
  virtual void UnlinkNode(PVastNode Node, bool KeepFocus, bool Reindex = true, bool ParentClearing = false);
  virtual void SetChildCount(PVastNode Node, Cardinal NewChildCount);
  // SetChildCount without the read-only refusal, for counts the tree itself
  // stored while loading.
  void ChangeChildCount(PVastNode Node, Cardinal NewChildCount);
  virtual void InitNode(PVastNode Node);
  virtual void InitChildren(PVastNode Node);
  void MeasureItemHeight(TCanvas* Canvas, PVastNode Node);

  // --- hooks
  virtual void DoGetNodeDataSize(Integer& Size);
  virtual void DoInitNode(PVastNode Parent, PVastNode Node, TVastNodeInitStates& InitStates);
  virtual bool DoInitChildren(PVastNode Node, Cardinal& ChildCount);
  virtual void DoFreeNode(PVastNode Node);
  virtual void DoResetNode(PVastNode Node);
  virtual Integer DoCompare(PVastNode Node1, PVastNode Node2, TColumnIndex Column);
  virtual bool DoExpanding(PVastNode Node);
  virtual void DoExpanded(PVastNode Node);
  virtual bool DoCollapsing(PVastNode Node);
  virtual void DoCollapsed(PVastNode Node);
  virtual bool DoNodeMoving(PVastNode Node, PVastNode Target);
  virtual void DoNodeMoved(PVastNode Node);
  virtual bool DoNodeCopying(PVastNode Node, PVastNode Target);
  virtual void DoNodeCopied(PVastNode Node);
  virtual bool DoFocusChanging(PVastNode OldNode, PVastNode NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn);
  virtual void DoFocusChanged(PVastNode Node, TColumnIndex Column);
  virtual void DoFocusNode(PVastNode Node, bool Ask);
  virtual void DoChange(PVastNode Node);
  virtual void DoStructureChange(PVastNode Node, TChangeReason Reason);
  virtual void DoStateChange(TVastTreeStates Enter, TVastTreeStates Leave = {});
  virtual void DoUpdating(TVTUpdateState State);
  virtual void DoStartOperation(TVTOperationKind Kind);
  virtual void DoEndOperation(TVTOperationKind Kind);
  virtual void DoMeasureItem(TCanvas* TargetCanvas, PVastNode Node, Integer& NodeHeight);
  virtual void DoLoadNode(PVastNode Node, TStream* Stream);
  virtual void DoSaveNode(PVastNode Node, TStream* Stream);
  virtual void DoRemoveFromSelection(PVastNode Node);
  virtual void DoHotChange(PVastNode OldNode, PVastNode NewNode);
  virtual void DoScroll(Integer DeltaX, Integer DeltaY);
  virtual bool IsCellEmpty(PVastNode Node, TColumnIndex Column);
  virtual void DoColumnResize(TColumnIndex Column);
  virtual void DoColumnVisibilityChanged(TColumnIndex Column, bool Visible);
  // The header's main column changed.
  virtual void MainColumnChanged();
  virtual bool DoChecking(PVastNode Node, TCheckState& NewCheckState);
  virtual void DoChecked(PVastNode Node);
  // Window-bound hooks: the core presets and fires; the window layer calls
  // them and overrides those with platform work around the event.
  virtual void DoBeforePaint(TCanvas* TargetCanvas);
  virtual void DoAfterPaint(TCanvas* TargetCanvas);
  virtual void DoBeforeItemErase(TCanvas* TargetCanvas, PVastNode Node, const TRect& ItemRect, TColor& ItemColor,
                                 TItemEraseAction& EraseAction);
  virtual void DoAfterItemErase(TCanvas* TargetCanvas, PVastNode Node, const TRect& ItemRect);
  virtual bool DoBeforeItemPaint(TCanvas* TargetCanvas, PVastNode Node, const TRect& ItemRect);
  virtual void DoAfterItemPaint(TCanvas* TargetCanvas, PVastNode Node, const TRect& ItemRect);
  virtual void DoBeforeCellPaint(TCanvas* TargetCanvas, PVastNode Node, TColumnIndex Column,
                                 TVTCellPaintMode CellPaintMode, TRect CellRect, TRect& ContentRect);
  virtual void DoAfterCellPaint(TCanvas* TargetCanvas, PVastNode Node, TColumnIndex Column, const TRect& CellRect);
  virtual bool DoPaintBackground(TCanvas* TargetCanvas, const TRect& R);
  virtual void DoPaintDropMark(TCanvas*, PVastNode, const TRect&) {}
  virtual void DoPaintNode(TVTPaintInfo&) {}
  virtual void DoBeforeDrawTreeLine(PVastNode Node, Integer Level, Integer& PosX);
  virtual void DoGetLineStyle(void*& Bits);
  virtual TCustomImageList* DoGetImageIndex(PVastNode Node, TVTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                                            TImageIndex& Index);
  virtual void DoGetImageText(PVastNode Node, TVTImageKind Kind, TColumnIndex Column, String& ImageText);
  // The cell's content margins as OnBeforeCellPaint reports them; (0, 0)
  // without a handler.
  virtual TPoint DoGetCellContentMargin(PVastNode Node, TColumnIndex Column,
                                        TVTCellContentMarginType CellContentMarginType = ccmtAllSides,
                                        TCanvas* Canvas = nullptr);
  // The cell rectangle the margin question is asked with; the window layer
  // supplies the real one.
  virtual TRect CellRectForMargin(PVastNode, TColumnIndex) { return TRect{}; }
  virtual Integer DoGetNodeWidth(PVastNode, TColumnIndex, TCanvas* = nullptr) { return 0; }
  virtual Integer DoGetNodeExtraWidth(PVastNode, TColumnIndex, TCanvas* = nullptr) { return 0; }
  virtual String DoGetNodeHint(PVastNode Node, TColumnIndex Column, TVTTooltipLineBreakStyle& LineBreakStyle);
  virtual String DoGetNodeTooltip(PVastNode Node, TColumnIndex Column, TVTTooltipLineBreakStyle& LineBreakStyle);
  virtual void DoGetHintSize(PVastNode Node, TColumnIndex Column, TRect& R);
  virtual void DoGetHintKind(PVastNode Node, TColumnIndex Column, TVTHintKind& Kind);
  virtual TVTHintKind DefaultHintKind() const { return vhkText; }
  virtual void DoDrawHint(TCanvas* Canvas, PVastNode Node, const TRect& R, TColumnIndex Column);
  virtual void DoShowScrollBar(Integer Bar, bool Show);
  virtual void DoColumnClick(TColumnIndex Column, TShiftState Shift);
  virtual void DoColumnDblClick(TColumnIndex Column, TShiftState Shift);
  virtual void DoNodeClick(const THitInfo& HitInfo);
  virtual void DoNodeDblClick(const THitInfo& HitInfo);
  virtual bool DoCanSplitterResizeNode(TPoint P, PVastNode Node, TColumnIndex Column);
  // toNodeHeightResize, a real node, a fixed column, and the event's consent.
  bool CanResizeNodeHeight(TPoint P, PVastNode Node, TColumnIndex Column);
  virtual bool DoNodeHeightDblClickResize(PVastNode Node, TColumnIndex Column, TShiftState Shift, TPoint P);
  virtual bool DoNodeHeightTracking(PVastNode Node, TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint,
                                    TPoint P);
  virtual void DoGetCursor(TCursor& Cursor);
  virtual bool DoKeyAction(Word& CharCode, TShiftState& Shift);
  virtual Integer DoIncrementalSearch(PVastNode Node, const String& Text);
  virtual TPopupMenu* DoGetPopupMenu(PVastNode Node, TColumnIndex Column, const TPoint& Position);
  virtual void DoShowPopupMenu(PVastNode, TColumnIndex, const TPoint&) {}
  virtual void DoMouseEnter();
  virtual void DoMouseLeave();
  virtual IVTEditLink* DoCreateEditor(PVastNode Node, TColumnIndex Column);
  virtual bool DoDragAllowed(PVastNode Node, TColumnIndex Column);
  virtual bool DoDragOver(TObject* Source, TShiftState Shift, TDragState State, TPoint Pt, TDropMode Mode,
                          Integer& Effect);
  virtual void DoDragDrop(TObject* Source, IDataObject* DataObject, const TFormatArray& Formats, TShiftState Shift,
                          TPoint Pt, Integer& Effect, TDropMode Mode);
  // Opens a collapsed drop target (the auto-expand timer ran out).
  virtual void DoDragExpand();
  virtual void DoOleDrag(TPoint) {}
  // The drag source's start (an edit cancelled, the focused node selected,
  // the sorted selection kept, tsOLEDragging) and end (the dragged nodes
  // deleted after a move with toAutoDeleteMovedNodes). The start answers
  // the effects the drag allows (all three when DragOperations is empty).
  Integer BeginOleDragSource();
  void EndOleDragSource(Integer Effect);
  virtual void DoCheckClick(PVastNode Node, TCheckState NewCheckState);
  // Window hooks of the input: mouse capture, the platform's column-drag
  // cursor and the like live in the host; these are the tree's own.
  // Whether the panning picture or cursor changed (window side).
  virtual void UpdatePanningCursor(Integer X, Integer Y) { (void)X, (void)Y; }
  // Whether this tree draws its drag image itself and shows it now (window
  // side).
  virtual bool OwnDragImageShown() const { return false; }
  // Repaints TreeRect (client) of this tree at once, with Source's drag
  // image over it taking the new picture under it (window side).
  virtual void RedrawWithDragImage(TBaseVastTree* Source, const TRect& TreeRect, bool UpdateNCArea,
                                   bool ReshowDragImage) {
    (void)Source, (void)TreeRect, (void)UpdateNCArea, (void)ReshowDragImage;
  }
  // The platform drag of the class library starts (window side).
  virtual void BeginPlatformDrag(bool Immediate, Integer Threshold) { (void)Immediate, (void)Threshold; }
  // The character a key makes with Ctrl released (0 when none); the window
  // asks the keyboard layout.
  virtual Char CharForKey(Word CharCode) {
    (void)CharCode;
    return 0;
  }
  // F1: the help context of the focused node, its ancestors, then the
  // control's own chain (HelpContextOfControl), shown through ShowHelp.
  void DoHelpKey();
  virtual Integer HelpContextOfControl() { return 0; }
  virtual void ShowHelp(Integer Context) { (void)Context; }
  virtual void DoEditCancelled(TColumnIndex Column);
  virtual void DoEdited(PVastNode Node, TColumnIndex Column);
  virtual void DoEditing(PVastNode Node, TColumnIndex Column, bool& Allowed);
  virtual IDataObject* DoCreateDataObject();
  virtual IVTDragManager* DoCreateDragManager();
  virtual void DoGetUserClipboardFormats(TFormatEtcArray& Formats);
  virtual HRESULT DoRenderOLEData(const tagFORMATETC& FormatEtcIn, tagSTGMEDIUM& Medium, bool ForClipboard);
  // Header events through the tree; Sender is the header.
  virtual void DoAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, const THeaderPaintElements& Elements);
  virtual void DoHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements);
  virtual void DoHeaderDraw(TCanvas* Canvas, TVastTreeColumn* Column, const TRect& R, bool Hover, bool Pressed,
                            TVTDropMarkMode DropMark);
  virtual void DoGetHeaderCursor(HICON& Cursor);
  virtual void DoHeaderClick(const TVTHeaderHitInfo& HitInfo);
  virtual void DoHeaderDblClick(const TVTHeaderHitInfo& HitInfo);
  virtual void DoHeaderDragged(TColumnIndex Column, Integer OldPosition);
  virtual void DoHeaderDraggedOut(TColumnIndex Column, TPoint DropPosition);
  virtual bool DoHeaderDragging(TColumnIndex Column);
  virtual void DoHeaderMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void DoHeaderMouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void DoHeaderMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  // The header object, when the tree has a real one.
  TVTHeader* HeaderObject() const;

  // --- update, notification, cache internals
  virtual void AdviseChangeEvent(bool StructureChange, PVastNode Node, TChangeReason Reason);
  virtual void Change(PVastNode Node);
  virtual void StructureChange(PVastNode Node, TChangeReason Reason);
  void ChangeTreeStatesAsync(TVastTreeStates EnterStates, TVastTreeStates LeaveStates);
  void BeginOperation(TVTOperationKind Kind);
  void EndOperation(TVTOperationKind Kind);
  void InvalidateCache();
  void StopCacheValidation();
  virtual void ValidateCache();
  // Runs on the worker thread.
  virtual bool DoValidateCache();
  Cardinal FindNodeInCache(Integer Y, Cardinal& NodeTop) const;  // entry index + 1, 0 when none
  PVastNode FindCacheEntryBefore(PVastNode Node, Cardinal& NodeTop) const;
  virtual void InvalidateNode(PVastNode Node);
  void InvalidateToBottom(PVastNode Node);
  void Invalidate();

  // --- stream internals
  virtual void WriteNode(TStream& Stream, PVastNode Node);
  virtual void WriteChunks(TStream& Stream, PVastNode Node);
  virtual void ReadNode(TStream& Stream, Integer Version, PVastNode Node);
  virtual bool ReadChunk(TStream& Stream, Integer Version, Integer ChunkType, Integer ChunkSize, PVastNode Node);
  virtual void SkipNode(TStream& Stream);
  virtual void InsertStreamNode(TStream& Stream, Integer Version, PVastNode Node);
  virtual void PatchChunkSize(TStream& Stream, Int64 ChunkStart, Int64 ChunkEnd);

  // --- selection internals
  virtual void AddToSelection(PVastNode Node, bool NotifySynced);
  virtual void AddNodesToSelection(const TNodeArray& NewItems, Integer NewLength, bool ForceInsert);
  virtual void RemoveFromSelection(PVastNode Node);
  virtual void DropFromSelection(PVastNode Node);
  virtual void EmptySelection();
  virtual void ClearSelection(bool FireChange);
  virtual bool FindInSelection(PVastNode P, Integer& Index, Integer LowBound = -1, Integer HighBound = -1) const;
  bool InsertIntoSelection(TNodeArray& NewItems, Integer NewLength, bool ForceInsert);
  bool InsertIntoSelection(PVastNode Node, bool ForceInsert);
  static Integer PackNodeArray(TNodeArray& TheArray, Integer Count);
  void PackSelection();
  virtual Cardinal CacheNode(PVastNode Node);
  virtual void ClearNodeCache();
  virtual void ResetRangeAnchor();
  virtual void ChooseNextNodeToSelect(PVastNode Node);
  virtual void EnsureFocusedNode();
  virtual void FocusNodeAndColumn(PVastNode Node, TColumnIndex Column);
  bool SyncsCheckBox(PVastNode Node) const;
  // Every path that changes the selection reports here, one node at a time:
  // Node has just joined it, or has just left it (NodeGoes: because it is
  // being deleted). Descendants keep their own bookkeeping of the selection
  // in step with these.
  virtual void NodeJoinedSelection(PVastNode Node);
  virtual void NodeLeftSelection(PVastNode Node, bool NodeGoes);
  bool NodeGoes(PVastNode Node) const { return FGoingNode && (FGoingNode == FRoot || FGoingNode == Node); }

  // Scrolls to Value (clamped); Options are the suo* flags; ClipRect is the
  // client part to move. Answers whether anything moved.
  virtual bool DoSetOffset(TPoint Value, Cardinal Options, const TRect& ClipRect);
  bool DoSetOffset(TPoint Value, Cardinal Options = DefaultScrollUpdateFlags);
  // The button bitmaps or the line brush must be made anew (window side).
  virtual void PrepareButtonImages(bool Buttons, bool Lines) { (void)Buttons, (void)Lines; }
  // The window is to be re-created (its style depends on a property).
  virtual void RecreateWindow() {}
  // Whether the component around the tree is being built (a form loading);
  // the window layer answers.
  virtual bool ComponentLoading() const { return false; }
  // Creates the top-level nodes whose count was stored while loading.
  void ApplyStoredRootCount();
  // The header strip is to be painted anew (it scrolled).
  virtual void RepaintHeader() {}
  // The header asks for a column's head (nil: the whole strip) to be
  // repainted, at once with UpdateNow; the window knows where it is.
  virtual void InvalidateHeader(TVastTreeColumn* Column, bool ExpandToBorder, bool UpdateNow) {
    (void)Column, (void)ExpandToBorder, (void)UpdateNow;
  }
  // The header's height or visibility changed: the window's frame follows.
  virtual void HeaderFrameChanged() {}
  // The header shows another image list (the window watches its lifetime).
  virtual void HeaderImagesChanged(TCustomImageList* Old, TCustomImageList* New) { (void)Old, (void)New; }
  // A click on a column's check box: its state moves on as a node's would.
  void UpdateColumnCheckState(TColumnIndex Column);
  // Slides the rows around Node while it opens (Expanding) or closes by
  // Distance pixels; the window does it, a windowless tree jumps.
  virtual void AnimateToggle(PVastNode Node, bool Expanding, Integer Distance) {
    (void)Node, (void)Expanding, (void)Distance;
  }
  // Scroll position after Node was toggled by HeightChange; answers whether
  // the whole control is to be repainted.
  bool AdjustScrollAfterToggle(PVastNode Node, Integer HeightChange, bool ChildrenAbove, const TRect& RowBefore);
  // Hit positions inside a row; X is relative to the cell's left edge.
  virtual void DetermineHitPositionLTR(THitInfo& HitInfo, Integer X, Integer Right, TAlignment Alignment);
  virtual void DetermineHitPositionRTL(THitInfo& HitInfo, Integer X, Integer Right, TAlignment Alignment);
  // The column's alignment, or the tree's without columns.
  TAlignment ColumnAlignment(TColumnIndex Column) const;
  bool ColumnRightToLeft(TColumnIndex Column) const;

  friend class TScrollBarOptions;
  friend class TVTColors;

  // Option setters reach these.
  virtual void PaintOptionsChanged(TVTPaintOptions Old, TVTPaintOptions New);
  virtual void MiscOptionsChanged(TVTMiscOptions Old, TVTMiscOptions New);
  virtual void SelectionOptionsChanged(TVTSelectionOptions Old, TVTSelectionOptions New);
  virtual void AutoOptionsChanged(TVTAutoOptions Old, TVTAutoOptions New);

  // Every write of a node's States goes through these: while the background
  // worker walks the tree they take the lock it walks under, so the two
  // threads never touch the same state word at once.
  void IncludeNodeStates(PVastNode Node, TVastNodeStates States);
  void ExcludeNodeStates(PVastNode Node, TVastNodeStates States);
  // The same lock for other writes into a node's header; unlocked when no
  // worker walks the tree.
  [[nodiscard]] std::unique_lock<std::recursive_mutex> LockNodeStates();

  bool Destroying() const { return FDestroying; }
  bool HasState(TVastTreeState S) const { return TreeStates().Contains(S); }
  // Runs Action with changes reported at once, whatever the change delay:
  // tsSynchMode is set directly (no state-change notice) and removed
  // afterwards unless it was set before.
  void RunSynched(const std::function<void()>& Action);

  // A node that a handler keeps across the events it fires (a click's hit
  // node, a key's target): when that node is freed meanwhile, the tree sets
  // the watched reference to nil, so the handler sees that it is gone and
  // never touches the freed block. Watches nest and end with their scope.
  class TNodeWatch {
  public:
    TNodeWatch(TBaseVastTree& Tree, PVastNode& Node);
    // Every entry of Nodes, which must keep its size while watched.
    TNodeWatch(TBaseVastTree& Tree, TNodeArray& Nodes);
    ~TNodeWatch();
    TNodeWatch(const TNodeWatch&) = delete;
    TNodeWatch& operator=(const TNodeWatch&) = delete;

  private:
    TBaseVastTree& FTree;
    std::span<PVastNode> FSlots;
  };

  bool ReadOnly() const { return FOptions->MiscOptions().Contains(toReadOnly); }
  bool ShowFilteredNodes() const { return FOptions->PaintOptions().Contains(toShowFilteredNodes); }
  bool ChildrenAboveActive(bool ConsiderChildrenAbove) const {
    return ConsiderChildrenAbove && FOptions->PaintOptions().Contains(toChildrenAbove);
  }

private:
  Cardinal NodeBlockSize() const;
  // The nodes with State in tree order, at most Limit of them; with Resolve
  // none whose ancestor is among them.
  TNodeArray GetSortedNodesWith(TVastNodeState State, bool Resolve, std::size_t Limit);
  Cardinal RootBlockSize() const { return static_cast<Cardinal>(NodeHeaderSize) + FTotalInternalDataSize; }
  void ForgetNode(PVastNode Node);
  // Reads a node's base record and answers its stored child count.
  Integer ReadBaseRecord(TStream& Stream, Integer& Version, PVastNode Node, Integer ChunkSize);
  void CheckSelectionAfterRead(PVastNode Node);
  PVastNode NextInOrder(PVastNode Node, bool ChildrenAbove, bool DoInit);
  PVastNode PreviousInOrder(PVastNode Node, bool ChildrenAbove, bool DoInit);
  PVastNode NextVisibleImpl(PVastNode Node, bool ChildrenAbove, bool DoInit);
  PVastNode PreviousVisibleImpl(PVastNode Node, bool ChildrenAbove, bool DoInit);
  PVastNode FirstVisibleImpl(PVastNode Node, bool ChildrenAbove, bool IncludeFiltered, bool DoInit);
  PVastNode LastVisibleChildImpl(PVastNode Node, bool IncludeFiltered, bool DoInit);
  void SortChildren(PVastNode Node, TColumnIndex Column, TSortDirection Direction);
  void TransferNodes(PVastNode Source, PVastNode Target, TBaseVastTree* TargetTree, TVTNodeAttachMode Mode,
                     bool ChildrenOnly, bool Copy, PVastNode& LastResult);
  void ReadStreamSignature(TStream& Stream, Integer& Version, bool Strict);
  void ReadTopNodes(TStream& Stream, Integer Version, PVastNode Target, bool WholeTree);
  void SetStates(TVastTreeStates Value) { FStates.store(Value.Bits(), std::memory_order_release); }

  bool ChangeCheckState(PVastNode Node, TCheckState Value);
  bool HandleDrawSelection(Integer X, Integer Y);
  // Client x + this = the rubber band's x (absolute, as painted).
  Integer SelectionOffsetX();
  void HandleNavigationKey(Word CharCode, TShiftState Shift);
  void HandleCommandKey(Word CharCode, TShiftState Shift);
  TColumnIndex ColumnWithSpans(TColumnIndex Column, bool Forward);
  bool IsEmptySpannedCell(PVastNode Node, TColumnIndex Column);
  void StopPendingEdit();
  void ReleaseEditLink();

  IVastTreeHost* FHost;  // not owned
  std::unique_ptr<IVastTreeHeader> FHeader;
  std::unique_ptr<TCustomVastTreeOptions> FOptions;
  // The class FOptions was made from.
  TVastTreeOptionsClass FOptionsClass = &TCustomVastTreeOptions::Make<TCustomVastTreeOptions>;

  PVastNode FRoot = nullptr;
  // Every node block this tree has allocated and not freed, kept from the
  // first IsOwnNode on (nil until then, so trees nobody asks pay nothing).
  std::unique_ptr<std::unordered_set<PVastNode>> FNodeIndex;
  Integer FNodeDataSize = -1;
  Cardinal FTotalInternalDataSize = 0;
  Cardinal FDefaultNodeHeight = 18;
  Cardinal FVisibleCount = 0;
  Cardinal FUpdateCount = 0;
  Cardinal FSynchUpdateCount = 0;
  std::atomic<UInt64> FStates{0};
  Cardinal FChangeDelay = 0;
  PVastNode FLastChangedNode = nullptr;
  PVastNode FLastStructureChangeNode = nullptr;
  TChangeReason FLastStructureChangeReason = crIgnore;
  Cardinal FOperationCount = 0;
  bool FOperationCanceled = false;
  TCache FPositionCache;
  Cardinal FStartIndex = 0;

  TNodeArray FSelection;
  Integer FSelectionCount = 0;
  bool FSelectionLocked = false;
  PVastNode FRangeAnchor = nullptr;
  Integer FLastSelectionLevel = -1;
  PVastNode FNextNodeToSelect = nullptr;
  TNodeArray FTempNodeCache;
  Cardinal FTempNodeCount = 0;
  PVastNode FFocusedNode = nullptr;
  TColumnIndex FFocusedColumn = NoColumn;
  PVastNode FHotNode = nullptr;
  PVastNode FDropTargetNode = nullptr;
  bool FDragTargetActive = false;  // between a drag's enter and its leave or drop
  // The drop target changes: both rows repaint, the auto-expand wait starts.
  void SetDropTarget(PVastNode Node);
  PVastNode FLastHitNode = nullptr;
  PVastNode FLastSelected = nullptr;

  Integer FOffsetX = 0;
  Integer FOffsetY = 0;
  Integer FRangeY = 0;
  Integer FRangeX = 0;
  Integer FEffectiveOffsetX = 0;
  Integer FImagesMargin = 2;
  TBiDiMode FBiDiMode = bdLeftToRight;
  TAlignment FAlignment = taLeftJustify;
  std::unique_ptr<TScrollBarOptions> FScrollBarOptions;
  std::unique_ptr<TVTColors> FColors;
  TVTLineStyle FLineStyle = lsDotted;
  TVTLineMode FLineMode = lmNormal;
  TVTButtonStyle FButtonStyle = bsRectangle;
  TVTButtonFillMode FButtonFillMode = fmTreeColor;
  TVTNodeAlignment FNodeAlignment = naProportional;
  TVTDrawSelectionMode FDrawSelectionMode = smDottedRectangle;
  Cardinal FSelectionCurveRadius = 0;
  Byte FSelectionBlendFactor = 128;
  TDropMode FLastDropMode = dmNowhere;
  Cardinal FBottomSpace = 0;
  Cardinal FAnimationDuration = 200;
  Cardinal FIndent = 18;
  Integer FMargin = 4;
  Integer FTextMargin = 4;
  Cardinal FAutoExpandDelay = 1000;
  Cardinal FEditDelay = 1000;
  TVTNodeAttachMode FDefaultPasteMode = amAddChildLast;
  String FEmptyListMessage;
  TCustomImageList* FImages = nullptr;       // not owned
  TCustomImageList* FStateImages = nullptr;  // not owned
  String FHint;
  TVTHintMode FHintMode = hmDefault;
  bool FDestroying = false;
  // The selected node that is being deleted (FRoot: all of them, as the
  // tree is cleared); it leaves the selection because it goes.
  PVastNode FGoingNode = nullptr;
  bool FLoading = false;
  bool FWorkerReferenced = false;
  bool FMeasuringForWorker = false;
  // Input.
  THitInfo FLastHitInfo;
  TPoint FLastClickPos;
  TColumnIndex FCurrentHotColumn = NoColumn;
  bool FHotNodeButtonHit = false;
  TRect FNewSelRect;
  TRect FLastSelRect;
  TShiftState FDrawSelShiftState;
  PVastNode FHeightTrackNode = nullptr;
  TColumnIndex FHeightTrackColumn = NoColumn;
  TPoint FHeightTrackPoint;
  Integer FDragThreshold = 5;
  TVTDragImageKind FDragImageKind = diComplete;
  Integer FDragWidth = 200;
  Integer FDragHeight = 350;
  bool FWantTabs = false;
  TVTIncrementalSearch FIncrementalSearch = isNone;
  TVTSearchDirection FSearchDirection = sdForward;
  TVTSearchStart FSearchStart = ssFocusedNode;
  Cardinal FSearchTimeout = 1000;
  String FSearchBuffer;
  PVastNode FLastSearchNode = nullptr;
  Integer FCheckPropagationCount = 0;
  TCheckImageKind FCheckImageKind = ckSystemDefault;
  TColumnIndex FEditColumn = NoColumn;
  IVTEditLink* FEditLink = nullptr;  // one reference held while editing
  TScrollDirections FScrollDirections;
  Cardinal FDragScrollStart = 0;
  Cardinal FAutoScrollDelay = 1000;
  Cardinal FAutoScrollInterval = 1;
  // The references of the running handlers' node watches (TNodeWatch).
  std::vector<std::span<PVastNode>> FWatchedNodes;
  TClipboardFormats FClipboardFormats{this};
  TDragOperations FDragOperations{doCopy, doMove};
  TVTDragType FDragType = dtOLE;
  std::shared_ptr<void> FLifeToken{std::make_shared<Byte>(0)};

protected:
  TNodeArray FDragSelection;
  // The drop target of the last class-library drag message.
  PVastNode FLastVCLDragTarget = nullptr;
  // Sets the drop target without the drag's timers; old and new rows are
  // repainted.
  void SetDropTargetNode(PVastNode Node);
  Integer FLastDragEffect = 0;

private:
  // Set while the tree is listed at or worked on by the background worker.
  std::atomic<bool> FInWorker{false};
  // Held by the worker while it reads node states, and by the writers above
  // while it may.
  std::recursive_mutex FNodeStateLock;
};
