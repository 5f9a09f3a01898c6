// The clipboard format registry, a tree's offered formats and the checked
// payloads of the tree's own formats.
#include "treeview/VastTreeClipboard.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "rtl/SysUtils.h"
#include "treeview/VastStringTree.h"
#include "treeview/VastTrees.h"

const TClipboardFormatEntry ClipboardDescriptions[17] = {{1, u"Plain text"},
                                                         {2, u"Windows bitmap"},
                                                         {3, u"Windows metafile"},
                                                         {4, u"Symbolic link"},
                                                         {5, u"Data interchange format"},
                                                         {6, u"Tiff image"},
                                                         {7, u"OEM text"},
                                                         {8, u"DIB image"},
                                                         {9, u"Palette data"},
                                                         {10, u"Pen data"},
                                                         {11, u"Riff audio data"},
                                                         {12, u"Wav audio data"},
                                                         {13, u"Unicode text"},
                                                         {14, u"Enhanced metafile image"},
                                                         {15, u"File name(s)"},
                                                         {16, u"Locale descriptor"},
                                                         {17, u"DIB image V5"}};

Word CF_VASTTREE = 0;
Word CF_VTREFERENCE = 0;
Word CF_VTHTML = 0;
Word CF_VTRTF = 0;
Word CF_VTRTFNOOBJS = 0;
Word CF_VTCSV = 0;

namespace {

std::vector<TClipboardFormatListEntry>& Entries() {
  static std::vector<TClipboardFormatListEntry> List;
  return List;
}

}  // namespace

void TClipboardFormatList::Add(const String& FormatString, TVastTreeClass AClass, Cardinal Priority,
                               const TVTFormatDescriptor& AFormatEtc) {
  auto& List = Entries();
  List.push_back(TClipboardFormatListEntry{FormatString, AClass, Priority, AFormatEtc});
  std::sort(List.begin(), List.end(), [](const TClipboardFormatListEntry& A, const TClipboardFormatListEntry& B) {
    return A.Priority < B.Priority;
  });
}

void TClipboardFormatList::Clear() { Entries().clear(); }

Integer TClipboardFormatList::Count() { return static_cast<Integer>(Entries().size()); }

void TClipboardFormatList::EnumerateFormats(const TBaseVastTree& Tree, TVTFormatDescriptors& Formats,
                                            const TClipboardFormats* AllowedFormats) {
  Formats.clear();
  for (const auto& E : Entries())
    if (E.TreeClass(Tree) && (!AllowedFormats || AllowedFormats->IndexOf(E.Description) >= 0))
      Formats.push_back(E.FormatEtc);
}

void TClipboardFormatList::EnumerateFormats(const TBaseVastTree& Tree, std::vector<String>& Formats) {
  for (const auto& E : Entries())
    if (E.TreeClass(Tree)) Formats.push_back(E.Description);
}

const TClipboardFormatListEntry* TClipboardFormatList::FindFormat(const String& FormatString) {
  const auto& List = Entries();
  for (auto It = List.rbegin(); It != List.rend(); ++It)
    if (SameText(It->Description, FormatString)) return &*It;
  return nullptr;
}

TVastTreeClass TClipboardFormatList::FindFormat(const String& FormatString, Word& Fmt) {
  const TClipboardFormatListEntry* E = FindFormat(FormatString);
  if (!E) return nullptr;
  Fmt = E->FormatEtc.Format;
  return E->TreeClass;
}

TVastTreeClass TClipboardFormatList::FindFormat(Word Fmt, String& Description) {
  const auto& List = Entries();
  for (auto It = List.rbegin(); It != List.rend(); ++It)
    if (It->FormatEtc.Format == Fmt) {
      Description = It->Description;
      return It->TreeClass;
    }
  return nullptr;
}

Word RegisterTreeClipboardFormat(const String& Description, TVastTreeClass TreeClass, Cardinal Priority,
                                 TVTFormatDescriptor FormatEtc) {
  FormatEtc.Format = RegisterSystemClipboardFormat(Description);
  TClipboardFormatList::Add(Description, TreeClass, Priority, FormatEtc);
  return FormatEtc.Format;
}

Word RegisterTreeClipboardFormat(Word Format, TVastTreeClass TreeClass, Cardinal Priority) {
  String Name;
  if (Format >= 1 && Format <= 17)
    Name = ClipboardDescriptions[Format - 1].Description;
  else
    Name = SystemClipboardFormatName(Format);
  TClipboardFormatList::Add(Name, TreeClass, Priority, TVTFormatDescriptor{Format});
  return Format;
}

void RegisterVastTreeClipboardFormats() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    CF_VTREFERENCE = RegisterSystemClipboardFormat(u"Vast Tree Reference");
    CF_VASTTREE = RegisterTreeClipboardFormat(u"Vast Tree Data", &VastTreeClassOf<TBaseVastTree>, 50);
    const TVastTreeClass StringTree = &VastTreeClassOf<TCustomVastStringTree>;
    CF_VTHTML = RegisterTreeClipboardFormat(u"HTML Format", StringTree, 80);
    CF_VTRTFNOOBJS = RegisterTreeClipboardFormat(u"Rich Text Format Without Objects", StringTree, 84);
    CF_VTRTF = RegisterTreeClipboardFormat(u"Rich Text Format", StringTree, 85);
    CF_VTCSV = RegisterTreeClipboardFormat(u"CSV", StringTree, 90);
    RegisterTreeClipboardFormat(CF_UNICODETEXT_ID, StringTree, 95);
    RegisterTreeClipboardFormat(CF_TEXT_ID, StringTree, 100);
  });
}

