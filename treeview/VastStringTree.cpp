// The string tree's text side: texts, width cache and caption chunk.
#include "treeview/VastStringTree.h"

#include <algorithm>
#include <cstring>

#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"

namespace {

constexpr Integer CaptionChunk = 3;

void WriteInt32(TStream& Stream, Integer Value) {
  const Byte Bytes[4] = {static_cast<Byte>(Value), static_cast<Byte>(Value >> 8), static_cast<Byte>(Value >> 16),
                         static_cast<Byte>(Value >> 24)};
  Stream.WriteBuffer(Bytes, 4);
}

}  // namespace

TCustomVastStringTree::TCustomVastStringTree(IVastTreeHost* Host) : TBaseVastTree(Host) {
  FInternalDataOffset = ReserveInternalData(sizeof(Cardinal));
  SetHeader(FHeaderClass(this));
  FTextHeight = this->Host().TextHeight(u"Wg");
  FEllipsisWidth = this->Host().TextWidth(u"...");
}

TVTHeader& TCustomVastStringTree::Header() const { return dynamic_cast<TVTHeader&>(TBaseVastTree::Header()); }

TVTHeaderClass TCustomVastStringTree::HeaderClass() const { return &TVTHeader::Make<TVTHeader>; }

void TCustomVastStringTree::Assign(const TBaseVastTree& Source) {
  if (&Source == this || ReadOnly()) return;
  TBaseVastTree::Assign(Source);
  if (const auto* Other = dynamic_cast<const TCustomVastStringTree*>(&Source)) Header().Assign(Other->Header());
}

void TCustomVastStringTree::ApplyPartClasses() {
  const TVTHeaderClass Class = HeaderClass();
  if (Class != FHeaderClass) {
    std::unique_ptr<TVTHeader> New = Class(this);
    New->Assign(Header());
    SetHeader(std::move(New));
    FHeaderClass = Class;
  }
  TBaseVastTree::ApplyPartClasses();
}

void TCustomVastStringTree::SetDefaultText(const String& Value) {
  if (Value == FDefaultText) return;
  FDefaultText = Value;
  if (!Loading()) Invalidate();
}

void TCustomVastStringTree::SetStringOptions(TVTStringOptions Value) {
  const bool StaticToggled = Value.Contains(toShowStaticText) != FStringOptions.Contains(toShowStaticText);
  FStringOptions = Value;
  if (StaticToggled && !Loading()) Invalidate();
}

// ---------------------------------------------------------------------------
// Texts

void TCustomVastStringTree::DoGetText(TVSTGetCellTextEventArgs& E) {
  if (E.Node && E.Node != RootNode() && !E.Node->States.Contains(vsInitialized)) InitNode(E.Node);
  if (OnGetCellText) {
    OnGetCellText(this, E);
    return;
  }
  if (OnGetText) {
    OnGetText(this, E.Node, E.Column, ttNormal, E.CellText);
    if (FStringOptions.Contains(toShowStaticText)) OnGetText(this, E.Node, E.Column, ttStatic, E.StaticText);
  }
}

String TCustomVastStringTree::GetText(PVastNode Node, TColumnIndex Column) {
  TVSTGetCellTextEventArgs E;
  E.Node = Node;
  E.Column = Column;
  E.CellText = FDefaultText;
  DoGetText(E);
  return E.CellText;
}

String TCustomVastStringTree::GetStaticText(PVastNode Node, TColumnIndex Column) {
  TVSTGetCellTextEventArgs E;
  E.Node = Node;
  E.Column = Column;
  DoGetText(E);
  return E.StaticText;
}

void TCustomVastStringTree::SetText(PVastNode Node, TColumnIndex Column, const String& Value) {
  DoNewText(Node, Column, Value);
  InvalidateNode(Node);
}

void TCustomVastStringTree::DoNewText(PVastNode Node, TColumnIndex Column, const String& Text) {
  if (OnNewText) OnNewText(this, Node, Column, Text);
  if (UpdateCount() == 0) UpdateScrollBars(true);
}

