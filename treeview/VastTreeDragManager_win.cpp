#include "treeview/VastTreeDragManager_win.h"

#include <exception>

#include "treeview/VastTreeControl_win.h"
#include "treeview/VastTreeDataObject_win.h"
#include "treeview/VastTreeDragImage_win.h"
#include "vcl/Forms.h"

namespace {

// The shell's drag-image service.
constexpr CLSID DragDropHelper{0x4657278A, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};

// A failure inside a drag handler goes to the application, never into the
// system's drag loop.
template <class F>
HRESULT Guarded(F Action, HRESULT OnFailure) {
  try {
    return Action();
  } catch (...) {
    if (Application) Application->HandleException(nullptr);
    return OnFailure;
  }
}

// The picture of a drag from a tree of this process that draws its own.
TVTDragImage* OwnDragImage(TBaseVastTree* Source) {
  auto* Tree = dynamic_cast<TVastTreeControl*>(Source);
  TVTDragImage* Image = Tree ? Tree->DragImage() : nullptr;
  return Image && !Image->States().Contains(disSystemSupport) ? Image : nullptr;
}

TPoint PointOf(POINTL Pt) { return TPoint{static_cast<Integer>(Pt.x), static_cast<Integer>(Pt.y)}; }

}  // namespace

TShiftState ShiftStateOfKeys(DWORD KeyState) {
  TShiftState Shift;
  if (KeyState & MK_SHIFT) Shift.Include(ssShift);
  if (KeyState & MK_CONTROL) Shift.Include(ssCtrl);
  if (KeyState & MK_ALT) Shift.Include(ssAlt);
  if (KeyState & MK_LBUTTON) Shift.Include(ssLeft);
  if (KeyState & MK_RBUTTON) Shift.Include(ssRight);
  if (KeyState & MK_MBUTTON) Shift.Include(ssMiddle);
  return Shift;
}

TVTDragManager::TVTDragManager(TVastTreeControl* AOwner) : FOwner(AOwner), FOwnerAlive(AOwner->LifeToken()) {
  if (FAILED(CoCreateInstance(DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDropTargetHelper),
                              reinterpret_cast<void**>(&FDropTargetHelper))))
    FDropTargetHelper = nullptr;
}

TVTDragManager::~TVTDragManager() {
  if (FDataObject) FDataObject->Release();
  if (FDropTargetHelper) FDropTargetHelper->Release();
}

HRESULT TVTDragManager::QueryInterface(REFIID Id, void** Object) {
  if (!Object) return E_POINTER;
  if (IsEqualIID(Id, __uuidof(IUnknown)) || IsEqualIID(Id, __uuidof(IDropTarget)))
    *Object = static_cast<IDropTarget*>(this);
  else if (IsEqualIID(Id, __uuidof(IDropSource)))
    *Object = static_cast<IDropSource*>(this);
  else if (IsEqualIID(Id, IID_IVTDragManager))
    *Object = static_cast<IVTDragManager*>(this);
  else {
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG TVTDragManager::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }

ULONG TVTDragManager::Release() {
  const auto Left = static_cast<ULONG>(InterlockedDecrement(&FRefs));
  if (Left == 0) delete this;
  return Left;
}

HRESULT TVTDragManager::DragEnter(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) {
  if (!Effect) return E_INVALIDARG;
  if (FDataObject) FDataObject->Release();
  FDataObject = DataObject;
  if (FDataObject) FDataObject->AddRef();
  FIsDropTarget = true;
  SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &FFullDragging, 0);
  if (!FFullDragging) LockWindowUpdate(nullptr);
  TVastTreeControl* Tree = Owner();
  if (!Tree) {
    *Effect = DROPEFFECT_NONE;
    return S_OK;
  }
  POINT P{Pt.x, Pt.y};
  if (FDropTargetHelper && FFullDragging)
    FDropTargetHelper->DragEnter(Tree->TreeOptions().AutoOptions().Contains(toAutoScroll) ? Tree->Handle() : nullptr,
                                 DataObject, &P, *Effect);
  TOleDataSource Source(DataObject);
  FDragSource = Tree->SourceTreeOfDataObject(Source);
  if (TVTDragImage* Image = OwnDragImage(FDragSource)) {
    Image->DragTo(PointOf(Pt), true);
    Image->ShowDragImage();
  }
  return Guarded(
      [&] {
        Integer E = static_cast<Integer>(*Effect);
        const bool Served = Tree->OleDragEnter(FDragSource, ShiftStateOfKeys(KeyState), PointOf(Pt), E);
        *Effect = static_cast<DWORD>(E);
        return Served ? S_OK : E_UNEXPECTED;
      },
      E_UNEXPECTED);
}

