#pragma once
#include <memory>
// The five option sets of a tree, their defaults and the options object.
#include "rtl/Set.h"
#include "rtl/Types.h"

class TBaseVastTree;

enum TVTPaintOption : Byte {
  toHideFocusRect,
  toHideSelection,
  toHotTrack,
  toPopupMode,
  toShowBackground,
  toShowButtons,
  toShowDropmark,
  toShowHorzGridLines,
  toShowRoot,
  toShowTreeLines,
  toShowVertGridLines,
  toThemeAware,
  toUseBlendedImages,
  toGhostedIfUnfocused,
  toFullVertGridLines,
  toAlwaysHideSelection,
  toUseBlendedSelection,
  toStaticBackground,
  toChildrenAbove,
  toFixedIndent,
  toUseExplorerTheme,
  toHideTreeLinesIfThemed,
  toShowFilteredNodes
};
using TVTPaintOptions = TSet<TVTPaintOption, Cardinal>;
enum TVTAnimationOption : Byte { toAnimatedToggle, toAdvancedAnimatedToggle };
using TVTAnimationOptions = TSet<TVTAnimationOption, Byte>;
enum TVTAutoOption : Byte {
  toAutoDropExpand,
  toAutoExpand,
  toAutoScroll,
  toAutoScrollOnExpand,
  toAutoSort,
  toAutoSpanColumns,
  toAutoTristateTracking,
  toAutoHideButtons,
  toAutoDeleteMovedNodes,
  toDisableAutoscrollOnFocus,
  toAutoChangeScale,
  toAutoFreeOnCollapse,
  toDisableAutoscrollOnEdit,
  toAutoBidiColumnOrdering
};
using TVTAutoOptions = TSet<TVTAutoOption, Word>;
enum TVTSelectionOption : Byte {
  toDisableDrawSelection,
  toExtendedFocus,
  toFullRowSelect,
  toLevelSelectConstraint,
  toMiddleClickSelect,
  toMultiSelect,
  toRightClickSelect,
  toSiblingSelectConstraint,
  toCenterScrollIntoView,
  toSimpleDrawSelection,
  toAlwaysSelectNode,
  toRestoreSelection,
  toSyncCheckboxesWithSelection
};
using TVTSelectionOptions = TSet<TVTSelectionOption, Word>;
enum TVTMiscOption : Byte {
  toAcceptOLEDrop,
  toCheckSupport,
  toEditable,
  toFullRepaintOnResize,
  toGridExtensions,
  toInitOnSave,
  toReportMode,
  toToggleOnDblClick,
  toWheelPanning,
  toReadOnly,
  toVariableNodeHeight,
  toFullRowDrag,
  toNodeHeightResize,
  toNodeHeightDblClickResize,
  toEditOnClick,
  toEditOnDblClick,
  toReverseFullExpandHotKey
};
using TVTMiscOptions = TSet<TVTMiscOption, Cardinal>;
enum TVTExportMode : Byte { emAll, emChecked, emUnchecked, emVisibleDueToExpansion, emSelected };
enum TVTEditOptions : Byte { toDefaultEdit, toVerticalEdit, toHorizontalEdit };

inline constexpr TVTPaintOptions DefaultPaintOptions{toShowButtons,   toShowDropmark, toShowRoot,
                                                     toShowTreeLines, toThemeAware,   toUseBlendedImages};
inline constexpr TVTAnimationOptions DefaultAnimationOptions{};
inline constexpr TVTAutoOptions DefaultAutoOptions{toAutoDropExpand,       toAutoScrollOnExpand,   toAutoSort,
                                                   toAutoTristateTracking, toAutoDeleteMovedNodes, toAutoChangeScale};
inline constexpr TVTSelectionOptions DefaultSelectionOptions{};
inline constexpr TVTMiscOptions DefaultMiscOptions{toAcceptOLEDrop,    toFullRepaintOnResize, toInitOnSave,
                                                   toToggleOnDblClick, toWheelPanning,        toEditOnClick};

// The option sets of a tree. The setters apply the model side of each
// change to the owning tree; window-only effects (drop registration, themes,
// window re-creation) belong to the window layer.
class TCustomVastTreeOptions : public TObject {
  friend class TBaseVastTree;

public:
  explicit TCustomVastTreeOptions(TBaseVastTree* AOwner);

  TVTPaintOptions PaintOptions() const { return FPaintOptions; }
  void SetPaintOptions(TVTPaintOptions Value);
  TVTAnimationOptions AnimationOptions() const { return FAnimationOptions; }
  void SetAnimationOptions(TVTAnimationOptions Value);
  TVTAutoOptions AutoOptions() const { return FAutoOptions; }
  void SetAutoOptions(TVTAutoOptions Value);
  TVTSelectionOptions SelectionOptions() const { return FSelectionOptions; }
  void SetSelectionOptions(TVTSelectionOptions Value);
  TVTMiscOptions MiscOptions() const { return FMiscOptions; }
  void SetMiscOptions(TVTMiscOptions Value);
  TVTExportMode ExportMode() const { return FExportMode; }
  void SetExportMode(TVTExportMode Value) { FExportMode = Value; }
  TVTEditOptions EditOptions() const { return FEditOptions; }
  void SetEditOptions(TVTEditOptions Value) { FEditOptions = Value; }
  TBaseVastTree* Owner() const { return FOwner; }

  // Copies the five option sets through Dest's setters.
  virtual void AssignTo(TCustomVastTreeOptions& Dest) const;
  // Makes an options object of class T for Owner: what a tree's
  // OptionsClass returns (&TCustomVastTreeOptions::Make<T>).
  template <class T>
  static std::unique_ptr<TCustomVastTreeOptions> Make(TBaseVastTree* Owner) {
    return std::make_unique<T>(Owner);
  }

private:
  TBaseVastTree* FOwner;  // not owned: the tree owns its options
  TVTPaintOptions FPaintOptions = DefaultPaintOptions;
  TVTAnimationOptions FAnimationOptions = DefaultAnimationOptions;
  TVTAutoOptions FAutoOptions = DefaultAutoOptions;
  TVTSelectionOptions FSelectionOptions = DefaultSelectionOptions;
  TVTMiscOptions FMiscOptions = DefaultMiscOptions;
  TVTExportMode FExportMode = emAll;
  TVTEditOptions FEditOptions = toDefaultEdit;
};

// The option sets as a published tree shows them (the draw tree's class).
class TVastTreeOptions : public TCustomVastTreeOptions {
public:
  using TCustomVastTreeOptions::TCustomVastTreeOptions;
};