void TCustomVastStringTree::DoPaintText(PVastNode Node, TCanvas* Canvas, TVSTTextType TextType, TColumnIndex Column) {
  if (OnPaintText) OnPaintText(this, Canvas, Node, Column, TextType);
}

String TCustomVastStringTree::Path(PVastNode Node, TColumnIndex Column, Char Delimiter) {
  if (!Node || Node == RootNode()) return String(1, Delimiter);
  String Result;
  for (PVastNode Run = Node; Run && Run != RootNode(); Run = Run->Parent)
    Result = GetText(Run, Column) + Delimiter + Result;
  return Result;
}

bool TCustomVastStringTree::IsCellEmpty(PVastNode Node, TColumnIndex Column) {
  if (!GetText(Node, Column).empty()) return false;
  return TBaseVastTree::IsCellEmpty(Node, Column);
}

void TCustomVastStringTree::GetTextInfo(PVastNode Node, TColumnIndex Column, TCanvas* Canvas, String& Text,
                                        Integer& TextHeight) {
  DoPaintText(Node, Canvas, ttNormal, Column);
  TextHeight = FTextHeight;
  Text = GetText(Node, Column);
}

// ---------------------------------------------------------------------------
// Width cache. The width lives in the node's internal area; the root has no
// user data area in front of it, so it never holds one.

Cardinal TCustomVastStringTree::CachedTextWidth(PVastNode Node) const {
  if (!Node || Node == RootNode()) return 0;
  Cardinal Width;
  std::memcpy(&Width, InternalData(Node, FInternalDataOffset), sizeof(Width));
  return Width;
}

void TCustomVastStringTree::StoreTextWidth(PVastNode Node, Cardinal Width) {
  if (!Node || Node == RootNode()) return;
  std::memcpy(InternalData(Node, FInternalDataOffset), &Width, sizeof(Width));
}

void TCustomVastStringTree::ResetTextWidth(PVastNode Node) { StoreTextWidth(Node, 0); }

void TCustomVastStringTree::ResetAllTextWidths() {
  for (PVastNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run)) StoreTextWidth(Run, 0);
}

void TCustomVastStringTree::InvalidateNode(PVastNode Node) {
  TBaseVastTree::InvalidateNode(Node);
  ResetTextWidth(Node);
}

void TCustomVastStringTree::ReinitNode(PVastNode Node, bool Recursive) {
  TBaseVastTree::ReinitNode(Node, Recursive);
  ResetTextWidth(Node);
}

void TCustomVastStringTree::SetChildCount(PVastNode Node, Cardinal NewChildCount) {
  TBaseVastTree::SetChildCount(Node, NewChildCount);
  ResetTextWidth(Node);
}

void TCustomVastStringTree::MainColumnChanged() {
  TBaseVastTree::MainColumnChanged();
  ResetAllTextWidths();
}

void TCustomVastStringTree::FontChanged() {
  FTextHeight = Host().TextHeight(u"Wg");
  FEllipsisWidth = Host().TextWidth(u"...");
  ResetAllTextWidths();
}

TSize TCustomVastStringTree::DoMeasureText(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& Text) {
  TSize Result{Host().TextWidth(Text), Host().TextHeight(Text)};
  if (OnMeasureTextWidth) OnMeasureTextWidth(this, Canvas, Node, Column, Text, Result.cx);
  if (OnMeasureTextHeight) OnMeasureTextHeight(this, Canvas, Node, Column, Text, Result.cy);
  return Result;
}

Integer TCustomVastStringTree::MeasureTextWidth(TCanvas* Canvas, PVastNode Node, TColumnIndex Column,
                                                const String& Text) {
  Integer Result = 2 * TextMargin();
  if (!Text.empty()) {
    DoPaintText(Node, Canvas, ttNormal, Column);
    Result += DoMeasureText(Canvas, Node, Column, Text).cx;
  }
  return Result;
}

