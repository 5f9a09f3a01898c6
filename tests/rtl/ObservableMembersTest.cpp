// The data-binding registry: one value property per class and framework.
#include <gtest/gtest.h>

#include "rtl/ObservableMembers.h"

TEST(ObservableMembers, ARegistrationIsFoundForItsFrameworkOnlyAndRemovedWhole) {
  EXPECT_FALSE(TObservableMembers::IsRegistered(u"TSomeEdit", u"VCL"));
  TObservableMembers::RegisterValuePropertyName(u"TSomeEdit", u"Caption", u"VCL");
  TObservableMembers::RegisterValuePropertyName(u"TSomeEdit", u"Text", u"VCL");  // replaces
  TObservableMembers::RegisterValuePropertyName(u"TSomeEdit", u"Value", u"Other");
  TObservableMembers::RegisterValuePropertyName(u"TOtherEdit", u"Text", u"VCL");
  EXPECT_EQ(TObservableMembers::ValuePropertyName(u"TSomeEdit", u"VCL"), u"Text");
  EXPECT_EQ(TObservableMembers::ValuePropertyName(u"TSomeEdit", u"Other"), u"Value");
  EXPECT_EQ(TObservableMembers::ValuePropertyName(u"TSomeEdit", u"FMX"), u"");

  TObservableMembers::UnregisterValuePropertyName(u"TSomeEdit");
  EXPECT_FALSE(TObservableMembers::IsRegistered(u"TSomeEdit", u"VCL"));
  EXPECT_FALSE(TObservableMembers::IsRegistered(u"TSomeEdit", u"Other"));
  EXPECT_TRUE(TObservableMembers::IsRegistered(u"TOtherEdit", u"VCL"));  // others stay
  TObservableMembers::UnregisterValuePropertyName(u"TSomeEdit");         // again: nothing
  TObservableMembers::UnregisterValuePropertyName(u"TOtherEdit");
  EXPECT_FALSE(TObservableMembers::IsRegistered(u"TOtherEdit", u"VCL"));
}
