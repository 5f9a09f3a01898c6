// The binary tree stream: a signature, a node count and nested node chunks.
// Reading trusts nothing: states are whitelisted, child counts are bounded by
// the bytes present, nesting is bounded by the bytes, and a short read is an error.
#include <algorithm>
#include <cstring>
#include <vector>

#include "treeview/VastTrees.h"

namespace {

constexpr Integer NodeChunk = 1;
constexpr Integer BaseChunk = 2;
constexpr Integer UserChunk = 4;
constexpr Integer ChunkHeaderSize = 8;
constexpr Integer BaseRecordSize[4] = {0, 12, 17, 19};
// The smallest node chunk a child can take: its header, a base chunk header
// and the smallest base record.
constexpr Int64 MinNodeChunkSize = 2 * ChunkHeaderSize + 12;

const TVastNodeStates WrittenStatesMask = TVastNodeStates::FromBits(
    ~TVastNodeStates{vsChecking, vsCutOrCopy, vsDeleting, vsOnFreeNodeCallRequired, vsHeightMeasured}.Bits());
// The only states a stream may give a node. Transient states and the
// interface-release flag (which would make the tree release garbage) stay out.
const TVastNodeStates ReadStatesWhitelist{vsInitialized, vsDisabled, vsExpanded,  vsHasChildren,
                                          vsVisible,     vsSelected, vsMultiline, vsFiltered};

[[noreturn]] void Fail(const char16_t* Message, int HelpContext) { throw EVastTreeError(Message, HelpContext); }
[[noreturn]] void FailShort() {
  Fail(u"Unable to load tree structure, not enough data available.", hcTFStreamTooSmall);
}
[[noreturn]] void FailAnchor() { Fail(u"Stream data corrupt. A node's anchor chunk is missing.", hcTFCorruptStream1); }
[[noreturn]] void FailEnd() {
  Fail(u"Stream data corrupt. Unexpected data after node's end position.", hcTFCorruptStream2);
}

void WriteInt32(TStream& Stream, Integer Value) {
  const Byte Bytes[4] = {static_cast<Byte>(Value), static_cast<Byte>(Value >> 8), static_cast<Byte>(Value >> 16),
                         static_cast<Byte>(Value >> 24)};
  Stream.WriteBuffer(Bytes, 4);
}

Integer GetInt32(const Byte* P) {
  return static_cast<Integer>(static_cast<Cardinal>(P[0]) | (static_cast<Cardinal>(P[1]) << 8) |
                              (static_cast<Cardinal>(P[2]) << 16) | (static_cast<Cardinal>(P[3]) << 24));
}

// Reads exactly Count bytes or raises the short-data error.
void ReadExact(TStream& Stream, void* Buffer, Integer Count) {
  if (Stream.Read(Buffer, Count) != Count) FailShort();
}

void WriteSignature(TStream& Stream) {
  const char16_t Units[6] = {0x2045, u'V', u'T', static_cast<char16_t>(TreeStreamVersion), u' ', 0x2046};
  for (char16_t U : Units) {
    const Byte Bytes[2] = {static_cast<Byte>(U & 0xFF), static_cast<Byte>(U >> 8)};
    Stream.WriteBuffer(Bytes, 2);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Writing

void TBaseVastTree::SaveToStream(TStream& Stream, PVastNode Node) {
  WriteSignature(Stream);
  if (Node && Node != FRoot) {
    WriteInt32(Stream, 1);
    WriteNode(Stream, Node);
  } else {
    WriteInt32(Stream, static_cast<Integer>(FRoot->ChildCount));
    for (PVastNode Run = FRoot->FirstChild; Run; Run = Run->NextSibling) WriteNode(Stream, Run);
  }
  if (OnSaveTree) OnSaveTree(this, &Stream);
}

void TBaseVastTree::SaveToFile(const String& FileName) {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(Stream, nullptr);
}

void TBaseVastTree::PatchChunkSize(TStream& Stream, Int64 ChunkStart, Int64 ChunkEnd) {
  Stream.SetPosition(ChunkStart + 4);
  WriteInt32(Stream, static_cast<Integer>(ChunkEnd - ChunkStart - ChunkHeaderSize));
  Stream.SetPosition(ChunkEnd);
}

// Iterative: a tree may be far deeper than the stack allows recursion. A
// node's other chunks follow its base chunk, which holds its children.
void TBaseVastTree::WriteNode(TStream& Stream, PVastNode Node) {
  struct TOpenNode {
    PVastNode Node;
    Int64 Start;
    Int64 BaseStart;
  };
  std::vector<TOpenNode> Open;
  PVastNode Run = Node;
  for (;;) {
    if (FOptions->MiscOptions().Contains(toInitOnSave)) {
      if (!Run->States.Contains(vsInitialized)) InitNode(Run);
      if (Run->States.Contains(vsHasChildren) && Run->ChildCount == 0) InitChildren(Run);
    }
    const Int64 Start = Stream.Position();
    WriteInt32(Stream, NodeChunk);
    WriteInt32(Stream, 0);
    const Int64 BaseStart = Stream.Position();
    WriteInt32(Stream, BaseChunk);
    WriteInt32(Stream, 0);
    // An uninitialised node's children are not written, so its child count is
    // written as 0: a reader could not read children that are not there.
    const bool WithChildren = Run->States.Contains(vsInitialized);
    Cardinal Written = 0;
    if (WithChildren)
      for (PVastNode Child = Run->FirstChild; Child; Child = Child->NextSibling) ++Written;
    const TCheckState Check = GetCheckState(Run);
    WriteInt32(Stream, static_cast<Integer>(Written));
    WriteInt32(Stream, Run->NodeHeight);
    const Cardinal States = (Run->States * WrittenStatesMask).Bits();
    WriteInt32(Stream, static_cast<Integer>(States));
    const Byte Tail[3] = {Run->Align, static_cast<Byte>(Check), static_cast<Byte>(Run->CheckType)};
    Stream.WriteBuffer(Tail, 3);
    WriteInt32(Stream, 0);
    Open.push_back({Run, Start, BaseStart});
    if (WithChildren && Run->FirstChild) {
      Run = Run->FirstChild;
      continue;
    }
    for (;;) {
      const TOpenNode Done = Open.back();
      Open.pop_back();
      PatchChunkSize(Stream, Done.BaseStart, Stream.Position());
      WriteChunks(Stream, Done.Node);
      PatchChunkSize(Stream, Done.Start, Stream.Position());
      if (Open.empty()) return;
      if (Done.Node->NextSibling) {
        Run = Done.Node->NextSibling;
        break;
      }
    }
  }
}

void TBaseVastTree::WriteChunks(TStream& Stream, PVastNode Node) {
  const Int64 UserStart = Stream.Position();
  WriteInt32(Stream, UserChunk);
  WriteInt32(Stream, 0);
  DoSaveNode(Node, &Stream);
  const Int64 UserEnd = Stream.Position();
  if (UserEnd == UserStart + ChunkHeaderSize) {
    Stream.SetPosition(UserStart);
    Stream.SetSize(UserStart);
  } else {
    PatchChunkSize(Stream, UserStart, UserEnd);
  }
}

// ---------------------------------------------------------------------------
// Reading

void TBaseVastTree::ReadStreamSignature(TStream& Stream, Integer& Version, bool Strict) {
  Byte Bytes[12];
  if (Strict)
    Stream.ReadBuffer(Bytes, 12);
  else
    ReadExact(Stream, Bytes, 12);
  auto Unit = [&Bytes](int I) { return static_cast<char16_t>(Bytes[2 * I] | (Bytes[2 * I + 1] << 8)); };
  if (Unit(0) != 0x2045 || Unit(1) != u'V' || Unit(2) != u'T' || Unit(5) != 0x2046)
    Fail(u"Unable to load tree structure, the format is wrong.", hcTFWrongStreamFormat);
  Version = Unit(3);
  // Version 0 has no base record layout.
  if (Version > TreeStreamVersion || Version == 0)
    Fail(u"Unable to load tree structure, the version is unknown.", hcTFWrongStreamVersion);
}

// Reads the node count (version 2 and later) and then the top nodes of a
// stream into Target's child list, inside one update; a whole-tree load
// ends with OnLoadTree.
void TBaseVastTree::ReadTopNodes(TStream& Stream, Integer Version, PVastNode Target, bool WholeTree) {
  TUpdateGuard Update(*this);
  Int64 Count = -1;
  if (Version >= 2) {
    Integer Stored;
    Stream.ReadBuffer(&Stored, 4);
    Count = std::max<Integer>(GetInt32(reinterpret_cast<const Byte*>(&Stored)), 0);
  }
  while (Stream.Position() < Stream.Size() && Count != 0) {
    if (Count > 0) --Count;
    PVastNode Node = AllocateNode();
    LinkNode(Node, Target, this, amAddChildLast);
    InsertStreamNode(Stream, Version, Node);
  }
  DoNodeCopied(Target == FRoot ? nullptr : Target);
  if (WholeTree && OnLoadTree) OnLoadTree(this, &Stream);
}

void TBaseVastTree::LoadFromStream(TStream& Stream) {
  if (ReadOnly()) return;
  Clear();
  Integer Version;
  ReadStreamSignature(Stream, Version, false);
  ReadTopNodes(Stream, Version, FRoot, true);
}

void TBaseVastTree::LoadFromFile(const String& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(Stream);
}

void TBaseVastTree::AddFromStream(TStream& Stream, PVastNode TargetNode) {
  if (ReadOnly()) return;
  if (!TargetNode) TargetNode = FRoot;
  Integer Version;
  ReadStreamSignature(Stream, Version, true);
  ReadTopNodes(Stream, Version, TargetNode, false);
}

void TBaseVastTree::SkipNode(TStream& Stream) {
  Byte Header[ChunkHeaderSize];
  ReadExact(Stream, Header, ChunkHeaderSize);
  if (GetInt32(Header) != NodeChunk) FailAnchor();
  const Integer Size = GetInt32(Header + 4);
  if (Size < 0 || Size > Stream.Size() - Stream.Position()) FailShort();
  Stream.Seek(Size, soCurrent);
}

// Iterative: a tree may be far deeper than the stack allows recursion; the
// open nodes are kept on the heap. Every level takes bytes of its own, so
// the depth is bounded by the data present.
void TBaseVastTree::ReadNode(TStream& Stream, Integer Version, PVastNode Node) {
  struct TOpenNode {
    PVastNode Node;
    Integer Version;
    Int64 End;
    Int64 BaseEnd = -1;
    Integer ChildrenLeft = 0;
    bool BaseRead = false;
  };
  std::vector<TOpenNode> Open;
  Byte Header[ChunkHeaderSize];
  auto OpenNode = [&](PVastNode Target, Integer TargetVersion, Int64 Limit) {
    ReadExact(Stream, Header, ChunkHeaderSize);
    if (GetInt32(Header) != NodeChunk) FailAnchor();
    const Integer Size = GetInt32(Header + 4);
    if (Size < 0 || Size > Limit - Stream.Position()) FailShort();
    Open.push_back({Target, TargetVersion, Stream.Position() + Size});
  };
  OpenNode(Node, Version, Stream.Size());
  while (!Open.empty()) {
    TOpenNode& Top = Open.back();
    if (Top.ChildrenLeft > 0) {
      // Children are appended one by one, so the counts stay true to what
      // was actually read when a later child fails.
      --Top.ChildrenLeft;
      PVastNode Parent = Top.Node;
      PVastNode Child = AllocateNode();
      Child->Parent = Parent;
      Child->PrevSibling = Parent->LastChild;
      Child->Index = Parent->LastChild ? Parent->LastChild->Index + 1 : 0;
      if (Parent->LastChild)
        Parent->LastChild->NextSibling = Child;
      else
        Parent->FirstChild = Child;
      Parent->LastChild = Child;
      ++Parent->ChildCount;
      OpenNode(Child, Top.Version, Top.BaseEnd);
      continue;
    }
    if (Top.BaseEnd >= 0) {
      if (Stream.Position() > Top.BaseEnd) FailEnd();
      Top.BaseEnd = -1;
    }
    if (Stream.Position() < Top.End) {
      if (Top.End - Stream.Position() < ChunkHeaderSize) FailShort();
      ReadExact(Stream, Header, ChunkHeaderSize);
      const Integer ChunkType = GetInt32(Header);
      const Integer ChunkSize = GetInt32(Header + 4);
      if (ChunkSize < 0 || ChunkSize > Top.End - Stream.Position()) FailShort();
      if (ChunkType == BaseChunk) {
        // A node has one base chunk: a second would restart the child count
        // while the children of the first stay linked.
        if (Top.BaseRead) FailEnd();
        Top.BaseRead = true;
        Top.BaseEnd = Stream.Position() + ChunkSize;
        Top.ChildrenLeft = ReadBaseRecord(Stream, Top.Version, Top.Node, ChunkSize);
      } else {
        ReadChunk(Stream, Top.Version, ChunkType, ChunkSize, Top.Node);
      }
      continue;
    }
    if (Stream.Position() != Top.End) FailEnd();
    Open.pop_back();
  }
}

Integer TBaseVastTree::ReadBaseRecord(TStream& Stream, Integer& Version, PVastNode Node, Integer ChunkSize) {
  Byte Record[19] = {};
  Integer RecordSize = BaseRecordSize[Version];
  if (ChunkSize < RecordSize) FailShort();
  ReadExact(Stream, Record, RecordSize);
  TVastNodeStates States;
  Byte Align, Check, CheckType;
  if (Version == 2 && Record[12] == 0) {
    // Written by a version-3 writer under version 2: read again as such.
    if (ChunkSize < 19) FailShort();
    Stream.Seek(-RecordSize, soCurrent);
    RecordSize = 19;
    ReadExact(Stream, Record, RecordSize);
    Version = 3;
  }
  const Integer ChildCount = GetInt32(Record);
  const Integer Height = GetInt32(Record + 4);
  switch (Version) {
    case 1:
      States = TVastNodeStates::FromBits(Record[8]);
      States.Include((Record[8] & 0x80) ? vsSelected : vsVisible);
      Align = Record[9];
      Check = Record[10];
      CheckType = Record[11];
      break;
    case 2:
      States = TVastNodeStates::FromBits(static_cast<Cardinal>(Record[8] | (Record[9] << 8)));
      Align = Record[10];
      Check = Record[11];
      CheckType = Record[12];
      break;
    default:
      States = TVastNodeStates::FromBits(static_cast<Cardinal>(GetInt32(Record + 8)));
      Align = Record[12];
      Check = Record[13];
      CheckType = Record[14];
      break;
  }
  // Every child needs at least a minimal node chunk inside this base chunk.
  const Int64 Room = static_cast<Int64>(ChunkSize) - RecordSize;
  if (ChildCount < 0 || static_cast<Int64>(ChildCount) * MinNodeChunkSize > Room) FailShort();

  Node->States = (States * ReadStatesWhitelist) + (Node->States * TVastNodeStates{vsReleaseCallOnUserDataRequired});
  Node->NodeHeight = static_cast<Word>(std::clamp<Integer>(Height, 0, 0xFFFF));
  Node->TotalHeight = Node->NodeHeight;
  Node->Align = std::min<Byte>(Align, 100);
  Node->CheckState = Check <= csMixedDisabled ? static_cast<TCheckState>(Check) : csUncheckedNormal;
  Node->CheckType = CheckType <= ctButton ? static_cast<TCheckType>(CheckType) : ctNone;

  Node->ChildCount = 0;
  return ChildCount;
}

bool TBaseVastTree::ReadChunk(TStream& Stream, Integer /*Version*/, Integer ChunkType, Integer ChunkSize,
                              PVastNode Node) {
  switch (ChunkType) {
    case UserChunk: {
      if (ChunkSize <= 0) return true;
      const Int64 Start = Stream.Position();
      DoLoadNode(Node, &Stream);
      const Int64 After = Stream.Position();
      if (After != Start + ChunkSize) Stream.SetPosition(Start + ChunkSize);
      return After != Start;
    }
    default:
      Stream.Seek(ChunkSize, soCurrent);
      return false;
  }
}

void TBaseVastTree::InsertStreamNode(TStream& Stream, Integer Version, PVastNode Node) {
  PVastNode Parent = Node->Parent;
  const bool Expanded = Parent->States.Contains(vsExpanded);
  const Cardinal HeightBefore = (Expanded && Node->States.Contains(vsVisible)) ? Node->TotalHeight : 0;
  const Cardinal VisibleBefore = (GetFullyVisible(Node) && !GetEffectivelyFiltered(Node)) ? 1 : 0;
  StopCacheValidation();

  std::exception_ptr Failure;
  try {
    ReadNode(Stream, Version, Node);
  } catch (...) {
    Failure = std::current_exception();
  }

  // Whatever was read, complete or not, is settled into a consistent subtree.
  for (PVastNode Run = Node; Run;) {
    if (Run->ChildCount == 0)
      ExcludeNodeStates(Run, {vsExpanded});
    else
      IncludeNodeStates(Run, {vsHasChildren});
    if (Run->FirstChild) {
      Run = Run->FirstChild;
      continue;
    }
    while (Run != Node && !Run->NextSibling) Run = Run->Parent;
    Run = Run == Node ? nullptr : Run->NextSibling;
  }
  Node->TotalCount = 1;
  RecomputeTotalCount(Node);
  AdjustTotalCount(Parent, static_cast<Integer>(Node->TotalCount) - 1, true);
  Node->TotalHeight = GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight;
  RecomputeTotalHeight(Node);
  const Cardinal HeightAfter = (Expanded && Node->States.Contains(vsVisible)) ? Node->TotalHeight : 0;
  AdjustTotalHeight(Parent, static_cast<Integer>(HeightAfter) - static_cast<Integer>(HeightBefore), true);
  const Cardinal VisibleAfter =
      GetFullyVisible(Node) ? CountVisibleDescendants(Node) + (GetEffectivelyFiltered(Node) ? 0 : 1) : 0;
  FVisibleCount += VisibleAfter - VisibleBefore;
  CheckSelectionAfterRead(Node);
  if (Parent != FRoot) UpdateAllChildrenHidden(Parent);
  InvalidateCache();
  if (Failure) std::rethrow_exception(Failure);
}

void TBaseVastTree::CheckSelectionAfterRead(PVastNode Node) {
  const bool Multi = FOptions->SelectionOptions().Contains(toMultiSelect);
  TNodeArray Found;
  for (PVastNode Run = Node; Run;) {
    if (Run->States.Contains(vsSelected)) {
      Integer Index;
      if (!Multi || FindInSelection(Run, Index)) {
        if (!Multi) ExcludeNodeStates(Run, {vsSelected});
      } else {
        ExcludeNodeStates(Run, {vsSelected});
        Found.push_back(Run);
      }
    }
    if (Run->FirstChild) {
      Run = Run->FirstChild;
      continue;
    }
    while (Run != Node && !Run->NextSibling) Run = Run->Parent;
    Run = Run == Node ? nullptr : Run->NextSibling;
  }
  if (!Found.empty()) InsertIntoSelection(Found, static_cast<Integer>(Found.size()), true);
}
