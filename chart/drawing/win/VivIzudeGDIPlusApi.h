#pragma once
// The chart drawing layer's own binding of the GDI+ flat API: gdiplus.dll
// loaded by name when the program starts, every entry point looked up by its
// name, and the layer's own GDI+ start-up token. Nothing here imports GDI+,
// so a system without the library runs on; only the layer's GDI+ drawing
// needs it. The records, enumerations and entry-point signatures are the
// program's one table (vcl/GdiPlusApi.h); the wrapper classes are the one
// family of the chart view (chart/view/VivIzudeGDIP.h), driven through this
// binding inside a TVivGdiplusScope.
#include <array>

#include "chart/view/VivIzudeGDIP.h"
#include "vcl/GdiPlusApi.h"

// ---------------------------------------------------------------- binding state
// The loaded library; nullptr while unloaded.
extern HMODULE GdiplusLibrary;
extern GdiplusStartupInput StartupInput;
extern ULONG_PTR StartupToken;

// Every entry point of the flat API, by name, in binding order.
inline constexpr const char* GdiplusEntryPointNames[] = {
#define QUORVEL_GDIPLUS_NAME(Name) #Name,
    QUORVEL_GDIPLUS_ENTRY_NAMES(QUORVEL_GDIPLUS_NAME)
#undef QUORVEL_GDIPLUS_NAME
};
inline constexpr std::size_t GdiplusEntryPointCount = std::size(GdiplusEntryPointNames);

// The address each name was bound to (nullptr when the library lacks it or
// is not loaded), in the order of GdiplusEntryPointNames.
const std::array<FARPROC, GdiplusEntryPointCount>& GdiplusEntryPoints();
// The typed entry points the wrapper classes call, bound from the same
// library; without it every call answers GdiplusNotInitialized.
const TGdiPlusApi& VivGdiplusApi();

// Loads "gdiplus.dll" and looks every entry point up; without the library
// nothing is bound and nothing is reported. Run once at start-up.
void BindGdiplusApi();
// Frees the library and empties every entry point; nothing when unloaded.
void UnbindGdiplusApi();
// GDI+ version 1 with the layer's own token; only when the library loaded.
void StartGdiplus();
void StopGdiplus();

// Wrapper objects made inside this scope call through the layer's binding.
class TVivGdiplusScope : public TGdiPlusApiScope {
public:
  TVivGdiplusScope() : TGdiPlusApiScope(VivGdiplusApi()) {}
};

// ---------------------------------------------------------------- values
// A path's points and point types, laid out from Count on as the flat API's
// path data record (count, points, types). Owns both arrays.
class TPathData {
public:
  TPathData() = default;
  ~TPathData();
  TPathData(const TPathData&) = delete;
  TPathData& operator=(const TPathData&) = delete;
  INT Count = 0;
  GpPointF* Points = nullptr;
  BYTE* Types = nullptr;
  // Empties the holder, freeing both arrays.
  void Clear();
  // Gives the holder arrays for N points (N > 0); false without memory,
  // leaving it empty.
  bool Allocate(INT N);
};

constexpr TGPRectF MakeRect(REAL X, REAL Y, REAL Width, REAL Height) { return {X, Y, Width, Height}; }

// The path's point data into Data (reused when its arrays are large
// enough): the path's kept status for an empty path, OutOfMemory without
// memory, else the call's status (kept as usual).
Status GetPathData(TGPGraphicsPath& Path, TPathData& Data);
