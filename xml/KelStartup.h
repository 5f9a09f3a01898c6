#pragma once
// Start-up and shutdown of the XML library's units, in their fixed order.
// The program runs KelUnitsInitialize before it creates its forms and
// KelUnitsFinalize at exit; every step also runs lazily on first use, so
// tests and tools that skip these calls still work.
#include <vector>

#include "rtl/Types.h"

// In start-up order.
enum TKelStartupStep {
  ksAnsiDefaultChar,      // the ANSI code page's default character
  ksAnsiCharTables,       // ANSI character types, then the ANSI case map
  ksUnicodeCategoryLock,  // the lock of the Unicode category loader
  ksWideCharTables,       // wide character types, then the wide case map
  ksWindowsVersion,       // DetectWindowsVersion
  ksTypeDescriptionList,  // the registry of generated type descriptions
};

// Runs the steps once, in order; later calls do nothing.
void KelUnitsInitialize();
// Runs the shutdown steps in reverse order: releases every type description.
// The character and category tables live until the process ends.
void KelUnitsFinalize();
// The steps KelUnitsInitialize has run, in the order they ran.
std::vector<TKelStartupStep> KelStartupSteps();
