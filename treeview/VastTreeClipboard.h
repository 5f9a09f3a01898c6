#pragma once
// The tree view's data exchange, portable part: the process-wide registry
// of clipboard formats with the tree classes that can render them, a tree's
// list of offered formats, the payloads of the tree's own formats ("Vast
// Tree Data", "Vast Tree Reference") with their checks, the read-only
// stream over a borrowed block, and what pasting and dropping need of a
// data object. The OLE objects themselves live in the Windows units.
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

#include "rtl/Streams.h"
#include "rtl/Types.h"

#include "rtl/Set.h"

class TBaseVastTree;

enum TDragOperation : Byte { doCopy, doMove, doLink };
using TDragOperations = TSet<TDragOperation, Byte>;
// OLE drag and drop, or the class library's own.
enum TVTDragType : Byte { dtOLE, dtVCL };

// Media kinds and aspects, numbered as the platform numbers them.
inline constexpr Cardinal TymedHGlobal = 1;
inline constexpr Cardinal TymedFile = 2;
inline constexpr Cardinal TymedIStream = 4;
inline constexpr Cardinal TymedIStorage = 8;
inline constexpr Cardinal TymedGDI = 16;
inline constexpr Cardinal TymedMFPict = 32;
inline constexpr Cardinal TymedEnhMF = 64;
inline constexpr Cardinal DvAspectContent = 1;
// The predefined formats the tree renders.
inline constexpr Word CF_TEXT_ID = 1;
inline constexpr Word CF_UNICODETEXT_ID = 13;

// One format descriptor without a target device (the tree never offers one).
struct TVTFormatDescriptor {
  Word Format = 0;
  Cardinal Aspect = DvAspectContent;
  Integer Index = -1;
  Cardinal Media = TymedHGlobal;
  bool operator==(const TVTFormatDescriptor&) const = default;
};
using TVTFormatDescriptors = std::vector<TVTFormatDescriptor>;

// A class of tree: answers whether a tree is of it or inherits from it.
using TVastTreeClass = bool (*)(const TBaseVastTree& Tree);
template <class T>
bool VastTreeClassOf(const TBaseVastTree& Tree) {
  if constexpr (std::is_same_v<T, TBaseVastTree>) {
    (void)Tree;
    return true;
  } else {
    return dynamic_cast<const T*>(&Tree) != nullptr;
  }
}

struct TClipboardFormatListEntry {
  String Description;
  TVastTreeClass TreeClass = nullptr;
  Cardinal Priority = 0;
  TVTFormatDescriptor FormatEtc;
};

class TClipboardFormats;

// The process-wide registry, sorted by priority (ascending); lookups search
// from the end, so the highest priority wins. User-interface thread only.
class TClipboardFormatList {
public:
  static void Add(const String& FormatString, TVastTreeClass AClass, Cardinal Priority,
                  const TVTFormatDescriptor& AFormatEtc);
  static void Clear();
  static Integer Count();
  // The descriptors usable by Tree's class (and, with AllowedFormats, named
  // there), in list order.
  static void EnumerateFormats(const TBaseVastTree& Tree, TVTFormatDescriptors& Formats,
                               const TClipboardFormats* AllowedFormats = nullptr);
  static void EnumerateFormats(const TBaseVastTree& Tree, std::vector<String>& Formats);
  // Case-insensitive by name; nil when unknown.
  static const TClipboardFormatListEntry* FindFormat(const String& FormatString);
  static TVastTreeClass FindFormat(const String& FormatString, Word& Fmt);
  static TVastTreeClass FindFormat(Word Fmt, String& Description);
};

// The 17 predefined formats and their names.
struct TClipboardFormatEntry {
  Word ID;
  const char16_t* Description;
};
extern const TClipboardFormatEntry ClipboardDescriptions[17];

// The system's table of registered format names (RegisterClipboardFormat on
// Windows, a process table elsewhere); registered IDs are 0xC000 and above.
Word RegisterSystemClipboardFormat(const String& Name);
// A registered format's name; empty when the system knows none.
String SystemClipboardFormatName(Word Format);
Cardinal CurrentProcessId();

Word RegisterTreeClipboardFormat(const String& Description, TVastTreeClass TreeClass, Cardinal Priority,
                                 TVTFormatDescriptor FormatEtc = {});
// A predefined (or already registered) format by ID.
Word RegisterTreeClipboardFormat(Word Format, TVastTreeClass TreeClass, Cardinal Priority);

