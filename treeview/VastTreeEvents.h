#pragma once
// The event types of the tree and of its header. Sender is the tree, except
// for the header events, whose Sender is the header. A hook fires its event
// only when it is assigned and presets every by-reference answer.
#include <functional>

#include "rtl/Geometry.h"
#include "rtl/Streams.h"
#include "rtl/UITypes.h"
#include "treeview/VastTreeTypes.h"

class TBaseVastTree;
// Objects of the window layer that the core only passes on.
class TCanvas;
class TCustomImageList;
class TPopupMenu;
class TVTHeader;
class TVastTreeColumn;
class IVTEditLink;
class IVTDragManager;
struct TVTPaintInfo;
struct THeaderPaintInfo;

// Events. Sender is the tree, except for the header events, whose Sender is
// the header. A hook fires its event only when it is assigned and presets
// every by-reference answer.

using TVTChangeEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node)>;
using TVTStructureChangeEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TChangeReason Reason)>;
using TVTInitNodeEvent = std::function<void(TBaseVastTree* Sender, PVastNode ParentNode, PVastNode Node,
                                            TVastNodeInitStates& InitialStates)>;
using TVTInitChildrenEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, Cardinal& ChildCount)>;
using TVTFreeNodeEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node)>;
using TVTCompareEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node1, PVastNode Node2, TColumnIndex Column, Integer& Result)>;
using TVTToggleAllowedEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, bool& Allowed)>;
using TVTNodeTargetAllowedEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, PVastNode Target, bool& Allowed)>;
using TVTFocusChangingEvent = std::function<void(TBaseVastTree* Sender, PVastNode OldNode, PVastNode NewNode,
                                                 TColumnIndex OldColumn, TColumnIndex NewColumn, bool& Allowed)>;
using TVTFocusChangedEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column)>;
using TVTStreamNodeEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TStream* Stream)>;
using TVTStreamTreeEvent = std::function<void(TBaseVastTree* Sender, TStream* Stream)>;
using TVTGetNodeDataSizeEvent = std::function<void(TBaseVastTree* Sender, Integer& NodeDataSize)>;
using TVTUpdatingEvent = std::function<void(TBaseVastTree* Sender, TVTUpdateState State)>;
using TVTStateChangeEvent = std::function<void(TBaseVastTree* Sender, TVastTreeStates Enter, TVastTreeStates Leave)>;
using TVTOperationEvent = std::function<void(TBaseVastTree* Sender, TVTOperationKind OperationKind)>;
using TVTMeasureItemEvent =
    std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, PVastNode Node, Integer& NodeHeight)>;
using TVTHotNodeChangeEvent = std::function<void(TBaseVastTree* Sender, PVastNode OldNode, PVastNode NewNode)>;
using TVTScrollEvent = std::function<void(TBaseVastTree* Sender, Integer DeltaX, Integer DeltaY)>;
using TVTGetCellIsEmptyEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, bool& IsEmpty)>;
using TVTColumnEvent = std::function<void(TBaseVastTree* Sender, TColumnIndex Column)>;
using TVTEditChangingEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, bool& Allowed)>;
using TVTEditChangeEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column)>;
using TVTBeforeGetCheckStateEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node)>;
using TVTCheckChangingEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, TCheckState& NewState, bool& Allowed)>;
using TVTNotifyEvent = std::function<void(TBaseVastTree* Sender)>;
using TVTColumnVisibilityChangedEvent = std::function<void(TBaseVastTree* Sender, TColumnIndex Column, bool Visible)>;
using TVTHeaderColumnEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column)>;

// Painting (the window layer fires these).
using TVTCanvasEvent = std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas)>;
using TVTAfterCellPaintEvent = std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, PVastNode Node,
                                                  TColumnIndex Column, const TRect& CellRect)>;
using TVTItemRectEvent =
    std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, PVastNode Node, const TRect& ItemRect)>;
using TVTBeforeCellPaintEvent =
    std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, PVastNode Node, TColumnIndex Column,
                       TVTCellPaintMode CellPaintMode, TRect CellRect, TRect& ContentRect)>;
using TVTBeforeItemEraseEvent =
    std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, PVastNode Node, const TRect& ItemRect,
                       TColor& ItemColor, TItemEraseAction& EraseAction)>;
using TVTBeforeItemPaintEvent = std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, PVastNode Node,
                                                   const TRect& ItemRect, bool& CustomDraw)>;
using TVTBackgroundPaintEvent =
    std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, const TRect& R, bool& Handled)>;
using TVTBeforeDrawLineImageEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, Integer Level, Integer& PosX)>;
using TVTGetLineStyleEvent = std::function<void(TBaseVastTree* Sender, void*& Bits)>;
using TVTGetImageEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TVTImageKind Kind,
                                            TColumnIndex Column, bool& Ghosted, TImageIndex& ImageIndex)>;
using TVTGetImageExEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, TVTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                       TImageIndex& ImageIndex, TCustomImageList*& ImageList)>;
using TVTGetImageTextEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TVTImageKind Kind,
                                                TColumnIndex Column, String& ImageText)>;

// Mouse, keyboard and hints.
using TVTColumnClickEvent = std::function<void(TBaseVastTree* Sender, TColumnIndex Column, TShiftState Shift)>;
using TVTNodeClickEvent = std::function<void(TBaseVastTree* Sender, const THitInfo& HitInfo)>;
using TVTCanSplitterResizeNodeEvent =
    std::function<void(TBaseVastTree* Sender, TPoint P, PVastNode Node, TColumnIndex Column, bool& Allowed)>;
using TVTNodeHeightDblClickResizeEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column,
                                                            TShiftState Shift, TPoint P, bool& Allowed)>;
using TVTNodeHeightTrackingEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column,
                                                      TShiftState Shift, TPoint& TrackPoint, TPoint P, bool& Allowed)>;
using TVTGetCursorEvent = std::function<void(TBaseVastTree* Sender, TCursor& Cursor)>;
using TVTKeyActionEvent =
    std::function<void(TBaseVastTree* Sender, Word& CharCode, TShiftState& Shift, bool& DoDefault)>;
using TVTIncrementalSearchEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, const String& SearchText, Integer& Result)>;
using TVTPopupEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, const TPoint& P,
                                         bool& AskParent, TPopupMenu*& PopupMenu)>;
using TVTGetHintSizeEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, TRect& R)>;
using TVTHintKindEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, TVTHintKind& Kind)>;
using TVTDrawHintEvent = std::function<void(TBaseVastTree* Sender, TCanvas* HintCanvas, PVastNode Node, const TRect& R,
                                            TColumnIndex Column)>;
using TVTHelpContextEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, Integer& HelpContext)>;
using TVTScrollBarShowEvent = std::function<void(TBaseVastTree* Sender, Integer Bar, bool Show)>;
using TVTGetMaxColumnWidthEvent =
    std::function<void(TVTHeader* Sender, TColumnIndex Column, bool& UseSmartColumnWidth)>;
using TVTAfterGetMaxColumnWidthEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column, Integer& MaxWidth)>;

// Editing, drag and drop, clipboard.
using TVTCreateEditorEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, IVTEditLink*& EditLink)>;
using TVTDragAllowedEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, bool& Allowed)>;
using TVTDragOverEvent = std::function<void(TBaseVastTree* Sender, TObject* Source, TShiftState Shift, TDragState State,
                                            TPoint Pt, TDropMode Mode, Integer& Effect, bool& Accept)>;
using TVTDragDropEvent =
    std::function<void(TBaseVastTree* Sender, TObject* Source, IDataObject* DataObject, const TFormatArray& Formats,
                       TShiftState Shift, TPoint Pt, Integer& Effect, TDropMode Mode)>;
using TVTCreateDataObjectEvent = std::function<void(TBaseVastTree* Sender, IDataObject*& DataObject)>;
using TVTCreateDragManagerEvent = std::function<void(TBaseVastTree* Sender, IVTDragManager*& DragManager)>;
using TVTGetUserClipboardFormatsEvent = std::function<void(TBaseVastTree* Sender, TFormatEtcArray& Formats)>;
using TVTRenderOLEDataEvent = std::function<void(TBaseVastTree* Sender, const tagFORMATETC& FormatEtcIn,
                                                 tagSTGMEDIUM& Medium, bool ForClipboard, HRESULT& Result)>;

// Header events fired through the tree's hooks; Sender is the header.
using TVTAdvancedHeaderPaintEvent =
    std::function<void(TVTHeader* Sender, THeaderPaintInfo& PaintInfo, const THeaderPaintElements& Elements)>;
using TVTHeaderPaintQueryElementsEvent =
    std::function<void(TVTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements)>;
using TVTHeaderPaintEvent = std::function<void(TVTHeader* Sender, TCanvas* HeaderCanvas, TVastTreeColumn* Column,
                                               const TRect& R, bool Hover, bool Pressed, TVTDropMarkMode DropMark)>;
using TVTGetHeaderCursorEvent = std::function<void(TVTHeader* Sender, HICON& Cursor)>;
using TVTHeaderClickEvent = std::function<void(TVTHeader* Sender, const TVTHeaderHitInfo& HitInfo)>;
using TVTHeaderDraggedEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column, Integer OldPosition)>;
using TVTHeaderDraggedOutEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column, TPoint DropPosition)>;
using TVTHeaderDraggingEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column, bool& Allowed)>;
using TVTHeaderMouseEvent =
    std::function<void(TVTHeader* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y)>;
using TVTHeaderMouseMoveEvent = std::function<void(TVTHeader* Sender, TShiftState Shift, Integer X, Integer Y)>;

// Step function of IterateSubtree.
using TVTGetNodeProc = std::function<void(TBaseVastTree* Sender, PVastNode Node, void* Data, bool& Abort)>;
