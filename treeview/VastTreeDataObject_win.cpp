#include "treeview/VastTreeDataObject_win.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "rtl/Win32Handles.h"
#include "treeview/VastTreeControl_win.h"

FORMATETC ToFormatEtc(const TVTFormatDescriptor& D) {
  return FORMATETC{D.Format, nullptr, static_cast<DWORD>(D.Aspect), D.Index, static_cast<DWORD>(D.Media)};
}

namespace {

struct TOleShutdown {
  bool Initialized = false;
  ~TOleShutdown() {
    if (Initialized) OleUninitialize();
  }
};

bool SameRequest(const FORMATETC& A, const FORMATETC& B) {
  return A.cfFormat == B.cfFormat && A.ptd == B.ptd && A.dwAspect == B.dwAspect && A.lindex == B.lindex &&
         (A.tymed & B.tymed) != 0;
}

// A reference-counted object's release, never below zero.
ULONG ReleaseRef(LONG& Refs) { return static_cast<ULONG>(InterlockedDecrement(&Refs)); }

}  // namespace

void VastTreeOleStartup() {
  static TOleShutdown Shutdown;
  static bool Done = false;
  if (Done) return;
  Done = true;
  Shutdown.Initialized = SUCCEEDED(OleInitialize(nullptr));
}

// ---------------------------------------------------------------------------
// TEnumFormatEtc

TEnumFormatEtc::TEnumFormatEtc(std::vector<FORMATETC> Formats, std::size_t Index)
    : FFormatEtcArray(std::move(Formats)), FCurrentIndex(Index) {}

HRESULT TEnumFormatEtc::QueryInterface(REFIID Id, void** Object) {
  if (!Object) return E_POINTER;
  if (IsEqualIID(Id, __uuidof(IUnknown)) || IsEqualIID(Id, __uuidof(IEnumFORMATETC))) {
    *Object = static_cast<IEnumFORMATETC*>(this);
    AddRef();
    return S_OK;
  }
  *Object = nullptr;
  return E_NOINTERFACE;
}

ULONG TEnumFormatEtc::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }

ULONG TEnumFormatEtc::Release() {
  const ULONG Left = ReleaseRef(FRefs);
  if (Left == 0) delete this;
  return Left;
}

HRESULT TEnumFormatEtc::Next(ULONG celt, FORMATETC* elt, ULONG* pceltFetched) {
  ULONG Copied = 0;
  while (Copied < celt && FCurrentIndex < FFormatEtcArray.size()) elt[Copied++] = FFormatEtcArray[FCurrentIndex++];
  if (pceltFetched) *pceltFetched = Copied;
  return Copied > 0 ? S_OK : S_FALSE;
}

HRESULT TEnumFormatEtc::Skip(ULONG celt) {
  if (FCurrentIndex + celt > FFormatEtcArray.size()) return S_FALSE;
  FCurrentIndex += celt;
  return S_OK;
}

HRESULT TEnumFormatEtc::Reset() {
  FCurrentIndex = 0;
  return S_OK;
}

HRESULT TEnumFormatEtc::Clone(IEnumFORMATETC** Enum) {
  if (!Enum) return E_FAIL;
  try {
    *Enum = new TEnumFormatEtc(FFormatEtcArray, FCurrentIndex);
  } catch (...) {
    *Enum = nullptr;
    return E_FAIL;
  }
  return S_OK;
}

// ---------------------------------------------------------------------------
// TVTDataObject

TVTDataObject::TVTDataObject(TVastTreeControl* AOwner, bool ForClipboard)
    : FOwner(AOwner), FOwnerAlive(AOwner->LifeToken()), FForClipboard(ForClipboard) {
  AOwner->NativeClipboardFormats(FFormatEtcArray);
}

TVTDataObject::~TVTDataObject() {
  // Gone from the clipboard: the tree's marks no longer mean anything.
  if (FForClipboard)
    if (TVastTreeControl* Tree = Owner(); Tree && !Tree->TreeStates().Contains(tsClipboardFlushing))
      Tree->CancelCutOrCopy();
  for (TInternalStgMedium& M : FInternalStgMediumArray)
    if (M.Medium.tymed != TYMED_NULL) ReleaseStgMedium(&M.Medium);
  if (FAdviseHolder) FAdviseHolder->Release();
}

