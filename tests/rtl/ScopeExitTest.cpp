#include "rtl/ScopeExit.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ScopeExit, RunsOnEveryWayOutAndKeepsTheFirstError) {
  int Runs = 0;
  {
    const TScopeExit Done([&] { ++Runs; });
  }
  EXPECT_EQ(Runs, 1);
  EXPECT_THROW(
      {
        const TScopeExit Done([&] { ++Runs; });
        throw std::runtime_error("body");
      },
      std::runtime_error);
  EXPECT_EQ(Runs, 2);
  // The action's own exception reaches the caller on a normal exit...
  EXPECT_THROW({ const TScopeExit Done([&] { throw std::logic_error("action"); }); }, std::logic_error);
  // ...and gives way to one already leaving the scope.
  EXPECT_THROW(
      {
        const TScopeExit Done([&] { throw std::logic_error("action"); });
        throw std::runtime_error("body");
      },
      std::runtime_error);
}

}  // namespace
