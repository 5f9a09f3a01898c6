#include "chart/widgets/VivIzudeUndo.h"

void TVivIzudeUndoManager::Snapshot(TStream* AStream) {
  if (auto* P = dynamic_cast<IVivIzudePersistence*>(FObject))
    P->SaveSettingsToStream(AStream);
  else
    TVivIzudePersistence::SaveSettingsToStream(FObject, AStream);
}

void TVivIzudeUndoManager::Restore(TStream* AStream) {
  AStream->SetPosition(0);
  if (auto* P = dynamic_cast<IVivIzudePersistence*>(FObject))
    P->LoadSettingsFromStream(AStream);
  else
    TVivIzudePersistence::LoadSettingsFromStream(FObject, AStream);
}

void TVivIzudeUndoManager::PushState(const String& AActionName) {
  // The snapshot is taken before anything changes, so that a failure leaves
  // neither a broken item nor a lost redo tail.
  auto Item = std::make_unique<TVivIzudeUndoStackItem>();
  Item->SetActionName(AActionName);
  Snapshot(Item->State());
  FItems.resize(static_cast<std::size_t>(FCurrent + 1));
  FItems.push_back(std::move(Item));
  ++FCurrent;
  if (Count() > FMaxStackCount) {
    FItems.erase(FItems.begin());
    --FCurrent;
  }
}

void TVivIzudeUndoManager::Undo() {
  if (FCurrent > 0) {
    Restore(FItems[static_cast<std::size_t>(FCurrent - 1)]->State());
    --FCurrent;
  }
}

void TVivIzudeUndoManager::Redo() {
  if (FCurrent < Count() - 1) {
    Restore(FItems[static_cast<std::size_t>(FCurrent + 1)]->State());
    ++FCurrent;
  }
}

String TVivIzudeUndoManager::NextUndoAction() const {
  return FCurrent >= 0 && FCurrent < Count() ? FItems[static_cast<std::size_t>(FCurrent)]->ActionName() : String();
}

String TVivIzudeUndoManager::NextRedoAction() const {
  return FCurrent >= -1 && FCurrent < Count() - 1 ? FItems[static_cast<std::size_t>(FCurrent + 1)]->ActionName()
                                                  : String();
}

void TVivIzudeUndoManager::ClearUndoStack() {
  // The new first state is taken before the history goes: a failing
  // snapshot leaves the history as it was.
  auto Item = std::make_unique<TVivIzudeUndoStackItem>();
  Snapshot(Item->State());
  FItems.clear();
  FItems.push_back(std::move(Item));
  FCurrent = 0;
  if (Count() > FMaxStackCount) {
    FItems.clear();
    FCurrent = -1;
  }
}

TVivIzudeUndoStackItem* TVivIzudeUndoManager::GetStackItem(Integer Index) const {
  return Index >= 0 && Index < Count() ? FItems[static_cast<std::size_t>(Index)].get() : nullptr;
}
