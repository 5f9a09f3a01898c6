#include "chart/widgets/VivIzudeUndo.h"

#include <gtest/gtest.h>

namespace {

class TCounter : public TObject {
public:
  Integer Value = 0;
};

// Saving fails while Child holds an object of a class nobody registered.
class TFragile : public TObject {
public:
  Integer Value = 0;
  TObject* Child = nullptr;
};
class TUnregistered : public TObject {};

void RegisterUndoClasses() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  VivIzudeRegisterClass<TCounter>(u"TUndoCounter").Field(u"Value", &TCounter::Value);
  VivIzudeRegisterClass<TFragile>(u"TUndoFragile").Field(u"Value", &TFragile::Value).Object(u"Child", &TFragile::Child);
}

class Undo : public ::testing::Test {
protected:
  void SetUp() override { RegisterUndoClasses(); }
  TCounter Obj;
  TVivIzudeUndoManager M{&Obj};

  void Change(Integer V, const String& Name) {
    Obj.Value = V;
    M.PushState(Name);
  }
};

TEST_F(Undo, FreshManagerDoesNothing) {
  EXPECT_FALSE(M.CanUndo());
  EXPECT_FALSE(M.CanRedo());
  EXPECT_EQ(M.NextUndoAction(), u"");
  EXPECT_EQ(M.NextRedoAction(), u"");
  Obj.Value = 5;
  M.Undo();
  M.Redo();
  EXPECT_EQ(Obj.Value, 5);
  EXPECT_EQ(M.Current(), -1);
  EXPECT_EQ(M.GetStackItem(0), nullptr);
  EXPECT_EQ(M.MaxStackCount(), 20);
}

TEST_F(Undo, UndoAndRedoWalkTheSnapshots) {
  Obj.Value = 1;
  M.ClearUndoStack();
  EXPECT_EQ(M.Count(), 1);
  EXPECT_EQ(M.Current(), 0);
  EXPECT_FALSE(M.CanUndo());
  Change(2, u"A");
  Change(3, u"B");
  EXPECT_TRUE(M.CanUndo());
  EXPECT_EQ(M.NextUndoAction(), u"B");
  M.Undo();
  EXPECT_EQ(Obj.Value, 2);
  EXPECT_TRUE(M.CanRedo());
  EXPECT_EQ(M.NextRedoAction(), u"B");
  EXPECT_EQ(M.NextUndoAction(), u"A");
  M.Undo();
  EXPECT_EQ(Obj.Value, 1);
  EXPECT_FALSE(M.CanUndo());
  EXPECT_EQ(M.NextRedoAction(), u"A");
  M.Undo();  // nothing below the starting state
  EXPECT_EQ(Obj.Value, 1);
  M.Redo();
  M.Redo();
  EXPECT_EQ(Obj.Value, 3);
  EXPECT_FALSE(M.CanRedo());
  M.Redo();
  EXPECT_EQ(M.Current(), 2);
  // A push after an undo drops the undone step for good.
  M.Undo();
  Change(7, u"C");
  EXPECT_FALSE(M.CanRedo());
  EXPECT_EQ(M.Count(), 3);
  M.Undo();
  EXPECT_EQ(Obj.Value, 2);
  EXPECT_EQ(M.NextRedoAction(), u"C");
}

TEST_F(Undo, StackIsCappedAtMaxStackCount) {
  for (Integer I = 1; I <= 25; ++I) Change(I, u"step");
  EXPECT_EQ(M.Count(), 20);
  EXPECT_EQ(M.Current(), 19);
  for (int I = 0; I < 30; ++I) M.Undo();
  EXPECT_EQ(Obj.Value, 6);  // the oldest kept snapshot

  TCounter Other;
  TVivIzudeUndoManager Zero(&Other);
  Zero.SetMaxStackCount(0);
  Zero.PushState(u"x");
  EXPECT_EQ(Zero.Count(), 0);
  EXPECT_EQ(Zero.Current(), -1);
  EXPECT_FALSE(Zero.CanUndo());
}

TEST(UndoFailure, FailedSnapshotLeavesNoBrokenItemAndKeepsTheRedoTail) {
  RegisterUndoClasses();
  TFragile F;
  TUnregistered Bad;
  TVivIzudeUndoManager M(&F);
  M.ClearUndoStack();
  F.Value = 1;
  M.PushState(u"one");
  M.Undo();
  F.Child = &Bad;
  EXPECT_THROW(M.PushState(u"two"), EVivIzudeReaderException);
  EXPECT_EQ(M.Count(), 2);
  EXPECT_EQ(M.Current(), 0);
  EXPECT_EQ(M.NextRedoAction(), u"one");
  F.Child = nullptr;
  M.Redo();
  EXPECT_EQ(F.Value, 1);
  for (Integer I = 0; I < M.Count(); ++I) EXPECT_GT(M.GetStackItem(I)->State()->Size(), 0);
  // Clearing with a failing snapshot keeps the history too.
  F.Child = &Bad;
  EXPECT_THROW(M.ClearUndoStack(), EVivIzudeReaderException);
  EXPECT_EQ(M.Count(), 2);
  EXPECT_EQ(M.Current(), 1);
  F.Child = nullptr;
}

TEST_F(Undo, FailedRestoreKeepsCurrent) {
  M.ClearUndoStack();
  Change(4, u"A");
  // Corrupt the older snapshot: the restore fails, the object and the index stay.
  TBytesStream* S = M.GetStackItem(0)->State();
  S->SetSize(0);
  S->WriteBuffer("{\"$type\":\"TUndoCounter\",\"Value\":", 33);
  EXPECT_THROW(M.Undo(), Exception);
  EXPECT_EQ(M.Current(), 1);
  EXPECT_EQ(Obj.Value, 4);
}

}  // namespace
