#pragma once
// What the tree core asks of its header, and a column-less stand-in.
#include "treeview/VastTreeTypes.h"

// What the core asks of the header and its columns. The header unit
// implements it; TVTHeaderStub stands in until a header is attached.
class IVastTreeHeader {
public:
  virtual ~IVastTreeHeader() = default;
  virtual TColumnIndex SortColumn() const = 0;
  virtual TSortDirection SortDirection() const = 0;
  // NoColumn when the header has no columns.
  virtual TColumnIndex MainColumn() const = 0;
  virtual bool UseColumns() const = 0;
  virtual Integer ColumnCount() const = 0;
  virtual bool IsValidColumn(TColumnIndex Column) const = 0;
  virtual bool ColumnIsVisible(TColumnIndex Column) const = 0;
  // Whether the column may take the focus (coAllowFocus); NoColumn may.
  virtual bool AllowFocus(TColumnIndex Column) const = 0;
  // The first visible column that allows focus, or NoColumn.
  virtual TColumnIndex FirstVisibleFocusableColumn() const = 0;
  // Whether the column keeps its place when scrolling (coFixed).
  virtual bool ColumnIsFixed(TColumnIndex Column) const = 0;
};

// A header without columns whose sort column and direction can be set.
class TVTHeaderStub : public IVastTreeHeader {
public:
  TColumnIndex SortColumn() const override { return FSortColumn; }
  TSortDirection SortDirection() const override { return FSortDirection; }
  TColumnIndex MainColumn() const override { return NoColumn; }
  bool UseColumns() const override { return false; }
  Integer ColumnCount() const override { return 0; }
  bool IsValidColumn(TColumnIndex) const override { return false; }
  bool ColumnIsVisible(TColumnIndex) const override { return false; }
  bool AllowFocus(TColumnIndex Column) const override { return Column == NoColumn; }
  TColumnIndex FirstVisibleFocusableColumn() const override { return NoColumn; }
  bool ColumnIsFixed(TColumnIndex) const override { return false; }
  void SetSortColumn(TColumnIndex Value) { FSortColumn = Value; }
  void SetSortDirection(TSortDirection Value) { FSortDirection = Value; }

private:
  TColumnIndex FSortColumn = NoColumn;
  TSortDirection FSortDirection = sdAscending;
};