Integer TCustomVastStringTree::MeasureStaticTextWidth(TCanvas* Canvas, PVastNode Node, TColumnIndex Column,
                                                      const String& Text) {
  if (Text.empty() || Alignment() == taCenter || GetMultiline(Node)) return 0;
  DoPaintText(Node, Canvas, ttStatic, Column);
  return DoMeasureText(Canvas, Node, Column, Text).cx + TextMargin();
}

Integer TCustomVastStringTree::DoGetNodeWidth(PVastNode Node, TColumnIndex Column, TCanvas* Canvas) {
  TVTHeader& H = Header();
  if (Column >= 0 && GetMultiline(Node) && H.Columns().IsValidColumn(Column)) return H.Columns()[Column].Width();
  if (Column != H.MainColumn() && Column != NoColumn)
    return MeasureTextWidth(Canvas, Node, Column, GetText(Node, Column));
  Cardinal Width = CachedTextWidth(Node);
  if (Width == 0 || H.DoingAutoFitColumns()) {
    const Integer Measured = MeasureTextWidth(Canvas, Node, Column, GetText(Node, Column));
    Width = static_cast<Cardinal>(std::max(Measured, 0));
    StoreTextWidth(Node, Width);
  }
  return static_cast<Integer>(Width);
}

Integer TCustomVastStringTree::DoGetNodeExtraWidth(PVastNode Node, TColumnIndex Column, TCanvas* Canvas) {
  if (!FStringOptions.Contains(toShowStaticText)) return 0;
  return MeasureStaticTextWidth(Canvas, Node, Column, GetStaticText(Node, Column));
}

// ---------------------------------------------------------------------------
// Caption chunk

void TCustomVastStringTree::WriteChunks(TStream& Stream, PVastNode Node) {
  TBaseVastTree::WriteChunks(Stream, Node);
  if (!FStringOptions.Contains(toSaveCaptions) || !Node || Node == RootNode() || !Node->States.Contains(vsInitialized))
    return;
  const String Text = GetText(Node, Header().MainColumn());
  if (Text.empty()) return;
  WriteInt32(Stream, CaptionChunk);
  WriteInt32(Stream, static_cast<Integer>(2 * Text.size()));
  for (Char C : Text) {
    const Byte Bytes[2] = {static_cast<Byte>(C & 0xFF), static_cast<Byte>(C >> 8)};
    Stream.WriteBuffer(Bytes, 2);
  }
}

bool TCustomVastStringTree::ReadChunk(TStream& Stream, Integer Version, Integer ChunkType, Integer ChunkSize,
                                      PVastNode Node) {
  if (ChunkType != CaptionChunk) return TBaseVastTree::ReadChunk(Stream, Version, ChunkType, ChunkSize, Node);
  // The reader has checked ChunkSize against the node's end already.
  const Int64 End = Stream.Position() + ChunkSize;
  const Integer Units = ChunkSize / 2;
  String Text(static_cast<std::size_t>(Units), u'\0');
  if (Units > 0) {
    TBytes Bytes(2 * static_cast<std::size_t>(Units));
    Stream.ReadBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
    for (Integer I = 0; I < Units; ++I)
      Text[static_cast<std::size_t>(I)] = static_cast<Char>(Bytes[2 * I] | (Bytes[2 * I + 1] << 8));
  }
  // An odd last byte belongs to no code unit; skip it with the chunk.
  Stream.SetPosition(End);
  SetText(Node, Header().MainColumn(), Text);
  return true;
}