// The IDs of the registered names (0 until the start-up below ran).
extern Word CF_VASTTREE;
extern Word CF_VTREFERENCE;
extern Word CF_VTHTML;
extern Word CF_VTRTF;
extern Word CF_VTRTFNOOBJS;
extern Word CF_VTCSV;
// Registers the tree's formats once per process (the first tree runs it).
void RegisterVastTreeClipboardFormats();

// A tree's property ClipboardFormats: the sorted names of the formats it
// offers. Only names the registry knows for the owner's class get in.
class TClipboardFormats {
public:
  explicit TClipboardFormats(TBaseVastTree* AOwner) : FOwner(AOwner) {}
  // The index of the name, -1 when refused.
  Integer Add(const String& S);
  // A sorted list places the name where it belongs; refused names are ignored.
  void Insert(Integer Index, const String& S);
  void Clear() { FNames.clear(); }
  Integer Count() const { return static_cast<Integer>(FNames.size()); }
  const String& operator[](Integer Index) const { return FNames[static_cast<std::size_t>(Index)]; }
  Integer IndexOf(const String& S) const;
  // Clears, then adds each name.
  void Assign(const std::vector<String>& Names);
  TBaseVastTree* Owner() const { return FOwner; }

private:
  TBaseVastTree* FOwner;  // not owned
  std::vector<String> FNames;
};

// The live trees of this process: a tree reference is only ever answered
// with one of them, so a forged address is never followed.
void RegisterLiveTree(TBaseVastTree* Tree);
void UnregisterLiveTree(TBaseVastTree* Tree);
// The tree at Address when it is alive; nil otherwise. Address is compared,
// never read through.
TBaseVastTree* LiveTreeAt(std::uintptr_t Address);

// "Vast Tree Reference": the process id (4 bytes), then the tree's address
// (a pointer's width), little-endian.
inline constexpr std::size_t TreeReferenceSize = 4 + sizeof(void*);
TBytes EncodeTreeReference(const TBaseVastTree* Tree, Cardinal ProcessId);
// The tree the bytes name: only a live tree of ProcessId's process (which
// must be this one) of exactly the right size; nil otherwise.
TBaseVastTree* DecodeTreeReference(const Byte* Data, std::size_t Size, Cardinal ProcessId);

// "Vast Tree Data" as a global block: an Int32 byte count, then the node
// records. Answers the records when the count is not negative and not larger
// than the bytes present (bytes past it are padding of the block).
bool NativeBlockRecords(const Byte* Block, std::size_t Size, const Byte*& Records, std::size_t& RecordsSize);
// The block for Records.
TBytes MakeNativeBlock(const TBytes& Records);

// A read-only stream over a block it does not own.
class TOLEMemoryStream : public TCustomMemoryStream {
public:
  TOLEMemoryStream(const void* Data, std::size_t Size) {
    SetPointer(const_cast<void*>(Data), static_cast<Int64>(Size));
  }
  using TCustomMemoryStream::Write;
  // Raises EStreamError: the block is not the stream's.
  Integer Write(const void* Buffer, Integer Count) override;
};

// What pasting and dropping need of a data object; the platform's data
// object is wrapped in one. The answers are the raw payloads: their checks
// are the callers'.
class IVTDataSource {
public:
  // Whether "Vast Tree Data" is offered (global memory or a stream).
  virtual bool HasNativeData() = 0;
  // The node records of "Vast Tree Data"; False when they cannot be had or
  // the block's count does not fit the bytes.
  virtual bool GetNativeData(TBytes& Records) = 0;
  // The bytes of "Vast Tree Reference"; False without.
  virtual bool GetTreeReference(TBytes& Reference) = 0;

protected:
  ~IVTDataSource() = default;
};

// A data object's payloads already in memory: "Vast Tree Data" as a global
// block (count and records) and "Vast Tree Reference"; empty means absent.
class TVTBlockDataSource : public IVTDataSource {
public:
  TVTBlockDataSource(TBytes NativeBlock, TBytes Reference)
      : FNativeBlock(std::move(NativeBlock)), FReference(std::move(Reference)) {}
  bool HasNativeData() override { return !FNativeBlock.empty(); }
  bool GetNativeData(TBytes& Records) override;
  bool GetTreeReference(TBytes& Reference) override;

private:
  TBytes FNativeBlock;
  TBytes FReference;
};
