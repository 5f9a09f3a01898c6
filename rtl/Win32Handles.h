#pragma once
// Owners of Windows handles, for every Windows-side file (docs/LAYERS.md).
// Each frees its handle exactly once, on every way out of a scope,
// exceptions included; copying is deleted and moving hands the handle on.
// No handle is taken and released by hand around code that can raise.
#include <utility>

#include "rtl/Win32.h"

// A handle that one function frees (DeleteObject, DestroyIcon...). Null is
// "no handle"; a caller whose API fails with INVALID_HANDLE_VALUE stores
// null instead.
template <class H, auto Free>
class TWinHandle {
public:
  TWinHandle() noexcept = default;
  explicit TWinHandle(H Handle) noexcept : FHandle(Handle) {}
  ~TWinHandle() { Reset(); }
  TWinHandle(TWinHandle&& Other) noexcept : FHandle(Other.Release()) {}
  TWinHandle& operator=(TWinHandle&& Other) noexcept {
    if (this != &Other) Reset(Other.Release());
    return *this;
  }
  TWinHandle(const TWinHandle&) = delete;
  TWinHandle& operator=(const TWinHandle&) = delete;

  H Get() const noexcept { return FHandle; }
  // Gives the handle up without freeing it.
  H Release() noexcept { return std::exchange(FHandle, H()); }
  // Frees the handle held (unless it is Handle itself) and holds Handle.
  void Reset(H Handle = H()) noexcept {
    const H Old = std::exchange(FHandle, Handle);
    if (Old && Old != Handle) Free(Old);
  }
  explicit operator bool() const noexcept { return FHandle != H(); }

private:
  H FHandle = H();
};

// Pens, brushes, fonts, bitmaps, regions.
using TGdiObject = TWinHandle<HGDIOBJ, &DeleteObject>;
using TIconHandle = TWinHandle<HICON, &DestroyIcon>;
using TCursorHandle = TWinHandle<HCURSOR, &DestroyCursor>;
// A menu not attached to a window (a window destroys its own menu bar).
using TMenuHandle = TWinHandle<HMENU, &DestroyMenu>;
using TWindowHandle = TWinHandle<HWND, &DestroyWindow>;
using TImageListHandle = TWinHandle<HIMAGELIST, &ImageList_Destroy>;
// Events, threads, files, mappings.
using TKernelHandle = TWinHandle<HANDLE, &CloseHandle>;
using TModuleHandle = TWinHandle<HMODULE, &FreeLibrary>;
using TRegistryKey = TWinHandle<HKEY, &RegCloseKey>;
// Memory that the system allocated for us (FormatMessage's text).
using TLocalMemory = TWinHandle<HLOCAL, &LocalFree>;
// A hook that this thread set (SetWindowsHookEx).
using THookHandle = TWinHandle<HHOOK, &UnhookWindowsHookEx>;
// A completed enhanced metafile.
using TMetafileHandle = TWinHandle<HENHMETAFILE, &DeleteEnhMetaFile>;

