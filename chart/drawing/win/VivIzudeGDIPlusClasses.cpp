#include "chart/drawing/win/VivIzudeGDIPlusClasses.h"

bool VivGdiplusInLibrary() {
  HMODULE Self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&VivGdiplusInLibrary), &Self);
  return Self != GetModuleHandleW(nullptr);
}

namespace {
// The binding unit, made before and so finalised after this one.
struct TBindingUnit {
  TBindingUnit() { BindGdiplusApi(); }
  ~TBindingUnit() { UnbindGdiplusApi(); }
};
void EnsureBound() { static TBindingUnit Unit; }

struct TClassesUnit {
  bool Started = false;
  TClassesUnit() {
    EnsureBound();
    if (!VivGdiplusInLibrary()) {
      StartGdiplus();
      Started = GdiplusLibrary != nullptr;
    }
  }
  ~TClassesUnit() {
    FreeGdiplusGenericObjects(VivGdiplusApi());
    if (!VivGdiplusInLibrary()) StopGdiplus();
  }
};
TClassesUnit ClassesUnit;
}  // namespace

bool VivGdiplusStarted() { return ClassesUnit.Started; }