TVastTreeControl* TVTDataObject::Owner() const { return FOwnerAlive.expired() ? nullptr : FOwner; }

HRESULT TVTDataObject::QueryInterface(REFIID Id, void** Object) {
  if (!Object) return E_POINTER;
  if (IsEqualIID(Id, __uuidof(IUnknown)) || IsEqualIID(Id, __uuidof(IDataObject))) {
    *Object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *Object = nullptr;
  return E_NOINTERFACE;
}

ULONG TVTDataObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }

ULONG TVTDataObject::Release() {
  const ULONG Left = ReleaseRef(FRefs);
  if (Left == 0) delete this;
  return Left;
}

HRESULT TVTDataObject::StgMediumIncRef(const STGMEDIUM& In, STGMEDIUM& Out, bool CopyInMedium) {
  Out = In;
  HRESULT Result = S_OK;
  switch (In.tymed) {
    case TYMED_HGLOBAL:
      if (CopyInMedium) {
        const SIZE_T Size = GlobalSize(In.hGlobal);
        HGLOBAL Copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, Size);
        if (!Copy) return E_OUTOFMEMORY;
        {
          const TGlobalLock From(In.hGlobal), To(Copy);
          if (From.Data() && To.Data()) std::memcpy(To.Data(), From.Data(), Size);
        }
        Out.hGlobal = Copy;
      } else {
        // Shared: the block stays ours; the taker releases through us.
        Out.pUnkForRelease = static_cast<IDataObject*>(this);
      }
      break;
    case TYMED_FILE: {
      const std::size_t Length = std::wcslen(In.lpszFileName) + 1;
      auto* Name = static_cast<LPOLESTR>(CoTaskMemAlloc(Length * sizeof(OLECHAR)));
      if (!Name) return E_OUTOFMEMORY;
      std::memcpy(Name, In.lpszFileName, Length * sizeof(OLECHAR));
      Out.lpszFileName = Name;
      break;
    }
    case TYMED_ISTREAM:
      if (In.pstm) In.pstm->AddRef();
      break;
    case TYMED_ISTORAGE:
      if (In.pstg) In.pstg->AddRef();
      break;
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
      if (CopyInMedium) return DV_E_TYMED;
      Out.pUnkForRelease = static_cast<IDataObject*>(this);
      break;
    default:
      return DV_E_TYMED;
  }
  if (Out.pUnkForRelease) Out.pUnkForRelease->AddRef();
  return Result;
}

HRESULT TVTDataObject::GetData(FORMATETC* FormatEtcIn, STGMEDIUM* Medium) {
  if (!FormatEtcIn || !Medium) return E_INVALIDARG;
  *Medium = STGMEDIUM{};
  try {
    TVastTreeControl* Tree = Owner();
    if (FormatEtcIn->cfFormat == CF_VTREFERENCE) {
      if (!Tree || Tree->TreeStates().Contains(tsClipboardFlushing)) return E_FAIL;
      const TBytes Reference = EncodeTreeReference(Tree, static_cast<Cardinal>(GetCurrentProcessId()));
      HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, Reference.size());
      if (!Block) return E_OUTOFMEMORY;
      {
        const TGlobalLock Lock(Block);
        std::memcpy(Lock.Data(), Reference.data(), Reference.size());
      }
      Medium->tymed = TYMED_HGLOBAL;
      Medium->hGlobal = Block;
      return S_OK;
    }
    if (QueryGetData(FormatEtcIn) != S_OK) return DV_E_FORMATETC;
    for (const FORMATETC& Offered : FFormatEtcArray) {
      if (!SameRequest(Offered, *FormatEtcIn)) continue;
      for (const TInternalStgMedium& Stored : FInternalStgMediumArray)
        if (Stored.Format == Offered.cfFormat && Stored.Medium.tymed != TYMED_NULL)
          return StgMediumIncRef(Stored.Medium, *Medium, false);
      if (!Tree) return E_FAIL;
      return Tree->RenderNativeData(*FormatEtcIn, *Medium, FForClipboard);
    }
    return DV_E_FORMATETC;
  } catch (...) {
    *Medium = STGMEDIUM{};
    return E_FAIL;
  }
}

