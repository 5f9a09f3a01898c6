#pragma once
// The node record of the vast tree view and its state sets.
#include <vector>

#include "rtl/Set.h"
#include "rtl/Types.h"

enum TVastNodeState : Byte {
  vsInitialized,
  vsChecking,
  vsCutOrCopy,
  vsDisabled,
  vsDeleting,
  vsExpanded,
  vsHasChildren,
  vsVisible,
  vsSelected,
  vsOnFreeNodeCallRequired,
  vsAllChildrenHidden,
  vsReleaseCallOnUserDataRequired,
  vsMultiline,
  vsHeightMeasured,
  vsToggling,
  vsFiltered,
  vsInitializing
};
using TVastNodeStates = TSet<TVastNodeState, Cardinal>;

enum TVastNodeInitState : Byte {
  ivsDisabled,
  ivsExpanded,
  ivsHasChildren,
  ivsMultiline,
  ivsSelected,
  ivsFiltered,
  ivsReInit
};
using TVastNodeInitStates = TSet<TVastNodeInitState, Byte>;

enum TCheckState : Byte {
  csUncheckedNormal,
  csUncheckedPressed,
  csCheckedNormal,
  csCheckedPressed,
  csMixedNormal,
  csMixedPressed,
  csUncheckedDisabled,
  csCheckedDisabled,
  csMixedDisabled
};
enum TCheckType : Byte { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };

// A reference-counted object that a node's user data may hold; the node
// keeps one reference and drops it when it is freed.
class IInterface {
public:
  virtual Integer _AddRef() = 0;
  virtual Integer _Release() = 0;

protected:
  ~IInterface() = default;
};

struct TVastNode;
using PVastNode = TVastNode*;

// The node header. The user data area follows it directly in the same block
// (at sizeof(TVastNode), which keeps it pointer-aligned on every target);
// the internal areas of descendant classes follow the user data.
struct TVastNode {
  Cardinal Index;
  Cardinal ChildCount;
  Word NodeHeight;
  TVastNodeStates States;
  Byte Align;
  TCheckState CheckState;
  TCheckType CheckType;
  Byte Dummy;
  Cardinal TotalCount;
  Cardinal TotalHeight;
  PVastNode Parent;
  PVastNode PrevSibling;
  PVastNode NextSibling;
  PVastNode FirstChild;
  PVastNode LastChild;

  // The user data area, without any check; marks the node for OnFreeNode.
  void* GetData() noexcept {
    States.Include(vsOnFreeNodeCallRequired);
    return reinterpret_cast<Byte*>(this) + sizeof(TVastNode);
  }
  template <class T>
  T* GetData() noexcept {
    return static_cast<T*>(GetData());
  }
  void SetData(void* UserData) noexcept;
  void SetData(IInterface* UserData) noexcept;
  // The interface stored in the user data; nil for a nil node.
  static IInterface* GetInterfaceFromNodeData(PVastNode Node) noexcept;
};

using TNodeArray = std::vector<PVastNode>;
