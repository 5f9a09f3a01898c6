#pragma once
// Range-for enumeration of node sets (all, visible, selected, ...).
#include <cstddef>

#include "treeview/VastTreeNode.h"

class TBaseVastTree;

// For-each enumeration of node sets.

enum TVZVastNodeEnumerationMode : Byte {
  vneAll,
  vneChecked,
  vneChild,
  vneCutCopy,
  vneInitialized,
  vneLeaf,
  vneLevel,
  vneNoInit,
  vneSelected,
  vneVisible,
  vneVisibleChild,
  vneVisibleNoInitChild,
  vneVisibleNoInit
};

struct TVTVastNodeEnumeration;

struct TVTVastNodeEnumerator {
  PVastNode FNode = nullptr;
  bool FCanMoveNext = true;
  const TVTVastNodeEnumeration* FEnumeration = nullptr;

  bool MoveNext();
  PVastNode Current() const { return FNode; }
  // Range-for support.
  PVastNode operator*() const { return FNode; }
  TVTVastNodeEnumerator& operator++() {
    MoveNext();
    return *this;
  }
  bool operator!=(std::nullptr_t) const { return FNode != nullptr; }
};

struct TVTVastNodeEnumeration {
  TVZVastNodeEnumerationMode FMode = vneAll;
  TBaseVastTree* FTree = nullptr;
  bool FConsiderChildrenAbove = false;
  PVastNode FNode = nullptr;
  Cardinal FNodeLevel = 0;
  TCheckState FState = csUncheckedNormal;
  bool FIncludeFiltered = false;

  TVTVastNodeEnumerator GetEnumerator() const { return TVTVastNodeEnumerator{nullptr, true, this}; }
  TVTVastNodeEnumerator begin() const {
    TVTVastNodeEnumerator E = GetEnumerator();
    E.MoveNext();
    return E;
  }
  std::nullptr_t end() const { return nullptr; }
};

// ---------------------------------------------------------------------------
