#include "chart/drawing/win/VivIzudeGDIPlusApi.h"

#include <new>

HMODULE GdiplusLibrary = nullptr;
GdiplusStartupInput StartupInput;
ULONG_PTR StartupToken = 0;

namespace {
std::array<FARPROC, GdiplusEntryPointCount>& EntryPoints() {
  static std::array<FARPROC, GdiplusEntryPointCount> Points{};
  return Points;
}
TGdiPlusApi& Typed() {
  static TGdiPlusApi Api;
  return Api;
}
}  // namespace

const std::array<FARPROC, GdiplusEntryPointCount>& GdiplusEntryPoints() { return EntryPoints(); }
const TGdiPlusApi& VivGdiplusApi() { return Typed(); }

void BindGdiplusApi() {
  if (GdiplusLibrary) return;
  GdiplusLibrary = LoadLibraryW(L"gdiplus.dll");
  if (!GdiplusLibrary) return;
  for (std::size_t i = 0; i < GdiplusEntryPointCount; ++i)
    EntryPoints()[i] = GetProcAddress(GdiplusLibrary, GdiplusEntryPointNames[i]);
  Typed().BindFrom(GdiplusLibrary);
}

void UnbindGdiplusApi() {
  if (!GdiplusLibrary) return;
  Typed().UnbindAll();
  EntryPoints().fill(nullptr);
  FreeLibrary(GdiplusLibrary);
  GdiplusLibrary = nullptr;
}

void StartGdiplus() {
  StartupInput = GdiplusStartupInput{};
  StartupInput.GdiplusVersion = 1;
  StartupInput.DebugEventCallback = nullptr;
  StartupInput.SuppressBackgroundThread = FALSE;
  StartupInput.SuppressExternalCodecs = FALSE;
  // The status is not examined: a failed start-up leaves every later call
  // answering GDI+'s own failure.
  if (GdiplusLibrary) Typed().GdiplusStartup(&StartupToken, &StartupInput, nullptr);
}

void StopGdiplus() {
  if (GdiplusLibrary) Typed().GdiplusShutdown(StartupToken);
}

// ---------------------------------------------------------------- path data
TPathData::~TPathData() { Clear(); }

void TPathData::Clear() {
  delete[] Points;
  delete[] Types;
  Points = nullptr;
  Types = nullptr;
  Count = 0;
}

bool TPathData::Allocate(INT N) {
  Clear();
  Points = new (std::nothrow) GpPointF[static_cast<std::size_t>(N)];
  Types = new (std::nothrow) BYTE[static_cast<std::size_t>(N)];
  if (!Points || !Types) {
    Clear();
    return false;
  }
  Count = N;
  return true;
}

Status GetPathData(TGPGraphicsPath& Path, TPathData& Data) {
  const INT N = Path.GetPointCount();
  // Count is the path's: arrays of another size are made anew, since GDI+
  // copies as many points as the record says.
  if (Data.Count != N) Data.Clear();
  if (N <= 0) return Path.LastResult();
  if (Data.Count == 0 && !Data.Allocate(N)) return Path.KeepStatus(OutOfMemory);
  GpPathData Record{Data.Count, Data.Points, Data.Types};
  return Path.GetPathData(Record);
}