HRESULT TVTDragManager::DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) {
  if (!Effect) return E_INVALIDARG;
  POINT P{Pt.x, Pt.y};
  if (FDropTargetHelper && FFullDragging) FDropTargetHelper->DragOver(&P, *Effect);
  if (TVTDragImage* Image = OwnDragImage(FDragSource)) Image->DragTo(PointOf(Pt), false);
  TVastTreeControl* Tree = Owner();
  if (!Tree) {
    *Effect = DROPEFFECT_NONE;
    return S_OK;
  }
  return Guarded(
      [&] {
        Integer E = static_cast<Integer>(*Effect);
        const bool Served = Tree->OleDragOver(FDragSource, ShiftStateOfKeys(KeyState), dsDragMove, PointOf(Pt), E);
        *Effect = static_cast<DWORD>(E);
        return Served ? S_OK : E_UNEXPECTED;
      },
      E_UNEXPECTED);
}

HRESULT TVTDragManager::DragLeave() {
  if (FDropTargetHelper && FFullDragging) FDropTargetHelper->DragLeave();
  if (TVTDragImage* Image = OwnDragImage(FDragSource)) Image->HideDragImage();
  if (TVastTreeControl* Tree = Owner())
    Guarded(
        [&] {
          Tree->OleDragLeave();
          return S_OK;
        },
        S_OK);
  FIsDropTarget = false;
  FDragSource = nullptr;
  if (FDataObject) FDataObject->Release();
  FDataObject = nullptr;
  return S_OK;
}

HRESULT TVTDragManager::Drop(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) {
  if (!Effect) return E_INVALIDARG;
  POINT P{Pt.x, Pt.y};
  if (FDropTargetHelper && FFullDragging) FDropTargetHelper->Drop(DataObject, &P, *Effect);
  if (TVTDragImage* Image = OwnDragImage(FDragSource)) Image->HideDragImage();
  HRESULT Result = E_FAIL;
  if (TVastTreeControl* Tree = Owner())
    Result = Guarded(
        [&] {
          // The formats the data object offers, for the drop handler.
          TFormatArray Formats;
          IEnumFORMATETC* Enum = nullptr;
          if (DataObject && SUCCEEDED(DataObject->EnumFormatEtc(DATADIR_GET, &Enum)) && Enum) {
            FORMATETC F;
            while (Enum->Next(1, &F, nullptr) == S_OK) Formats.push_back(static_cast<Word>(F.cfFormat));
            Enum->Release();
          }
          Integer E = static_cast<Integer>(*Effect);
          const bool Dropped =
              Tree->OleDragDrop(FDragSource, DataObject, Formats, ShiftStateOfKeys(KeyState), PointOf(Pt), E);
          *Effect = static_cast<DWORD>(E);
          return Dropped && (E & ~DropEffectScroll) != 0 ? S_OK : E_FAIL;
        },
        E_UNEXPECTED);
  FIsDropTarget = false;
  FDragSource = nullptr;
  if (FDataObject) FDataObject->Release();
  FDataObject = nullptr;
  return Result;
}

HRESULT TVTDragManager::QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) {
  const bool Left = KeyState & MK_LBUTTON, Right = KeyState & MK_RBUTTON;
  if (EscapePressed || (Left && Right)) return DRAGDROP_S_CANCEL;
  if (Left || Right) return S_OK;
  return DRAGDROP_S_DROP;
}

HRESULT TVTDragManager::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

void TVTDragManager::ForceDragLeave() {
  if (FDropTargetHelper && FFullDragging) FDropTargetHelper->DragLeave();
}

IDataObject* TVTDragManager::GetDataObject() {
  if (FDataObject) {
    FDataObject->AddRef();
    return FDataObject;
  }
  TVastTreeControl* Tree = Owner();
  if (!Tree) return nullptr;
  IDataObject* Result = Tree->CreateDragDataObject();
  return Result;
}

TBaseVastTree* TVTDragManager::GetDragSource() { return FDragSource; }

BOOL TVTDragManager::GetDropTargetHelperSupported() { return FDropTargetHelper != nullptr; }

BOOL TVTDragManager::GetIsDropTarget() { return FIsDropTarget; }
