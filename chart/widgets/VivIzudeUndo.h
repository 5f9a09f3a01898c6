#pragma once
// Undo and redo by whole-state snapshots: after each change the owner calls
// PushState with the action's name and the manager keeps the object's
// complete settings as a JSON document. Undo and redo load an earlier or
// later snapshot back into the object.
#include <memory>
#include <vector>

#include "chart/widgets/VivIzudePersistence.h"
#include "rtl/Streams.h"
#include "rtl/Types.h"

class TVivIzudeUndoStackItem : public TObject {
public:
  TVivIzudeUndoStackItem() : FState(std::make_unique<TBytesStream>()) {}
  const String& ActionName() const { return FActionName; }
  void SetActionName(const String& Value) { FActionName = Value; }
  TBytesStream* State() const { return FState.get(); }
  // Free for the owner's use; the manager neither sets nor reads it.
  TObject* Obj() const { return FObj; }
  void SetObj(TObject* Value) { FObj = Value; }

private:
  String FActionName;
  std::unique_ptr<TBytesStream> FState;
  TObject* FObj = nullptr;  // not owned
};

class TVivIzudeUndoManager : public TObject {
public:
  // AObject is not owned and must outlive the manager's use of it.
  explicit TVivIzudeUndoManager(TObject* AObject) : FObject(AObject) {}

  // Records the present state as the result of the named action. When the
  // snapshot fails, the stack is as it was and the error passes on.
  void PushState(const String& AActionName);
  void Undo();
  void Redo();
  bool CanUndo() const { return Count() > 0 && FCurrent >= 1; }
  bool CanRedo() const { return Count() > 0 && FCurrent < Count() - 1; }
  String NextUndoAction() const;
  String NextRedoAction() const;
  // Leaves exactly one snapshot: the present state.
  void ClearUndoStack();
  TVivIzudeUndoStackItem* GetStackItem(Integer Index) const;

  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  Integer Current() const { return FCurrent; }
  Integer MaxStackCount() const { return FMaxStackCount; }
  void SetMaxStackCount(Integer Value) { FMaxStackCount = Value; }

private:
  std::vector<std::unique_ptr<TVivIzudeUndoStackItem>> FItems;  // item 0 is the oldest
  Integer FCurrent = -1;
  TObject* FObject;  // not owned
  Integer FMaxStackCount = 20;

  void Snapshot(TStream* AStream);
  void Restore(TStream* AStream);
};
