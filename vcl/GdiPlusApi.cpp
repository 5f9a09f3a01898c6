#include "vcl/GdiPlusApi.h"

void TGdiPlusApi::Load() { BindFrom(LoadLibraryW(L"gdiplus.dll")); }

void TGdiPlusApi::BindFrom(HMODULE Library) {
  FLibrary = Library;
  FMissing.clear();
  const Status missing = FLibrary ? NotImplemented : GdiplusNotInitialized;
#define QUORVEL_GDIPLUS_BIND(Name, Result, Params)                       \
  {                                                                      \
    FARPROC proc = FLibrary ? GetProcAddress(FLibrary, #Name) : nullptr; \
    if (proc)                                                            \
      Name.Bind(proc, missing);                                          \
    else {                                                               \
      Name.Unbind(missing);                                              \
      if (FLibrary) FMissing.push_back(#Name);                           \
    }                                                                    \
  }
  QUORVEL_GDIPLUS_FUNCTIONS(QUORVEL_GDIPLUS_BIND)
#undef QUORVEL_GDIPLUS_BIND
}

void TGdiPlusApi::UnbindAll() {
  Unload();
  FLibrary = nullptr;
  FMissing.clear();
}

void TGdiPlusApi::Unload() {
#define QUORVEL_GDIPLUS_UNBIND(Name, Result, Params) Name.Unbind(GdiplusNotInitialized);
  QUORVEL_GDIPLUS_FUNCTIONS(QUORVEL_GDIPLUS_UNBIND)
#undef QUORVEL_GDIPLUS_UNBIND
  FStarted = false;
}

// The process's one start-up. GDI+ keeps its own background thread (its
// start-up is not told to suppress it), so nothing has to run GDI+'s
// notification hooks; the token is kept for the one shutdown at exit.
class TGdiPlusSession {
public:
  TGdiPlusSession() {
    FApi.Load();
    GdiplusStartupInput input;
    GdiplusStartupOutput output;
    FApi.FStartupStatus =
        FApi.GdiplusStartup.Bound() ? FApi.GdiplusStartup(&FToken, &input, &output) : GdiplusNotInitialized;
    FApi.FStarted = FApi.FStartupStatus == Ok;
    // Without a start-up nothing may be called: every entry answers
    // GdiplusNotInitialized.
    if (!FApi.FStarted) FApi.Unload();
  }
  ~TGdiPlusSession() {
    if (!FApi.FStarted) return;
    const auto shutdown = FApi.GdiplusShutdown;
    // Whatever is freed after this point answers instead of calling in.
    FApi.Unload();
    shutdown(FToken);
    // The library stays mapped: code running later in the exit may still
    // hold its entry points' addresses.
  }
  TGdiPlusSession(const TGdiPlusSession&) = delete;
  TGdiPlusSession& operator=(const TGdiPlusSession&) = delete;
  const TGdiPlusApi& Api() const { return FApi; }

private:
  TGdiPlusApi FApi;
  ULONG_PTR FToken = 0;
};

const TGdiPlusApi& GdiPlus() {
  static TGdiPlusSession session;
  return session.Api();
}

namespace {
thread_local const TGdiPlusApi* CurrentApi = nullptr;
}

const TGdiPlusApi& CurrentGdiPlusApi() { return CurrentApi ? *CurrentApi : GdiPlus(); }

TGdiPlusApiScope::TGdiPlusApiScope(const TGdiPlusApi& Api) : FPrevious(CurrentApi) { CurrentApi = &Api; }
TGdiPlusApiScope::~TGdiPlusApiScope() { CurrentApi = FPrevious; }