Integer TCustomVastStringTree::DoIncrementalSearch(PVastNode Node, const String& Text) {
  if (OnIncrementalSearch) return TBaseVastTree::DoIncrementalSearch(Node, Text);
  const String Cell = GetText(Node, FocusedColumn());
  if (Cell.size() < Text.size()) return 1;
  auto Fold = [](Char C) -> Char {
    if (C >= u'A' && C <= u'Z') return static_cast<Char>(C + 32);
    // Latin-1 capitals fold too (the multiplication sign is not a letter).
    if (C >= 0xC0 && C <= 0xDE && C != 0xD7) return static_cast<Char>(C + 32);
    return C;
  };
  for (std::size_t I = 0; I < Text.size(); ++I)
    if (Fold(Cell[I]) != Fold(Text[I])) return 1;
  return 0;
}

String TCustomVastStringTree::DoGetNodeHint(PVastNode Node, TColumnIndex Column,
                                            TVTTooltipLineBreakStyle& LineBreakStyle) {
  String Result = TBaseVastTree::DoGetNodeHint(Node, Column, LineBreakStyle);
  if (OnGetHint) OnGetHint(this, Node, Column, LineBreakStyle, Result);
  return Result;
}

String TCustomVastStringTree::DoGetNodeTooltip(PVastNode Node, TColumnIndex Column,
                                               TVTTooltipLineBreakStyle& LineBreakStyle) {
  String Result = TBaseVastTree::DoGetNodeTooltip(Node, Column, LineBreakStyle);
  if (OnGetHint)
    OnGetHint(this, Node, Column, LineBreakStyle, Result);
  else
    Result = GetText(Node, Column);
  return Result;
}

// ---------------------------------------------------------------------------
// Remembered selection

bool TCustomVastStringTree::RemembersSelection() const {
  return OnGetText && TreeOptions().SelectionOptions().Contains(toRestoreSelection);
}

String TCustomVastStringTree::RememberedText(PVastNode Node) {
  String Text;
  OnGetText(this, Node, 0, ttNormal, Text);
  return Text;
}

void TCustomVastStringTree::NodeJoinedSelection(PVastNode Node) {
  TBaseVastTree::NodeJoinedSelection(Node);
  if (!RemembersSelection()) return;
  const bool Restoring = HasState(tsPreviouslySelectedLocked);
  // The first node of a new selection starts the list afresh; one selected
  // again because it was remembered changes nothing.
  if (!Restoring && FSelectedTexts.empty()) FPreviouslySelected.clear();
  if (FSelectedTexts.contains(Node)) return;
  auto Entry = FPreviouslySelected.try_emplace(AnsiUpperCase(RememberedText(Node)), 0).first;
  ++Entry->second;
  FSelectedTexts.emplace(Node, &Entry->first);
}

void TCustomVastStringTree::NodeLeftSelection(PVastNode Node, bool NodeGoes) {
  TBaseVastTree::NodeLeftSelection(Node, NodeGoes);
  // Kept up whether or not the option is on now: a stale entry would name
  // a freed node.
  auto It = FSelectedTexts.find(Node);
  if (It == FSelectedTexts.end()) return;
  const String* Text = It->second;
  FSelectedTexts.erase(It);
  if (!NodeGoes && FSelectedTexts.empty()) {
    FPreviouslySelected.clear();
    return;
  }
  auto Count = FPreviouslySelected.find(*Text);
  if (Count == FPreviouslySelected.end()) return;
  if (Count->second > 0) --Count->second;
  if (Count->second == 0 && !NodeGoes) FPreviouslySelected.erase(Count);
}

PVastNode TCustomVastStringTree::AddChild(PVastNode Parent, void* UserData) {
  PVastNode Node = TBaseVastTree::AddChild(Parent, UserData);
  if (!Node || FPreviouslySelected.empty() || !RemembersSelection()) return Node;
  if (!FPreviouslySelected.contains(AnsiUpperCase(RememberedText(Node)))) return Node;
  {
    // Selecting it again must not change what is remembered.
    DoStateChange({tsPreviouslySelectedLocked});
    TScopeExit Unlock([this] { DoStateChange({}, {tsPreviouslySelectedLocked}); });
    SetSelected(Node, true);
  }
  if (PVastNode First = GetFirstSelected()) SetFullyVisible(First, true);
  return Node;
}
