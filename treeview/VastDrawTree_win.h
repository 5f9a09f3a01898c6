#pragma once
// Windows only. The draw tree: a tree without texts of its own, whose owner
// paints every cell's content, gives each node's width and, by default,
// draws the hints. Rows, lines, buttons, check boxes, images and the
// selection are painted as in every tree.
#include <functional>

#include "treeview/VastTreeControl_win.h"
#include "treeview/VastTreeOptions.h"

using TVTDrawNodeEvent = std::function<void(TBaseVastTree* Sender, const TVTPaintInfo& PaintInfo)>;
using TVTGetCellContentMarginEvent =
    std::function<void(TBaseVastTree* Sender, TCanvas* HintCanvas, PVastNode Node, TColumnIndex Column,
                       TVTCellContentMarginType CellContentMarginType, TPoint& CellContentMargin)>;
using TVTGetNodeWidthEvent = std::function<void(TBaseVastTree* Sender, TCanvas* HintCanvas, PVastNode Node,
                                                TColumnIndex Column, Integer& NodeWidth)>;

class TCustomVastDrawTree : public TVastTreeControl {
public:
  explicit TCustomVastDrawTree(TComponent* AOwner);

  // The tree's own options object; assigning copies the given sets into it
  // (the object itself stays).
  TVastTreeOptions& TreeOptions() const;
  void SetTreeOptions(const TCustomVastTreeOptions& Value);

  // Its options are the published TVastTreeOptions.
  TVastTreeOptionsClass OptionsClass() const override { return &TCustomVastTreeOptions::Make<TVastTreeOptions>; }

  TVTDrawNodeEvent OnDrawNode;
  TVTGetCellContentMarginEvent OnGetCellContentMargin;
  TVTGetNodeWidthEvent OnGetNodeWidth;

protected:
  // (0, 0) unless OnGetCellContentMargin answers; the cell-paint handler
  // plays no part here.
  TPoint DoGetCellContentMargin(PVastNode Node, TColumnIndex Column,
                                TVTCellContentMarginType CellContentMarginType = ccmtAllSides,
                                TCanvas* Canvas = nullptr) override;
  // 2 x TextMargin unless OnGetNodeWidth answers.
  Integer DoGetNodeWidth(PVastNode Node, TColumnIndex Column, TCanvas* Canvas = nullptr) override;
  void DoPaintNode(TVTPaintInfo& PaintInfo) override;
  TVTHintKind DefaultHintKind() const override { return vhkOwnerDraw; }
};

// The draw tree as forms use it.
class TVastDrawTree : public TCustomVastDrawTree {
public:
  using TCustomVastDrawTree::TCustomVastDrawTree;
};
