#pragma once
// Windows only. The tree's partner in OLE drag and drop: the drop target
// registered for its window, the drop source of the drags it starts, and
// what the tree asks of a drag (IVTDragManager).
#include "rtl/Win32.h"

#include <ole2.h>
#include <shlobj.h>

#include <memory>

#include "rtl/Types.h"
#include "rtl/UITypes.h"

class TBaseVastTree;
class TVastTreeControl;

// {C4B25559-14DA-446B-8901-0C879000EB16}
inline constexpr GUID IID_IVTDragManager{0xC4B25559, 0x14DA, 0x446B, {0x89, 0x01, 0x0C, 0x87, 0x90, 0x00, 0xEB, 0x16}};

class IVTDragManager : public IUnknown {
public:
  virtual void STDMETHODCALLTYPE ForceDragLeave() = 0;
  // A new reference, or nil.
  virtual IDataObject* STDMETHODCALLTYPE GetDataObject() = 0;
  virtual TBaseVastTree* STDMETHODCALLTYPE GetDragSource() = 0;
  virtual BOOL STDMETHODCALLTYPE GetDropTargetHelperSupported() = 0;
  virtual BOOL STDMETHODCALLTYPE GetIsDropTarget() = 0;
};

// The key state of a drag as a shift state (modifiers and buttons).
TShiftState ShiftStateOfKeys(DWORD KeyState);

// Made with one reference, which its creator holds.
class TVTDragManager : public IDropTarget, public IDropSource, public IVTDragManager {
public:
  explicit TVTDragManager(TVastTreeControl* AOwner);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDropTarget
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) override;
  // IDropSource
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD Effect) override;
  // IVTDragManager
  void STDMETHODCALLTYPE ForceDragLeave() override;
  IDataObject* STDMETHODCALLTYPE GetDataObject() override;
  TBaseVastTree* STDMETHODCALLTYPE GetDragSource() override;
  BOOL STDMETHODCALLTYPE GetDropTargetHelperSupported() override;
  BOOL STDMETHODCALLTYPE GetIsDropTarget() override;

private:
  virtual ~TVTDragManager();
  // The tree while it lives (OLE may hold the manager a little longer).
  TVastTreeControl* Owner() const { return FOwnerAlive.expired() ? nullptr : FOwner; }

  TVastTreeControl* FOwner;  // not owned
  std::weak_ptr<void> FOwnerAlive;
  TBaseVastTree* FDragSource = nullptr;  // not owned; a live tree of this process
  bool FIsDropTarget = false;
  IDataObject* FDataObject = nullptr;              // one reference during a drag over the owner
  IDropTargetHelper* FDropTargetHelper = nullptr;  // one reference, nil without the service
  BOOL FFullDragging = FALSE;
  LONG FRefs = 1;
};
