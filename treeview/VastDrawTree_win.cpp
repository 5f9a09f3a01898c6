#include "treeview/VastDrawTree_win.h"

#include <memory>

TCustomVastDrawTree::TCustomVastDrawTree(TComponent* AOwner) : TVastTreeControl(AOwner) { ApplyPartClasses(); }

TVastTreeOptions& TCustomVastDrawTree::TreeOptions() const {
  // Raises when a descendant put an options object of another class in.
  return dynamic_cast<TVastTreeOptions&>(TVastTreeControl::TreeOptions());
}

void TCustomVastDrawTree::SetTreeOptions(const TCustomVastTreeOptions& Value) {
  TCustomVastTreeOptions& Own = TVastTreeControl::TreeOptions();
  if (&Value != &Own) Value.AssignTo(Own);
}

TPoint TCustomVastDrawTree::DoGetCellContentMargin(PVastNode Node, TColumnIndex Column,
                                                   TVTCellContentMarginType CellContentMarginType, TCanvas* Canvas) {
  TPoint Result{0, 0};
  if (!Canvas) Canvas = TCustomControl::Canvas();
  if (OnGetCellContentMargin) OnGetCellContentMargin(this, Canvas, Node, Column, CellContentMarginType, Result);
  return Result;
}

Integer TCustomVastDrawTree::DoGetNodeWidth(PVastNode Node, TColumnIndex Column, TCanvas* Canvas) {
  Integer Result = 2 * TextMargin();
  if (!Canvas) Canvas = TCustomControl::Canvas();
  if (OnGetNodeWidth) OnGetNodeWidth(this, Canvas, Node, Column, Result);
  return Result;
}

void TCustomVastDrawTree::DoPaintNode(TVTPaintInfo& PaintInfo) {
  if (OnDrawNode) OnDrawNode(this, PaintInfo);
}