HRESULT TVTDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT TVTDataObject::QueryGetData(FORMATETC* FormatEtc) {
  if (!FormatEtc) return E_INVALIDARG;
  HRESULT Result = DV_E_CLIPFORMAT;
  for (const FORMATETC& Offered : FFormatEtcArray) {
    if (Offered.cfFormat != FormatEtc->cfFormat) continue;
    if ((Offered.tymed & FormatEtc->tymed) == 0)
      Result = DV_E_TYMED;
    else if (Offered.dwAspect != FormatEtc->dwAspect)
      Result = DV_E_DVASPECT;
    else if (Offered.lindex != FormatEtc->lindex)
      Result = DV_E_LINDEX;
    else
      return S_OK;
  }
  return Result;
}

HRESULT TVTDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* FormatEtcOut) {
  if (FormatEtcOut) FormatEtcOut->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

HRESULT TVTDataObject::SetData(FORMATETC* FormatEtc, STGMEDIUM* Medium, BOOL DoRelease) {
  if (!FormatEtc || !Medium) return E_INVALIDARG;
  TInternalStgMedium* Slot = nullptr;
  bool Offered = false;
  for (const FORMATETC& F : FFormatEtcArray)
    if (SameRequest(F, *FormatEtc)) Offered = true;
  if (!Offered) {
    FFormatEtcArray.push_back(*FormatEtc);
    FInternalStgMediumArray.push_back(TInternalStgMedium{FormatEtc->cfFormat, STGMEDIUM{}});
    Slot = &FInternalStgMediumArray.back();
  } else {
    for (TInternalStgMedium& M : FInternalStgMediumArray)
      if (M.Format == FormatEtc->cfFormat) Slot = &M;
    if (!Slot) {
      FInternalStgMediumArray.push_back(TInternalStgMedium{FormatEtc->cfFormat, STGMEDIUM{}});
      Slot = &FInternalStgMediumArray.back();
    } else if (Slot->Medium.tymed != TYMED_NULL) {
      ReleaseStgMedium(&Slot->Medium);
      Slot->Medium = STGMEDIUM{};
    }
  }
  HRESULT Result = S_OK;
  if (DoRelease) {
    Slot->Medium = *Medium;
  } else {
    Result = StgMediumIncRef(*Medium, Slot->Medium, true);
    // A medium released through this very object would keep it alive.
    if (SUCCEEDED(Result) && Slot->Medium.pUnkForRelease) {
      IUnknown* Self = nullptr;
      IUnknown* Other = nullptr;
      QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&Self));
      Slot->Medium.pUnkForRelease->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&Other));
      if (Self && Self == Other) {
        Slot->Medium.pUnkForRelease->Release();
        Slot->Medium.pUnkForRelease = nullptr;
      }
      if (Self) Self->Release();
      if (Other) Other->Release();
    }
  }
  if (FAdviseHolder) FAdviseHolder->SendOnDataChange(this, 0, 0);
  return Result;
}

HRESULT TVTDataObject::EnumFormatEtc(DWORD Direction, IEnumFORMATETC** EnumFormatEtc) {
  if (!EnumFormatEtc) return E_INVALIDARG;
  *EnumFormatEtc = nullptr;
  if (Direction != DATADIR_GET) return OLE_S_USEREG;
  try {
    *EnumFormatEtc = new TEnumFormatEtc(FFormatEtcArray);
  } catch (...) {
    return OLE_S_USEREG;
  }
  return S_OK;
}

HRESULT TVTDataObject::DAdvise(FORMATETC* FormatEtc, DWORD advf, IAdviseSink* AdvSink, DWORD* Connection) {
  if (!FAdviseHolder) {
    const HRESULT R = CreateDataAdviseHolder(&FAdviseHolder);
    if (FAILED(R)) return R;
  }
  return FAdviseHolder->Advise(this, FormatEtc, advf, AdvSink, Connection);
}

