// The control's data exchange with the system: its data object on the
// clipboard (copy, cut, paste, flush), the formats it renders (its own
// records, texts, CSV, RTF and HTML through the exports), the drag manager
// with the window's drop-target registration, and the drags it starts.
#include "rtl/Win32.h"

#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "rtl/Encoding.h"
#include "rtl/ScopeExit.h"
#include "rtl/Win32Handles.h"
#include "treeview/VastTreeControl_win.h"
#include "treeview/VastTreeDataObject_win.h"
#include "treeview/VastTreeDragImage_win.h"
#include "treeview/VastTreeDragManager_win.h"

namespace {

HGLOBAL BlockOf(const void* Data, std::size_t Size) {
  HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, Size);
  if (!Block) return nullptr;
  const TGlobalLock Lock(Block);
  if (Size) std::memcpy(Lock.Data(), Data, Size);
  return Block;
}

// Text in the system's ANSI code page, ending with one zero.
std::string AnsiText(const String& Text) {
  std::string Result;
  const auto* W = reinterpret_cast<const wchar_t*>(Text.c_str());
  const int Length = WideCharToMultiByte(CP_ACP, 0, W, static_cast<int>(Text.size()), nullptr, 0, nullptr, nullptr);
  Result.resize(static_cast<std::size_t>(Length));
  if (Length > 0)
    WideCharToMultiByte(CP_ACP, 0, W, static_cast<int>(Text.size()), Result.data(), Length, nullptr, nullptr);
  return Result;
}

String UserListSeparator() {
  wchar_t Buffer[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, Buffer, 8) <= 1) return u",";
  return String(reinterpret_cast<const char16_t*>(Buffer));
}

// The clipboard's HTML: a header of offsets, then the fragment in a page.
std::string WrapHTML(const std::string& Fragment) {
  const auto N = static_cast<int>(Fragment.size());
  char Header[128];
  std::snprintf(Header, sizeof(Header),
                "Version:1.0\r\nStartHTML:%.8d\r\nEndHTML:%.8d\r\nStartFragment:%.8d\r\nEndFragment:%.8d\r\n", 97,
                N + 301, 269, N + 269);
  return std::string(Header) + "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">" +
         "<html><head><META http-equiv=Content-Type content=\"text/html; "
         "charset=utf-8\"></head><body><!--StartFragment-->" +
         Fragment + "<!--EndFragment--></body></html>";
}

}  // namespace

void TVastTreeControl::TDragManagerRelease::operator()(IVTDragManager* Manager) const {
  if (Manager) Manager->Release();
}

// ---------------------------------------------------------------------------
// Formats and rendering

void TVastTreeControl::NativeClipboardFormats(TFormatEtcArray& Formats) {
  TVTFormatDescriptors Descriptors;
  TClipboardFormatList::EnumerateFormats(*this, Descriptors, &ClipboardFormats());
  Formats.clear();
  for (const TVTFormatDescriptor& D : Descriptors) Formats.push_back(ToFormatEtc(D));
  DoGetUserClipboardFormats(Formats);
}

HGLOBAL TVastTreeControl::ContentToClipboard(Word Format, TVSTTextSourceType Source) {
  std::string Payload;
  if (Format == CF_TEXT) {
    Payload = AnsiText(ContentToText(Source, String(u"\t")));
  } else if (Format == CF_UNICODETEXT) {
    const String Text = ContentToText(Source, String(u"\t"));
    Payload.assign(reinterpret_cast<const char*>(Text.data()), Text.size() * sizeof(char16_t));
    Payload.push_back('\0');  // with the one below, a zero character
  } else if (Format == CF_VTCSV && CF_VTCSV != 0) {
    Payload = AnsiText(ContentToText(Source, UserListSeparator()));
  } else if ((Format == CF_VTRTF || Format == CF_VTRTFNOOBJS) && Format != 0) {
    Payload = ContentToRTF(Source);
  } else if (Format == CF_VTHTML && CF_VTHTML != 0) {
    const TBytes Utf8 = TEncoding::UTF8()->GetBytes(ContentToHTML(Source, String()));
    Payload = WrapHTML(std::string(Utf8.begin(), Utf8.end()));
  } else {
    return nullptr;
  }
  Payload.push_back('\0');
  return BlockOf(Payload.data(), Payload.size());
}

