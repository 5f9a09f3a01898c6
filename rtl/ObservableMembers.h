#pragma once
// The class library's data-binding registry, as far as this program uses
// it: a control class names the property that holds its observable value,
// for one binding framework ("VCL"). A class registers at start-up and
// removes its registration at exit; nothing here reads the property.
// Registration runs on the main thread during start and exit only.
#include "rtl/Types.h"

class TObservableMembers {
public:
  TObservableMembers() = delete;
  // Replaces an earlier registration of the same class and framework.
  static void RegisterValuePropertyName(const String& AClassName, const String& APropertyName,
                                        const String& AFrameworkName);
  // Removes the class's registrations for every framework; nothing when none.
  static void UnregisterValuePropertyName(const String& AClassName);
  // The registered property, or "" when the class has none for the framework.
  static String ValuePropertyName(const String& AClassName, const String& AFrameworkName);
  static bool IsRegistered(const String& AClassName, const String& AFrameworkName) {
    return !ValuePropertyName(AClassName, AFrameworkName).empty();
  }
};
