#pragma once
// Windows only. The tree's OLE objects of data exchange: the data object a
// tree puts on the clipboard or drags (TVTDataObject) with its format
// enumerator (TEnumFormatEtc), the adapter through which pasting and
// dropping read a data object, and the one-time OLE start-up of the trees.
#include "rtl/Win32.h"

#include <objidl.h>
#include <ole2.h>

#include <memory>
#include <vector>

#include "treeview/VastTreeClipboard.h"

class TVastTreeControl;

FORMATETC ToFormatEtc(const TVTFormatDescriptor& Descriptor);

// OLE for the user-interface thread (once per process; undone at exit).
void VastTreeOleStartup();

struct TInternalStgMedium {
  Word Format = 0;
  STGMEDIUM Medium{};
};

class TEnumFormatEtc : public IEnumFORMATETC {
public:
  explicit TEnumFormatEtc(std::vector<FORMATETC> Formats, std::size_t Index = 0);
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Next(ULONG celt, FORMATETC* elt, ULONG* pceltFetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** Enum) override;

private:
  virtual ~TEnumFormatEtc() = default;
  std::vector<FORMATETC> FFormatEtcArray;
  std::size_t FCurrentIndex;
  LONG FRefs = 1;
};

// Made with one reference, which its creator releases.
class TVTDataObject : public IDataObject {
public:
  TVTDataObject(TVastTreeControl* AOwner, bool ForClipboard);
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* FormatEtcIn, STGMEDIUM* Medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* FormatEtc, STGMEDIUM* Medium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* FormatEtc) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* FormatEtc, FORMATETC* FormatEtcOut) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* FormatEtc, STGMEDIUM* Medium, BOOL DoRelease) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD Direction, IEnumFORMATETC** EnumFormatEtc) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* FormatEtc, DWORD advf, IAdviseSink* AdvSink, DWORD* Connection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD Connection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** EnumAdvise) override;

  bool ForClipboard() const { return FForClipboard; }
  // The tree while it lives; nil afterwards (the object may outlive it on
  // the clipboard).
  TVastTreeControl* Owner() const;

private:
  virtual ~TVTDataObject();
  HRESULT StgMediumIncRef(const STGMEDIUM& InStgMedium, STGMEDIUM& OutStgMedium, bool CopyInMedium);

  TVastTreeControl* FOwner;  // not owned; valid while FOwnerAlive is
  std::weak_ptr<void> FOwnerAlive;
  bool FForClipboard;
  std::vector<FORMATETC> FFormatEtcArray;
  std::vector<TInternalStgMedium> FInternalStgMediumArray;
  IDataAdviseHolder* FAdviseHolder = nullptr;  // one reference
  LONG FRefs = 1;
};

// Pasting and dropping read a platform data object through this.
class TOleDataSource : public IVTDataSource {
public:
  explicit TOleDataSource(IDataObject* DataObject) : FDataObject(DataObject) {}
  bool HasNativeData() override;
  bool GetNativeData(TBytes& Records) override;
  bool GetTreeReference(TBytes& Reference) override;

private:
  IDataObject* FDataObject;  // not owned
};