HRESULT TVastTreeControl::RenderNativeData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) {
  Medium = STGMEDIUM{};
  HRESULT Result = E_FAIL;
  if (FormatEtcIn.cfFormat == CF_VASTTREE && (FormatEtcIn.tymed & (TYMED_HGLOBAL | TYMED_ISTREAM))) {
    const TBytes Records = RenderNativeTreeData(ForClipboard);
    if (FormatEtcIn.tymed & TYMED_ISTREAM) {
      IStream* Stream = nullptr;
      if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &Stream))) return E_OUTOFMEMORY;
      ULONG Written = 0;
      if (!Records.empty()) Stream->Write(Records.data(), static_cast<ULONG>(Records.size()), &Written);
      LARGE_INTEGER Zero{};
      Stream->Seek(Zero, STREAM_SEEK_SET, nullptr);
      Medium.tymed = TYMED_ISTREAM;
      Medium.pstm = Stream;
      return S_OK;
    }
    if (Records.empty()) return E_FAIL;
    const TBytes Block = MakeNativeBlock(Records);
    HGLOBAL Handle = BlockOf(Block.data(), Block.size());
    if (!Handle) return E_OUTOFMEMORY;
    Medium.tymed = TYMED_HGLOBAL;
    Medium.hGlobal = Handle;
    return S_OK;
  }
  Result = DoRenderOLEData(FormatEtcIn, Medium, ForClipboard);
  if (SUCCEEDED(Result)) return Result;
  // The string tree's texts.
  try {
    HGLOBAL Handle = ContentToClipboard(FormatEtcIn.cfFormat, ForClipboard ? tstCutCopySet : tstSelected);
    if (!Handle) return Result;
    Medium = STGMEDIUM{};
    Medium.tymed = TYMED_HGLOBAL;
    Medium.hGlobal = Handle;
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

// ---------------------------------------------------------------------------
// The clipboard

void TVastTreeControl::CopyToClipboard() {
  if (SelectedCount() == 0) return;
  TComPtr<IDataObject> Data(new TVTDataObject(this, true));
  if (OleSetClipboard(Data.Get()) != S_OK) return;
  MarkCutCopySelection();
  DoStateChange({tsCopyPending});
  InvalidateAll();
}

void TVastTreeControl::CutToClipboard() {
  if (SelectedCount() == 0 || ReadOnly()) return;
  TComPtr<IDataObject> Data(new TVTDataObject(this, true));
  if (OleSetClipboard(Data.Get()) != S_OK) return;
  MarkCutCopySelection();
  DoStateChange({tsCutPending}, {tsCopyPending});
  InvalidateAll();
}

bool TVastTreeControl::PasteFromClipboard() {
  if (ReadOnly()) return false;
  TComPtr<IDataObject> Data;
  if (OleGetClipboard(Data.Put()) != S_OK || !Data)
    throw EVastTreeError(u"Clipboard operation failed.", hcTFClipboardFailed);
  TOleDataSource Source(Data.Get());
  TBaseVastTree* SourceTree = SourceTreeOfDataObject(Source);
  const bool Result = ProcessOLEData(SourceTree, Source, FocusedNode(), DefaultPasteMode(),
                                     SourceTree && SourceTree->TreeStates().Contains(tsCutPending));
  if (SourceTree) {
    if (SourceTree == this) {
      // Moved within the tree: the marks go with the pending cut.
      if (HasState(tsCutPending)) CancelCutOrCopy();
    } else {
      SourceTree->FinishCutOrCopy();
    }
  }
  return Result;
}

void TVastTreeControl::FlushClipboard() {
  if (!HasState(tsCutPending) && !HasState(tsCopyPending)) return;
  DoStateChange({tsClipboardFlushing});
  const TScopeExit Flushed([this] { DoStateChange({}, {tsClipboardFlushing}); });
  OleFlushClipboard();
  CancelCutOrCopy();
}

bool TVastTreeControl::ProcessOLEData(TBaseVastTree* Source, IDataObject* DataObject, PVastNode TargetNode,
                                      TVTNodeAttachMode Mode, bool Optimized) {
  TOleDataSource Data(DataObject);
  return ProcessOLEData(Source, Data, TargetNode, Mode, Optimized);
}

TBaseVastTree* TVastTreeControl::SourceTreeOfDataObject(IDataObject* DataObject) {
  TOleDataSource Data(DataObject);
  return SourceTreeOfDataObject(Data);
}

bool TVastTreeControl::ProcessDrop(IDataObject* DataObject, PVastNode TargetNode, Integer& Effect,
                                   TVTNodeAttachMode Mode) {
  TOleDataSource Data(DataObject);
  return ProcessDrop(Data, TargetNode, Effect, Mode);
}

// ---------------------------------------------------------------------------
// Drag and drop

IVTDragManager* TVastTreeControl::DragManager() {
  if (!FDragManager) {
    IVTDragManager* Manager = DoCreateDragManager();
    if (!Manager) Manager = new TVTDragManager(this);
    FDragManager.reset(Manager);
  }
  return FDragManager.get();
}

IDataObject* TVastTreeControl::CreateDragDataObject() {
  IDataObject* Result = DoCreateDataObject();
  if (!Result && !OnCreateDataObject) Result = new TVTDataObject(this, false);
  return Result;
}

bool TVastTreeControl::IsOleDropTarget() const {
  return FDragManager && const_cast<IVTDragManager*>(FDragManager.get())->GetIsDropTarget();
}

void TVastTreeControl::RegisterDropTarget(bool Register) {
  if (Register == FDropTargetRegistered || !HandleAllocated()) return;
  if (Register) {
    IDropTarget* Target = nullptr;
    if (SUCCEEDED(DragManager()->QueryInterface(__uuidof(IDropTarget), reinterpret_cast<void**>(&Target)))) {
      FDropTargetRegistered = SUCCEEDED(RegisterDragDrop(FHandle, Target));
      Target->Release();
    }
  } else {
    RevokeDragDrop(FHandle);
    FDropTargetRegistered = false;
  }
}

void TVastTreeControl::RunOleDragLoop(Integer AllowedEffects, IDataObject* DataObject, Integer& DragEffect) {
  IDropSource* Source = nullptr;
  DragEffect = DropEffectNone;
  if (FAILED(DragManager()->QueryInterface(__uuidof(IDropSource), reinterpret_cast<void**>(&Source)))) return;
  DWORD Effect = DROPEFFECT_NONE;
  const HRESULT Result = ::DoDragDrop(DataObject, Source, static_cast<DWORD>(AllowedEffects), &Effect);
  Source->Release();
  DragEffect = Result == DRAGDROP_S_DROP ? static_cast<Integer>(Effect) : DropEffectNone;
}

void TVastTreeControl::DoOleDrag(TPoint P) {
  const Integer Allowed = BeginOleDragSource();
  Integer Effect = DropEffectNone;
  IDataObject* Data = nullptr;
  const TScopeExit Ended([&] {
    if (Data) Data->Release();
    if (FDragImage) FDragImage->EndDrag();
    FinishDrag();
    EndOleDragSource(Effect);
  });
  Data = DragManager()->GetDataObject();
  if (!Data) return;
  PrepareDragImage(P, Data);
  RunOleDragLoop(Allowed, Data, Effect);
  DragManager()->ForceDragLeave();
}

void TVastTreeControl::FinishDrag() {
  if (!HasState(tsOLEDragging) && !HasState(tsUserDragObject) && !HasState(tsVCLDragging) &&
      !HasState(tsVCLDragPending) && !HasState(tsVCLDragFinished))
    return;
  DoStateChange({}, {tsUserDragObject, tsVCLDragging, tsVCLDragPending, tsVCLDragFinished});
  if (!HandleAllocated()) return;
  // The button that dragged comes up where the pointer is, so the mouse
  // handling completes its gesture.
  UINT Up = WM_LBUTTONUP;
  if (HasState(tsRightButtonDown))
    Up = WM_RBUTTONUP;
  else if (HasState(tsMiddleButtonDown))
    Up = WM_MBUTTONUP;
  POINT Cursor;
  GetCursorPos(&Cursor);
  ::ScreenToClient(FHandle, &Cursor);
  SendMessageW(FHandle, Up, 0, MAKELPARAM(Cursor.x, Cursor.y));
}

// ---------------------------------------------------------------------------
// The class library's own drag and drop

void TVastTreeControl::BeginDrag(bool Immediate, Integer Threshold) { TBaseVastTree::BeginDrag(Immediate, Threshold); }

bool TVastTreeControl::Dragging() const { return TBaseVastTree::Dragging() || TCustomControl::Dragging(); }

void TVastTreeControl::BeginPlatformDrag(bool Immediate, Integer Threshold) {
  TCustomControl::BeginDrag(Immediate, Threshold);
}

void TVastTreeControl::DoStartDrag(TDragObject*& DragObject) {
  TCustomControl::DoStartDrag(DragObject);
  if (DragObject) DoStateChange({tsUserDragObject});
}

void TVastTreeControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  TCustomControl::DoEndDrag(Target, X, Y);
  FinishDrag();
}

