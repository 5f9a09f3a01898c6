#include "xml/KelStartup.h"

#include <mutex>

#include "xml/KelStringConversions.h"
#include "xml/KelSysUtils.h"
#include "xml/KelWinVersion.h"

namespace {

std::once_flag Initialized;
std::vector<TKelStartupStep> StepsRun;

}  // namespace

void KelUnitsInitialize() {
  std::call_once(Initialized, [] {
    AnsiDefaultChar();
    StepsRun.push_back(ksAnsiDefaultChar);
    FillAnsiCharTables();
    StepsRun.push_back(ksAnsiCharTables);
    // The category loader's lock is a constant-initialised mutex: it exists
    // before any code runs, so this step has nothing left to create.
    StepsRun.push_back(ksUnicodeCategoryLock);
    FillWideCharTables();
    StepsRun.push_back(ksWideCharTables);
    DetectWindowsVersion();
    StepsRun.push_back(ksWindowsVersion);
    TypeDescriptionCount();  // creates the list
    StepsRun.push_back(ksTypeDescriptionList);
  });
}

void KelUnitsFinalize() { ReleaseAllTypeDescriptions(); }

std::vector<TKelStartupStep> KelStartupSteps() { return StepsRun; }