HRESULT TVTDataObject::DUnadvise(DWORD Connection) {
  return FAdviseHolder ? FAdviseHolder->Unadvise(Connection) : E_NOTIMPL;
}

HRESULT TVTDataObject::EnumDAdvise(IEnumSTATDATA** EnumAdvise) {
  return FAdviseHolder ? FAdviseHolder->EnumAdvise(EnumAdvise) : OLE_E_ADVISENOTSUPPORTED;
}

// ---------------------------------------------------------------------------
// TOleDataSource

namespace {

// Medium of a request: global memory or a stream, content, lindex -1.
FORMATETC Request(Word Format) {
  return FORMATETC{Format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM};
}

struct TMediumGuard {
  STGMEDIUM Medium{};
  ~TMediumGuard() {
    if (Medium.tymed != TYMED_NULL) ReleaseStgMedium(&Medium);
  }
};

// The whole stream from its start, at most Limit bytes; False on a failure.
bool ReadWholeStream(IStream* Stream, TBytes& Bytes, std::size_t Limit) {
  LARGE_INTEGER Zero{};
  if (FAILED(Stream->Seek(Zero, STREAM_SEEK_SET, nullptr))) return false;
  Bytes.clear();
  Byte Buffer[4096];
  for (;;) {
    ULONG Got = 0;
    const HRESULT R = Stream->Read(Buffer, sizeof(Buffer), &Got);
    if (FAILED(R)) return false;
    if (Got == 0) return true;
    if (Bytes.size() + Got > Limit) return false;
    Bytes.insert(Bytes.end(), Buffer, Buffer + Got);
  }
}

// A global block's bytes (its whole allocated size).
bool ReadBlock(HGLOBAL Block, TBytes& Bytes) {
  const TGlobalLock Lock(Block);
  if (!Lock.Data()) return false;
  const auto* P = static_cast<const Byte*>(Lock.Data());
  Bytes.assign(P, P + GlobalSize(Block));
  return true;
}

constexpr std::size_t StreamLimit = std::size_t{1} << 30;

}  // namespace

bool TOleDataSource::HasNativeData() {
  FORMATETC F = Request(CF_VASTTREE);
  return FDataObject && FDataObject->QueryGetData(&F) == S_OK;
}

bool TOleDataSource::GetNativeData(TBytes& Records) {
  FORMATETC F = Request(CF_VASTTREE);
  TMediumGuard M;
  if (!FDataObject || FDataObject->GetData(&F, &M.Medium) != S_OK) return false;
  if (M.Medium.tymed == TYMED_HGLOBAL) {
    TBytes Block;
    if (!ReadBlock(M.Medium.hGlobal, Block)) return false;
    const Byte* P = nullptr;
    std::size_t Size = 0;
    if (!NativeBlockRecords(Block.data(), Block.size(), P, Size)) return false;
    Records.assign(P, P + Size);
    return true;
  }
  if (M.Medium.tymed == TYMED_ISTREAM && M.Medium.pstm) return ReadWholeStream(M.Medium.pstm, Records, StreamLimit);
  return false;
}

bool TOleDataSource::GetTreeReference(TBytes& Reference) {
  FORMATETC F = Request(CF_VTREFERENCE);
  TMediumGuard M;
  if (!FDataObject || FDataObject->GetData(&F, &M.Medium) != S_OK) return false;
  if (M.Medium.tymed == TYMED_HGLOBAL) {
    TBytes Block;
    if (!ReadBlock(M.Medium.hGlobal, Block)) return false;
    // The system may round a block up; the reference is its first bytes.
    if (Block.size() > TreeReferenceSize &&
        std::all_of(Block.begin() + TreeReferenceSize, Block.end(), [](Byte B) { return B == 0; }))
      Block.resize(TreeReferenceSize);
    Reference = std::move(Block);
    return true;
  }
  if (M.Medium.tymed == TYMED_ISTREAM && M.Medium.pstm)
    return ReadWholeStream(M.Medium.pstm, Reference, TreeReferenceSize + 1);
  return false;
}