void TVastTreeControl::DragCanceled() {
  TCustomControl::DragCanceled();
  FinishDrag();
}

void TVastTreeControl::CMDrag(TMessage& Message) {
  auto* Rec = reinterpret_cast<TDragRec*>(Message.LParam);
  if (!Rec || Rec->Docking) {
    TCustomControl::WndProc(Message);
    return;
  }
  // The control a plain drag object stands for is the source, unless the
  // source made an object of its own; a tree is named by its tree side, as
  // in OLE drags.
  TObject* Source = Rec->Source;
  if (!HasState(tsUserDragObject))
    if (auto* ControlObject = dynamic_cast<TDragControlObject*>(Rec->Source)) {
      TControl* Control = ControlObject->Control();
      if (auto* SourceTree = dynamic_cast<TBaseVastTree*>(Control))
        Source = SourceTree;
      else
        Source = Control;
    }
  const auto Keys = [] {
    TShiftState Shift;
    if (GetKeyState(VK_SHIFT) < 0) Shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) Shift.Include(ssCtrl);
    return Shift;
  };
  const TDragMessage Kind = static_cast<TDragMessage>(Message.WParam);
  switch (Kind) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      TDragState State = dsDragMove;
      if (Kind == dmDragEnter) {
        DoStateChange({tsVCLDragging});
        State = dsDragEnter;
      } else if (Kind == dmDragLeave) {
        DoStateChange({tsVCLDragFinished}, {tsVCLDragging});
        State = dsDragLeave;
      } else {
        const TPoint P = ScreenToClient(Rec->Pos);
        DoAutoScroll(P.X, P.Y);
      }
      Integer Effect = DropEffectCopy | DropEffectMove;
      OleDragOver(Source, Keys(), State, Rec->Pos, Effect);
      FLastVCLDragTarget = DropTargetNode();
      FVCLDragEffect = Effect;
      if (Kind == dmDragLeave) SetDropTargetNode(nullptr);
      Message.Result = Effect;
      break;
    }
    case dmDragDrop: {
      const TShiftState Shift = Keys();
      SetDropTargetNode(FLastVCLDragTarget);
      const TScopeExit Forget([this] { SetDropTargetNode(nullptr); });
      Integer Effect = FVCLDragEffect;
      DoDragDrop(Source, nullptr, TFormatArray{}, Shift, ScreenToClient(Rec->Pos), Effect, LastDropMode());
      break;
    }
    case dmFindTarget: {
      TControl* Found = ControlAtPos(ScreenToClient(Rec->Pos), false, false);
      Rec->Target = Found ? Found : this;
      Message.Result = reinterpret_cast<LRESULT>(Rec->Target);
      if (HasState(tsVCLDragPending)) DoStateChange({tsVCLDragging}, {tsClearPending, tsEditPending, tsVCLDragPending});
      break;
    }
    case dmDragCancel:
      break;
  }
}

