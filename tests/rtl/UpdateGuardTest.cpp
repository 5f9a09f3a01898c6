#include "rtl/UpdateGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "rtl/StringList.h"

namespace {

// Counts its updates; EndUpdate may be told to raise, as a change handler can.
struct TCounter {
  int Depth = 0;
  int Ends = 0;
  bool EndRaises = false;
  void BeginUpdate() { ++Depth; }
  void EndUpdate() {
    --Depth;
    ++Ends;
    if (EndRaises) throw std::logic_error("from EndUpdate");
  }
};

TEST(UpdateGuard, EveryWayOutEndsTheUpdate) {
  TCounter c;
  { TUpdateGuard Update(c); }
  EXPECT_EQ(c.Depth, 0);

  // The body raises: the update ends and the body's exception goes on.
  EXPECT_THROW(
      {
        TUpdateGuard Update(c);
        throw std::runtime_error("from the body");
      },
      std::runtime_error);
  EXPECT_EQ(c.Depth, 0);

  // EndUpdate raises on a normal exit: the caller sees it.
  c.EndRaises = true;
  EXPECT_THROW({ TUpdateGuard Update(c); }, std::logic_error);
  EXPECT_EQ(c.Depth, 0);

  // Both raise: the body's exception is the one that leaves.
  EXPECT_THROW(
      {
        TUpdateGuard Update(c);
        throw std::runtime_error("from the body");
      },
      std::runtime_error);
  EXPECT_EQ(c.Depth, 0);
  EXPECT_EQ(c.Ends, 4);
}

// A guard told not to hold touches nothing, on any way out.
TEST(UpdateGuard, NotHoldingLeavesTheTargetAlone) {
  TCounter c;
  c.EndRaises = true;
  EXPECT_NO_THROW({ TUpdateGuard Update(c, false); });
  EXPECT_THROW(
      {
        TUpdateGuard Update(c, false);
        EXPECT_EQ(c.Depth, 0);
        throw std::runtime_error("from the body");
      },
      std::runtime_error);
  EXPECT_EQ(c.Depth, 0);
  EXPECT_EQ(c.Ends, 0);
}

// A string list whose change handler raises part-way through a bulk change
// still ends its update: later changes notify again.
TEST(UpdateGuard, StringListLeavesNoUpdatePending) {
  TStringList List;
  int Changes = 0;
  bool Raise = true;
  List.SetOnChange([&](TObject*) {
    ++Changes;
    if (Raise) throw std::runtime_error("handler");
  });
  const std::vector<String> Lines = {u"a", u"b"};
  EXPECT_THROW(List.AddStrings(Lines), std::runtime_error);
  Raise = false;
  List.Add(u"c");
  EXPECT_EQ(Changes, 2);
  EXPECT_EQ(List.Count(), 3);
}

}  // namespace