// ---------------------------------------------------------------------------
// A tree's offered formats

Integer TClipboardFormats::IndexOf(const String& S) const {
  for (std::size_t I = 0; I < FNames.size(); ++I)
    if (SameText(FNames[I], S)) return static_cast<Integer>(I);
  return -1;
}

Integer TClipboardFormats::Add(const String& S) {
  const TClipboardFormatListEntry* E = TClipboardFormatList::FindFormat(S);
  if (!E || !FOwner || !E->TreeClass(*FOwner)) return -1;
  const Integer Existing = IndexOf(S);
  if (Existing >= 0) return Existing;  // duplicates are ignored
  const auto At = std::lower_bound(FNames.begin(), FNames.end(), S,
                                   [](const String& A, const String& B) { return CompareText(A, B) < 0; });
  const auto Index = At - FNames.begin();
  FNames.insert(At, S);
  return static_cast<Integer>(Index);
}

void TClipboardFormats::Insert(Integer, const String& S) { Add(S); }

void TClipboardFormats::Assign(const std::vector<String>& Names) {
  Clear();
  for (const String& S : Names) Add(S);
}

// ---------------------------------------------------------------------------
// Live trees and tree references

namespace {

std::mutex& LiveLock() {
  static std::mutex M;
  return M;
}
std::unordered_set<std::uintptr_t>& LiveTrees() {
  static std::unordered_set<std::uintptr_t> Set;
  return Set;
}

}  // namespace

void RegisterLiveTree(TBaseVastTree* Tree) {
  const std::lock_guard Lock(LiveLock());
  LiveTrees().insert(reinterpret_cast<std::uintptr_t>(Tree));
}

void UnregisterLiveTree(TBaseVastTree* Tree) {
  const std::lock_guard Lock(LiveLock());
  LiveTrees().erase(reinterpret_cast<std::uintptr_t>(Tree));
}

TBaseVastTree* LiveTreeAt(std::uintptr_t Address) {
  const std::lock_guard Lock(LiveLock());
  // Only an address found in the set becomes a pointer again.
  return LiveTrees().count(Address) ? reinterpret_cast<TBaseVastTree*>(Address) : nullptr;
}

TBytes EncodeTreeReference(const TBaseVastTree* Tree, Cardinal ProcessId) {
  TBytes Bytes(TreeReferenceSize);
  for (std::size_t I = 0; I < 4; ++I) Bytes[I] = static_cast<Byte>(ProcessId >> (8 * I));
  const auto Address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(Tree));
  for (std::size_t I = 0; I < sizeof(void*); ++I) Bytes[4 + I] = static_cast<Byte>(Address >> (8 * I));
  return Bytes;
}

TBaseVastTree* DecodeTreeReference(const Byte* Data, std::size_t Size, Cardinal ProcessId) {
  if (!Data || Size != TreeReferenceSize) return nullptr;
  Cardinal Pid = 0;
  for (std::size_t I = 0; I < 4; ++I) Pid |= static_cast<Cardinal>(Data[I]) << (8 * I);
  if (Pid != ProcessId) return nullptr;
  std::uint64_t Address = 0;
  for (std::size_t I = 0; I < sizeof(void*); ++I) Address |= static_cast<std::uint64_t>(Data[4 + I]) << (8 * I);
  return Address ? LiveTreeAt(static_cast<std::uintptr_t>(Address)) : nullptr;
}

// ---------------------------------------------------------------------------
// The native block

bool NativeBlockRecords(const Byte* Block, std::size_t Size, const Byte*& Records, std::size_t& RecordsSize) {
  if (!Block || Size < 4) return false;
  const Integer Count =
      static_cast<Integer>(static_cast<Cardinal>(Block[0]) | (static_cast<Cardinal>(Block[1]) << 8) |
                           (static_cast<Cardinal>(Block[2]) << 16) | (static_cast<Cardinal>(Block[3]) << 24));
  if (Count < 0 || static_cast<std::size_t>(Count) > Size - 4) return false;
  Records = Block + 4;
  RecordsSize = static_cast<std::size_t>(Count);
  return true;
}

TBytes MakeNativeBlock(const TBytes& Records) {
  TBytes Block(4 + Records.size());
  const auto Count = static_cast<Cardinal>(Records.size());
  for (std::size_t I = 0; I < 4; ++I) Block[I] = static_cast<Byte>(Count >> (8 * I));
  if (!Records.empty()) std::memcpy(Block.data() + 4, Records.data(), Records.size());
  return Block;
}

Integer TOLEMemoryStream::Write(const void*, Integer) {
  throw EStreamError(u"Can't write to a read-only resource stream");
}

bool TVTBlockDataSource::GetNativeData(TBytes& Records) {
  const Byte* P = nullptr;
  std::size_t Size = 0;
  if (!NativeBlockRecords(FNativeBlock.data(), FNativeBlock.size(), P, Size)) return false;
  Records.assign(P, P + Size);
  return true;
}

bool TVTBlockDataSource::GetTreeReference(TBytes& Reference) {
  if (FReference.empty()) return false;
  Reference = FReference;
  return true;
}
