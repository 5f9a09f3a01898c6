#pragma once
// Tree-wide types of the vast tree view: attach modes, change reasons, the
// tree state set, timer identifiers, the position cache, the error class,
// hit positions and the small enumerations of painting and drag and drop.
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Geometry.h"
#include "rtl/Set.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"
#include "treeview/VastTreeNode.h"

// Platform records and handles, declared as the platform headers declare them.
struct IDataObject;
struct tagFORMATETC;
struct tagSTGMEDIUM;
struct HICON__;
using HICON = HICON__*;
using HRESULT = long;

enum TVTNodeAttachMode : Byte { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };
enum TChangeReason : Byte {
  crIgnore,
  crAccumulated,
  crChildAdded,
  crChildDeleted,
  crNodeAdded,
  crNodeCopied,
  crNodeMoved
};
enum TBiDiMode : Byte { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TSortDirection : Byte { sdAscending, sdDescending };
enum TVTUpdateState : Byte { usBegin, usBeginSynch, usSynch, usUpdate, usEnd, usEndSynch };
enum TVTOperationKind : Byte { okAutoFitColumns, okGetMaxColumnWidth, okSortNode, okSortTree, okExport, okExpand };

using TColumnIndex = Integer;
using TColumnPosition = Cardinal;
inline constexpr TColumnIndex NoColumn = -1;
inline constexpr TColumnIndex InvalidColumn = -2;

enum TVastTreeState : Byte {
  tsChangePending,
  tsCheckPropagation,
  tsCollapsing,
  tsToggleFocusedSelection,
  tsClearPending,
  tsClipboardFlushing,
  tsCopyPending,
  tsCutPending,
  tsDrawSelPending,
  tsDrawSelecting,
  tsEditing,
  tsEditPending,
  tsExpanding,
  tsNodeHeightTracking,
  tsNodeHeightTrackPending,
  tsHint,
  tsInAnimation,
  tsIncrementalSearching,
  tsIncrementalSearchPending,
  tsIterating,
  tsLeftButtonDown,
  tsLeftDblClick,
  tsMiddleButtonDown,
  tsMiddleDblClick,
  tsNeedRootCountUpdate,
  tsOLEDragging,
  tsOLEDragPending,
  tsPainting,
  tsRightButtonDown,
  tsRightDblClick,
  tsPopupMenuShown,
  tsScrolling,
  tsScrollPending,
  tsSizing,
  tsStopValidation,
  tsStructureChangePending,
  tsSynchMode,
  tsThumbTracking,
  tsToggling,
  tsUpdateHiddenChildrenNeeded,
  tsUpdating,
  tsUseCache,
  tsUserDragObject,
  tsUseThemes,
  tsValidating,
  tsPreviouslySelectedLocked,
  tsValidationNeeded,
  tsVCLDragging,
  tsVCLDragPending,
  tsVCLDragFinished,
  tsPanning,
  tsWindowCreating,
  tsUseExplorerTheme,
  tsWheelPanning,
  tsWheelScrolling,
  tsClearOnNewSelection
};
using TVastTreeStates = TSet<TVastTreeState, UInt64>;

// Tree timer identifiers, shared with the window layer.
inline constexpr Cardinal ExpandTimer = 1;
inline constexpr Cardinal EditTimer = 2;
inline constexpr Cardinal HeaderTimer = 3;
inline constexpr Cardinal ScrollTimer = 4;
inline constexpr Cardinal ChangeTimer = 5;
inline constexpr Cardinal StructureChangeTimer = 6;
inline constexpr Cardinal SearchTimer = 7;
inline constexpr Cardinal ThemeChangedTimer = 8;

// Visible nodes per position-cache entry.
inline constexpr Cardinal CacheThreshold = 2000;

struct TCacheEntry {
  PVastNode Node;
  Cardinal AbsoluteTop;
};
using TCache = std::vector<TCacheEntry>;

// The tree stream's format version: what saving writes, and the newest that
// loading and pasting read.
inline constexpr Integer TreeStreamVersion = 3;

// Help contexts of EVastTreeError.
inline constexpr int hcTFEditLinkIsNil = 2000;
inline constexpr int hcTFWrongMoveError = 2001;
inline constexpr int hcTFWrongStreamFormat = 2002;
inline constexpr int hcTFWrongStreamVersion = 2003;
inline constexpr int hcTFStreamTooSmall = 2004;
inline constexpr int hcTFCorruptStream1 = 2005;
inline constexpr int hcTFCorruptStream2 = 2006;
inline constexpr int hcTFClipboardFailed = 2007;

QUORVEL_DECLARE_EXCEPTION(EVastTreeError, Exception);

// Types of the window-bound events. The window layer fills them; the core
// declares them so that every event has its final signature.

using TImageIndex = Integer;
using TCursor = Integer;
using TFormatArray = std::vector<Word>;
using TFormatEtcArray = std::vector<tagFORMATETC>;

enum THitPosition : Byte {
  hiAbove,
  hiBelow,
  hiNowhere,
  hiOnItem,
  hiOnItemButton,
  hiOnItemButtonExact,
  hiOnItemCheckbox,
  hiOnItemIndent,
  hiOnItemLabel,
  hiOnItemLeft,
  hiOnItemRight,
  hiOnNormalIcon,
  hiOnStateIcon,
  hiToLeft,
  hiToRight,
  hiUpperSplitter,
  hiLowerSplitter
};
using THitPositions = TSet<THitPosition, Cardinal>;

struct THitInfo {
  PVastNode HitNode = nullptr;
  THitPositions HitPositions;
  TColumnIndex HitColumn = NoColumn;
  TPoint HitPoint;
};

enum TVTHeaderHitPosition : Byte { hhiNoWhere, hhiOnColumn, hhiOnIcon, hhiOnCheckbox };
using TVTHeaderHitPositions = TSet<TVTHeaderHitPosition, Byte>;

struct TVTHeaderHitInfo {
  Integer X = 0;
  Integer Y = 0;
  TMouseButton Button = mbLeft;
  TShiftState Shift;
  TColumnIndex Column = NoColumn;
  TVTHeaderHitPositions HitPosition;
};

enum THeaderPaintElement : Byte { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText, hpeOverlay };
using THeaderPaintElements = TSet<THeaderPaintElement, Byte>;

enum TVTImageKind : Byte { ikNormal, ikSelected, ikState, ikOverlay };
enum TVTTooltipLineBreakStyle : Byte { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };
enum TVTHintKind : Byte { vhkText, vhkOwnerDraw };
enum TItemEraseAction : Byte { eaColor, eaDefault, eaNone };
enum TVTCellPaintMode : Byte { cpmPaint, cpmGetContentMargin };
enum TVTCellContentMarginType : Byte { ccmtAllSides, ccmtTopLeftOnly, ccmtBottomRightOnly };
enum TVTDropMarkMode : Byte { dmmNone, dmmLeft, dmmRight };
enum TDropMode : Byte { dmNowhere, dmAbove, dmOnNode, dmBelow };
enum TVTDragImageKind : Byte { diComplete, diMainColumnOnly, diNoImage };
// Effects of a drop, numbered as the platform numbers them.
inline constexpr Integer DropEffectNone = 0;
inline constexpr Integer DropEffectCopy = 1;
inline constexpr Integer DropEffectMove = 2;
inline constexpr Integer DropEffectLink = 4;
inline constexpr Integer DropEffectScroll = static_cast<Integer>(0x80000000u);

// Auto-scroll and panning directions.
enum TScrollDirection : Byte { sdLeft, sdUp, sdRight, sdDown };
using TScrollDirections = TSet<TScrollDirection, Byte>;

// Incremental search: over which nodes, in which direction, from where.
enum TVTIncrementalSearch : Byte { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum TVTSearchDirection : Byte { sdForward, sdBackward };
enum TVTSearchStart : Byte { ssAlwaysStartOver, ssLastHit, ssFocusedNode };

// What the tree's hints show: the control's hint, a hint per node, both,
// or the full text of a cell its column cuts off.
enum TVTHintMode : Byte { hmDefault, hmHint, hmHintAndDefault, hmTooltip };

// How the header's column menu lists a column.
enum TAddPopupItemType : Byte { apNormal, apDisabled, apHidden };

// Where check images come from: a list the owner gives, or the tree's own.
enum TCheckImageKind : Byte { ckCustom, ckSystemDefault };

// The panning cursors, in the order of their resource names.
enum TVTPanningCursor : Byte {
  pcMoveAll,
  pcMoveEW,
  pcMoveNS,
  pcMoveN,
  pcMoveS,
  pcMoveW,
  pcMoveE,
  pcMoveNW,
  pcMoveNE,
  pcMoveSW,
  pcMoveSE
};

// Virtual-key codes the key handling knows (the platform's numbering).
inline constexpr Word vkBack = 8, vkTab = 9, vkReturn = 13, vkEscape = 27, vkSpace = 32, vkPrior = 33, vkNext = 34,
                      vkEnd = 35, vkHome = 36, vkLeft = 37, vkUp = 38, vkRight = 39, vkDown = 40, vkApps = 93,
                      vkMultiply = 106, vkAdd = 107, vkSubtract = 109, vkDivide = 111, vkF1 = 112, vkF2 = 113;

// One mouse button message as the tree's handlers see it.
struct TVTMouseMessage {
  TMouseButton Button = mbLeft;
  TShiftState Keys;  // modifiers and the buttons held
  Integer X = 0;
  Integer Y = 0;
};

class TBaseVastTree;
struct TMessage;

// The in-place editor as the tree drives it. Reference-counted: the tree
// holds one reference while an edit runs.
class IVTEditLink {
public:
  virtual Integer _AddRef() = 0;
  virtual Integer _Release() = 0;
  virtual bool BeginEdit() = 0;
  virtual bool CancelEdit() = 0;
  virtual bool EndEdit() = 0;
  virtual bool PrepareEdit(TBaseVastTree* Tree, PVastNode Node, TColumnIndex Column) = 0;
  virtual TRect GetBounds() = 0;
  virtual void SetBounds(TRect R) = 0;
  virtual void ProcessMessage(TMessage& Message) = 0;

protected:
  ~IVTEditLink() = default;
};

// The answer OnRenderOLEData starts with.
inline constexpr HRESULT VT_E_FAIL = static_cast<HRESULT>(static_cast<Integer>(0x80004005u));