// One reference to a COM object: released at the end, never added to.
// Put() hands the address to a function that answers a new reference
// (CoCreateInstance, QueryInterface), after releasing the one held.
template <class T>
class TComPtr {
public:
  TComPtr() noexcept = default;
  // Takes over a reference the caller holds.
  explicit TComPtr(T* Object) noexcept : FObject(Object) {}
  ~TComPtr() { Reset(); }
  TComPtr(TComPtr&& Other) noexcept : FObject(std::exchange(Other.FObject, nullptr)) {}
  TComPtr& operator=(TComPtr&& Other) noexcept {
    if (this != &Other) {
      Reset();
      FObject = std::exchange(Other.FObject, nullptr);
    }
    return *this;
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;

  T* Get() const noexcept { return FObject; }
  T* operator->() const noexcept { return FObject; }
  T** Put() noexcept {
    Reset();
    return &FObject;
  }
  void Reset() noexcept {
    if (T* Old = std::exchange(FObject, nullptr)) Old->Release();
  }
  explicit operator bool() const noexcept { return FObject != nullptr; }

private:
  T* FObject = nullptr;
};

// A memory device context compatible with Reference (the screen when null).
class TMemoryDC {
public:
  explicit TMemoryDC(HDC Reference = nullptr) noexcept : FDC(CreateCompatibleDC(Reference)) {}
  ~TMemoryDC() {
    if (FDC) DeleteDC(FDC);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Get() const noexcept { return FDC; }
  explicit operator bool() const noexcept { return FDC != nullptr; }

private:
  HDC FDC;
};

// The device context of a window's client area (GetDC); of the screen when
// the window is null. Movable, so that an object may hold one between calls.
class TWindowDC {
public:
  TWindowDC() noexcept = default;
  explicit TWindowDC(HWND Window) noexcept : FWindow(Window), FDC(GetDC(Window)) {}
  // The whole window, frame included (GetWindowDC): for drawing borders.
  static TWindowDC WholeWindow(HWND Window) noexcept { return TWindowDC(Window, GetWindowDC(Window)); }
  ~TWindowDC() { Reset(); }
  TWindowDC(TWindowDC&& Other) noexcept
      : FWindow(std::exchange(Other.FWindow, nullptr)), FDC(std::exchange(Other.FDC, nullptr)) {}
  TWindowDC& operator=(TWindowDC&& Other) noexcept {
    if (this != &Other) {
      Reset();
      FWindow = std::exchange(Other.FWindow, nullptr);
      FDC = std::exchange(Other.FDC, nullptr);
    }
    return *this;
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;

  HDC Get() const noexcept { return FDC; }
  HWND Window() const noexcept { return FWindow; }
  void Reset() noexcept {
    if (FDC) ReleaseDC(FWindow, FDC);
    FDC = nullptr;
    FWindow = nullptr;
  }
  explicit operator bool() const noexcept { return FDC != nullptr; }

private:
  TWindowDC(HWND Window, HDC DC) noexcept : FWindow(Window), FDC(DC) {}
  HWND FWindow = nullptr;
  HDC FDC = nullptr;
};

// BeginPaint ... EndPaint for one WM_PAINT.
class TPaintDC {
public:
  explicit TPaintDC(HWND Window) noexcept : FWindow(Window), FDC(BeginPaint(Window, &FPaint)) {}
  ~TPaintDC() { EndPaint(FWindow, &FPaint); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const noexcept { return FDC; }
  const PAINTSTRUCT& Paint() const noexcept { return FPaint; }

private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
  HDC FDC;
};

// The clipboard opened for Owner (OpenClipboard) until the end of the
// scope; while it is open no other window can read or change it.
class TOpenClipboard {
public:
  explicit TOpenClipboard(HWND Owner) noexcept : FOpen(OpenClipboard(Owner) != FALSE) {}
  ~TOpenClipboard() {
    if (FOpen) CloseClipboard();
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;
  // False when another window holds the clipboard.
  bool Opened() const noexcept { return FOpen; }

private:
  bool FOpen;
};

// The memory of a global handle locked (GlobalLock) for the scope: the
// clipboard's data, for one.
class TGlobalLock {
public:
  explicit TGlobalLock(HGLOBAL Memory) noexcept : FMemory(Memory), FData(Memory ? GlobalLock(Memory) : nullptr) {}
  ~TGlobalLock() {
    if (FData) GlobalUnlock(FMemory);
  }
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  // Null when the handle was null or could not be locked.
  void* Data() const noexcept { return FData; }

private:
  HGLOBAL FMemory;
  void* FData;
};

// An object selected into a device context for the guard's scope; the
// object selected before comes back at the end.
class TSelectGuard {
public:
  TSelectGuard(HDC DC, HGDIOBJ Object) noexcept : FDC(DC), FOld(SelectObject(DC, Object)) {}
  ~TSelectGuard() {
    if (FOld) SelectObject(FDC, FOld);
  }
  TSelectGuard(const TSelectGuard&) = delete;
  TSelectGuard& operator=(const TSelectGuard&) = delete;

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// SaveDC ... RestoreDC: whatever the scope changes in the device context
// (objects, clipping, origins, modes) is undone at its end.
class TSavedDC {
public:
  explicit TSavedDC(HDC DC) noexcept : FDC(DC), FSaved(SaveDC(DC)) {}
  ~TSavedDC() {
    if (FSaved) RestoreDC(FDC, FSaved);
  }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

private:
  HDC FDC;
  int FSaved;
};