// ---------------------------------------------------------------------------
// Repainting under the tree's own drag image

bool TVastTreeControl::OwnDragImageShown() const {
  return (FDragImage && FDragImage->Visible()) || (FHeaderDragImage && FHeaderDragImage->Visible());
}

void TVastTreeControl::RedrawWithDragImage(TBaseVastTree* Source, const TRect& TreeRect, bool UpdateNCArea,
                                           bool ReshowDragImage) {
  if (!FHandle) return;
  const TRect R{std::max<Integer>(TreeRect.Left, 0), std::max<Integer>(TreeRect.Top, 0),
                std::min<Integer>(TreeRect.Right, ClientWidth()), std::min<Integer>(TreeRect.Bottom, ClientHeight())};
  if (R.IsEmpty()) return;
  // Painted at once: the image takes its new background from the window.
  const RECT Update{R.Left, R.Top, R.Right, R.Bottom};
  RedrawWindow(FHandle, &Update, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE | (UpdateNCArea ? RDW_FRAME : 0));
  auto* SourceControl = dynamic_cast<TVastTreeControl*>(Source);
  if (!SourceControl) return;
  TVTDragImage* Image = SourceControl->FDragImage.get();
  if ((!Image || !Image->Visible()) && SourceControl->FHeaderDragImage && SourceControl->FHeaderDragImage->Visible())
    Image = SourceControl->FHeaderDragImage.get();
  if (Image) Image->RecaptureBackground(FHandle, R, UpdateNCArea, ReshowDragImage);
}
