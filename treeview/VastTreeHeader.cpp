// Columns and header: display order, layout, width limits and distribution,
// sorting settings and the header stream. Stream reading trusts nothing: counts
// and lengths are checked against the bytes present before anything is
// allocated, enumerations against their ranges, and the position entries must
// form a permutation.
#include "treeview/VastTreeHeader.h"

#include <algorithm>
#include <limits>
#include <cmath>

#include "rtl/Encoding.h"
#include "rtl/ScopeExit.h"
#include "rtl/UpdateGuard.h"

namespace {

constexpr Integer HeaderStreamVersion = 6;
// The smallest column record of any version: two empty strings, nine
// numbers and the options.
constexpr Int64 MinColumnRecordSize = 12 * 4;

[[noreturn]] void Corrupt() { throw EReadError(u"Stream read error"); }

void WriteInt32(TStream& Stream, Integer Value) {
  const Byte Bytes[4] = {static_cast<Byte>(Value), static_cast<Byte>(Value >> 8), static_cast<Byte>(Value >> 16),
                         static_cast<Byte>(Value >> 24)};
  Stream.WriteBuffer(Bytes, 4);
}

Integer ReadInt32(TStream& Stream) {
  Byte B[4];
  Stream.ReadBuffer(B, 4);
  return static_cast<Integer>(static_cast<Cardinal>(B[0]) | (static_cast<Cardinal>(B[1]) << 8) |
                              (static_cast<Cardinal>(B[2]) << 16) | (static_cast<Cardinal>(B[3]) << 24));
}

Int64 Remaining(TStream& Stream) { return Stream.Size() - Stream.Position(); }

// An enumeration value of the stream, which must name a member.
template <class E>
E ReadEnum(TStream& Stream, E Last) {
  const Integer Value = ReadInt32(Stream);
  if (Value < 0 || Value > static_cast<Integer>(Last)) Corrupt();
  return static_cast<E>(Value);
}

bool ReadBool(TStream& Stream) {
  const Integer Value = ReadInt32(Stream);
  if (Value != 0 && Value != 1) Corrupt();
  return Value != 0;
}

void WriteText(TStream& Stream, const String& Text) {
  WriteInt32(Stream, static_cast<Integer>(Text.size()));
  for (Char C : Text) {
    const Byte Bytes[2] = {static_cast<Byte>(C & 0xFF), static_cast<Byte>(C >> 8)};
    Stream.WriteBuffer(Bytes, 2);
  }
}

String ReadText(TStream& Stream) {
  const Integer Length = ReadInt32(Stream);
  if (Length < 0 || 2 * static_cast<Int64>(Length) > Remaining(Stream)) Corrupt();
  TBytes Bytes(2 * static_cast<std::size_t>(Length));
  if (Length > 0) Stream.ReadBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
  String Text(static_cast<std::size_t>(Length), u'\0');
  for (Integer I = 0; I < Length; ++I)
    Text[static_cast<std::size_t>(I)] = static_cast<Char>(Bytes[2 * I] | (Bytes[2 * I + 1] << 8));
  return Text;
}

}  // namespace

// ---------------------------------------------------------------------------
// Column

TVastTreeColumn::TVastTreeColumn(TVastTreeColumns* Owner) : FOwner(Owner) {
  if (!FOwner) return;
  FWidth = FOwner->FDefaultWidth;
  FLastWidth = FOwner->FDefaultWidth;
  FIndex = FOwner->Count();
  FPosition = static_cast<TColumnPosition>(FOwner->Count());
  // A new column reads in the tree's direction (coParentBidiMode).
  if (FOwner->FHeader && FOwner->FHeader->FOwner) FBiDiMode = FOwner->FHeader->FOwner->BiDiMode();
}

void TVastTreeColumn::ParentBiDiModeChanged(TBiDiMode Value) {
  if (!FOptions.Contains(coParentBidiMode) || Value == FBiDiMode) return;
  FBiDiMode = Value;
  Changed();
}

void TVastTreeColumn::Changed() {
  if (FOwner && FOwner->FUpdateCount == 0) FOwner->Update(this);
}

void TVastTreeColumn::SetText(const String& Value) {
  if (FText == Value) return;
  FText = Value;
  FCaptionText.clear();
  Changed();
}

void TVastTreeColumn::SetWidth(Integer Value) {
  TVTHeader* Header = FOwner->FHeader;
  if (!Header->FStates.Contains(hsScaling)) {
    if (FOptions.ContainsAll(TVTColumnOptions{coVisible, coFixed})) {
      // The visible fixed columns share the fixed area's limits.
      Integer MaxFixed = 0, MinFixed = 0;
      for (const auto& C : FOwner->FItems)
        if (C->FOptions.ContainsAll(TVTColumnOptions{coVisible, coFixed})) {
          MaxFixed += C->FMaxWidth;
          MinFixed += C->FMinWidth;
        }
      const Integer MaxPercent = Header->FFixedAreaConstraints.MaxWidthPercent();
      const Integer MinPercent = Header->FFixedAreaConstraints.MinWidthPercent();
      const Integer ClientWidth = Header->FClientWidth;
      if (MaxPercent > 0) MinFixed = std::min(MinFixed, ClientWidth * MaxPercent / 100);
      if (MinPercent > 0) MaxFixed = std::max(MaxFixed, ClientWidth * MinPercent / 100);
      const Integer Others = FOwner->GetVisibleFixedWidth() - FWidth;
      const Integer Low = std::max(FMinWidth, MinFixed - Others);
      const Integer High = std::min(FMaxWidth, MaxFixed - Others);
      Value = std::min(std::max(Value, Low), High);
      if (MinPercent > 0) Value = std::max(Value, ClientWidth * MinPercent / 100 - Others);
      if (MaxPercent > 0) Value = std::min(Value, ClientWidth * MaxPercent / 100 - Others);
      // The percentages may not push a column past its own limits.
      Value = std::clamp(Value, FMinWidth, FMaxWidth);
    } else {
      Value = std::min(FMaxWidth, std::max(FMinWidth, Value));
    }
  }
  if (Value == FWidth) return;
  FLastWidth = FWidth;
  if (!Header->FStates.Contains(hsResizing)) FBonusPixel = false;
  const bool AutoSized = Header->FOptions.Contains(hoAutoResize) && FIndex == Header->FAutoSizeIndex;
  if (!AutoSized) {
    FWidth = Value;
    FOwner->LayoutColumns(false);
  }
  if (Header->TreeLoading() || FOwner->FUpdateCount > 0) return;
  if (Header->FOptions.Contains(hoAutoResize)) FOwner->FitAutoSizeColumn(false);
  Header->FOwner->DoColumnResize(FIndex);
}

void TVastTreeColumn::SetMinWidth(Integer Value) {
  Value = std::min(std::max(Value, 0), FMaxWidth);
  if (Value == FMinWidth) return;
  FMinWidth = Value;
  SetWidth(FWidth);
}

void TVastTreeColumn::SetMaxWidth(Integer Value) {
  Value = std::max(Value, FMinWidth);
  if (Value == FMaxWidth) return;
  FMaxWidth = Value;
  SetWidth(FWidth);
}

void TVastTreeColumn::SetPosition(TColumnPosition Value) {
  TVTHeader* Header = FOwner->FHeader;
  if (Header->TreeLoading() || FOwner->FUpdateCount > 0) {
    FPosition = Value;
    return;
  }
  // Compared unsigned: -1 and anything past the end mean the last position.
  const TColumnPosition Count = static_cast<TColumnPosition>(FOwner->Count());
  if (Value >= Count) Value = Count - 1;
  if (Value == FPosition) return;
  FOwner->ResizePositionMap();
  Header->FOwner->CancelEditNode();
  FOwner->MoveInPositionMap(FIndex, Value);
  Changed();
  if (FOwner->FUpdateCount == 0 && Header->HasWindow()) {
    Header->Invalidate(this);
    Header->InvalidateTree();
  }
  // Fixed-ness follows the neighbour the column moved next to.
  TColumnIndex Neighbour = InvalidColumn;
  if (FOptions.Contains(coFixed) && FPosition > 0)
    Neighbour = FOwner->ColumnFromPosition(FPosition - 1);
  else if (!FOptions.Contains(coFixed))
    Neighbour = FOwner->ColumnFromPosition(FPosition + 1);
  if (Neighbour >= 0) {
    TVTColumnOptions NewOptions = FOptions;
    if (FOwner->Items(Neighbour).FOptions.Contains(coFixed))
      NewOptions.Include(coFixed);
    else
      NewOptions.Exclude(coFixed);
    SetOptions(NewOptions);
  }
}

void TVastTreeColumn::SetOptions(TVTColumnOptions Value) {
  if (Value == FOptions) return;
  const TVTColumnOptions ToSet = Value - FOptions;
  const TVTColumnOptions ToClear = FOptions - Value;
  FOptions = Value;
  TVTHeader* Header = FOwner->FHeader;
  if (ToSet.Contains(coParentColor)) FOptions.Include(coStyleColor);
  if (ToSet.Contains(coAutoSpring)) FSpringRest = 0;
  if ((ToSet.Contains(coFixed) || ToClear.Contains(coFixed)) && FOptions.Contains(coVisible))
    Header->ReapplyConstraints();
  Changed();
  const bool VisibilityChanged = ToSet.Contains(coVisible) || ToClear.Contains(coVisible);
  if (!Header->IsLoading() && (VisibilityChanged || ToSet.Contains(coParentColor)) && FOwner->FUpdateCount == 0 &&
      Header->HasWindow()) {
    Header->InvalidateTree();
    if (VisibilityChanged) {
      Header->FOwner->DoColumnVisibilityChanged(FIndex, ToSet.Contains(coVisible));
      Header->UpdateHorizontalScrollBar(false);
    }
  }
}

void TVastTreeColumn::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Changed();
  FOwner->FHeader->InvalidateTree();
}

void TVastTreeColumn::SetCaptionAlignment(TAlignment Value) {
  if (FOptions.Contains(coUseCaptionAlignment) && Value == FCaptionAlignment) return;
  FCaptionAlignment = Value;
  FOptions.Include(coUseCaptionAlignment);
  FOwner->FHeader->Invalidate(this);
}

void TVastTreeColumn::SetBiDiMode(TBiDiMode Value) {
  if (Value == FBiDiMode) return;
  FBiDiMode = Value;
  FOptions.Exclude(coParentBidiMode);
  Changed();
  FOwner->FHeader->InvalidateTree();
}

void TVastTreeColumn::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  FOptions -= TVTColumnOptions{coParentColor, coStyleColor};
  Changed();
  FOwner->FHeader->InvalidateTree();
}

void TVastTreeColumn::SetCheckBox(bool Value) {
  if (Value == FCheckBox) return;
  FCheckBox = Value;
  Changed();
}

void TVastTreeColumn::SetCheckType(TCheckType Value) {
  if (Value == FCheckType) return;
  FCheckType = Value;
  Changed();
}

void TVastTreeColumn::SetCheckState(TCheckState Value) {
  if (Value == FCheckState) return;
  FCheckState = Value;
  Changed();
}

void TVastTreeColumn::SetImageIndex(TImageIndex Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  Changed();
}

void TVastTreeColumn::SetLayout(TVTHeaderColumnLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Changed();
}

void TVastTreeColumn::SetMargin(Integer Value) {
  if (Value < 0) Value = 4;
  if (Value == FMargin) return;
  FMargin = Value;
  Changed();
}

void TVastTreeColumn::SetSpacing(Integer Value) {
  if (Value == FSpacing) return;
  FSpacing = Value;
  Changed();
}

void TVastTreeColumn::SetStyle(TVastTreeColumnStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

Integer TVastTreeColumn::Left() const {
  if (FOptions.ContainsAll(TVTColumnOptions{coVisible, coFixed})) return FLeft;
  return FLeft - FOwner->FHeader->EffectiveOffsetX();
}

String TVastTreeColumn::GetDisplayName() const {
  for (Char C : FText)
    if (C > 0xFF) {
      const std::string Name = "Column " + std::to_string(FIndex);
      return String(Name.begin(), Name.end());
    }
  return FText;
}

void TVastTreeColumn::Assign(const TVastTreeColumn& Source) {
  // Without options the setters below have no option side effects.
  const TVTColumnOptions Saved = FOptions;
  FOptions = TVTColumnOptions{};
  SetBiDiMode(Source.FBiDiMode);
  SetImageIndex(Source.FImageIndex);
  SetLayout(Source.FLayout);
  SetMargin(Source.FMargin);
  SetMaxWidth(Source.FMaxWidth);
  SetMinWidth(Source.FMinWidth);
  SetPosition(Source.FPosition);
  SetSpacing(Source.FSpacing);
  SetStyle(Source.FStyle);
  SetText(Source.FText);
  SetHint(Source.FHint);
  SetWidth(Source.FWidth);
  SetAlignment(Source.FAlignment);
  SetCaptionAlignment(Source.CaptionAlignment());
  SetColor(Source.FColor);
  SetTag(Source.FTag);
  SetEditOptions(Source.FEditOptions);
  SetEditNextColumn(Source.FEditNextColumn);
  FOptions = Saved;
  SetOptions(Source.FOptions);
  Changed();
}

bool TVastTreeColumn::Equals(const TVastTreeColumn& Other) const {
  return FBiDiMode == Other.FBiDiMode && FImageIndex == Other.FImageIndex && FLayout == Other.FLayout &&
         FMargin == Other.FMargin && FMaxWidth == Other.FMaxWidth && FMinWidth == Other.FMinWidth &&
         FPosition == Other.FPosition && FSpacing == Other.FSpacing && FStyle == Other.FStyle && FText == Other.FText &&
         FHint == Other.FHint && FWidth == Other.FWidth && FAlignment == Other.FAlignment &&
         CaptionAlignment() == Other.CaptionAlignment() && FColor == Other.FColor && FTag == Other.FTag &&
         FOptions == Other.FOptions;
}

void TVastTreeColumn::RestoreLastWidth() { FOwner->AnimatedResize(FIndex, FLastWidth); }

void TVastTreeColumn::SaveToStream(TStream& Stream) const {
  WriteText(Stream, FText);
  WriteText(Stream, FHint);
  WriteInt32(Stream, FWidth);
  WriteInt32(Stream, FMinWidth);
  WriteInt32(Stream, FMaxWidth);
  WriteInt32(Stream, FStyle);
  WriteInt32(Stream, FImageIndex);
  WriteInt32(Stream, FLayout);
  WriteInt32(Stream, FMargin);
  WriteInt32(Stream, FSpacing);
  WriteInt32(Stream, FBiDiMode);
  WriteInt32(Stream, static_cast<Integer>(FOptions.Bits()));
  WriteInt32(Stream, static_cast<Integer>(FTag));
  WriteInt32(Stream, FAlignment);
  WriteInt32(Stream, FColor);
  if (FOptions.Contains(coUseCaptionAlignment)) WriteInt32(Stream, FCaptionAlignment);
}

void TVastTreeColumn::LoadFromStream(TStream& Stream, Integer Version) {
  SetText(ReadText(Stream));
  SetHint(ReadText(Stream));
  const Integer NewWidth = ReadInt32(Stream);
  const Integer NewMin = ReadInt32(Stream);
  const Integer NewMax = ReadInt32(Stream);
  if (NewMin < 0 || NewMax < NewMin) Corrupt();
  // The limits go in first and as a pair, so a stored width that lies inside
  // them survives whatever the defaults were.
  FMinWidth = NewMin;
  FMaxWidth = NewMax;
  SetWidth(NewWidth);
  SetStyle(ReadEnum(Stream, vsOwnerDraw));
  SetImageIndex(ReadInt32(Stream));
  SetLayout(ReadEnum(Stream, blGlyphBottom));
  SetMargin(ReadInt32(Stream));
  SetSpacing(ReadInt32(Stream));
  SetBiDiMode(ReadEnum(Stream, bdRightToLeftReadingOnly));
  const Cardinal OptionBits = static_cast<Cardinal>(ReadInt32(Stream));
  if (Version > 2) SetOptions(TVTColumnOptions::FromBits(OptionBits & AllColumnOptionBits));
  if (Version <= 0) return;
  SetTag(ReadInt32(Stream));
  SetAlignment(ReadEnum(Stream, taCenter));
  if (Version > 1) SetColor(ReadInt32(Stream));
  if (Version > 5 && FOptions.Contains(coUseCaptionAlignment)) SetCaptionAlignment(ReadEnum(Stream, taCenter));
}

// ---------------------------------------------------------------------------
// Collection

TVastTreeColumns::TVastTreeColumns(TVTHeader* AOwner) : FHeader(AOwner) {}

TVastTreeColumns::~TVastTreeColumns() {
  // The tree may be half destroyed: free the columns without notices.
  FClearing = true;
  FItems.clear();
}

TVastTreeColumnClass TBaseVastTree::ColumnClass() const { return &TVastTreeColumns::Make<TVastTreeColumn>; }

void TVastTreeColumns::CheckIndex(TColumnIndex Index) const {
  if (IsValidColumn(Index)) return;
  const std::string Text = "List index out of bounds (" + std::to_string(Index) + ")";
  throw EListError(String(Text.begin(), Text.end()));
}

TVastTreeColumn& TVastTreeColumns::Items(TColumnIndex Index) const {
  CheckIndex(Index);
  return *FItems[static_cast<std::size_t>(Index)];
}

TVastTreeColumn* TVastTreeColumns::Add() { return Insert(Count()); }

TVastTreeColumn* TVastTreeColumns::Insert(TColumnIndex Index) {
  Index = std::clamp<TColumnIndex>(Index, 0, Count());
  // Of the tree's column class: a descendant's columns are its own kind.
  std::unique_ptr<TVastTreeColumn> Column = FHeader->FOwner->ColumnClass()(this);
  TVastTreeColumn* Result = Column.get();
  FItems.insert(FItems.begin() + Index, std::move(Column));
  // Every column at or after Index moves up one index; the map follows so
  // that the screen order of the existing columns stays.
  for (TColumnIndex& Entry : FPositionToIndex)
    if (Entry >= Index) ++Entry;
  FPositionToIndex.push_back(Index);
  Reindex();
  Result->FPosition = static_cast<TColumnPosition>(Count() - 1);
  if (FUpdateCount == 0) Update(nullptr);
  return Result;
}

void TVastTreeColumns::Reindex() {
  for (std::size_t I = 0; I < FItems.size(); ++I) FItems[I]->FIndex = static_cast<TColumnIndex>(I);
}

void TVastTreeColumns::Delete(TColumnIndex Index) {
  CheckIndex(Index);
  TBaseVastTree* Tree = FHeader->FOwner;
  if (!FClearing) {
    Tree->CancelEditNode();
    FPositionToIndex.erase(std::remove(FPositionToIndex.begin(), FPositionToIndex.end(), Index),
                           FPositionToIndex.end());
    for (TColumnIndex& Entry : FPositionToIndex)
      if (Entry > Index) --Entry;
    FHeader->AdjustIndexesAfterRemoval(Index);
    if (!FHeader->TreeLoading() && Tree->FFocusedColumn == Index) Tree->FFocusedColumn = NoColumn;
  }
  FItems.erase(FItems.begin() + Index);
  Reindex();
  // Positions close up behind the leaving column.
  for (std::size_t P = 0; P < FPositionToIndex.size(); ++P) {
    const TColumnIndex I = FPositionToIndex[P];
    if (I >= 0 && I < Count()) FItems[static_cast<std::size_t>(I)]->FPosition = static_cast<TColumnPosition>(P);
  }
  if (FUpdateCount == 0) Update(nullptr);
}

void TVastTreeColumns::Clear() {
  if (FItems.empty()) return;
  FClearing = true;
  const TScopeExit Done([this] { FClearing = false; });
  FItems.clear();
  FPositionToIndex.clear();
  FHoverIndex = FDownIndex = FTrackIndex = FClickIndex = NoColumn;
  // The sort column would name a column that is gone.
  FHeader->FSortColumn = NoColumn;
  if (!FHeader->TreeLoading()) FHeader->FOwner->FFocusedColumn = NoColumn;
  if (FUpdateCount == 0) Update(nullptr);
}

void TVastTreeColumns::Assign(const TVastTreeColumns& Source) {
  if (&Source == this) return;
  {
    TUpdateGuard Update(*this);
    while (Count() > Source.Count()) Delete(Count() - 1);
    while (Count() < Source.Count()) Add();
    for (std::size_t I = 0; I < FItems.size(); ++I) FItems[I]->Assign(*Source.FItems[I]);
    FPositionToIndex = Source.FPositionToIndex;
    for (std::size_t P = 0; P < FPositionToIndex.size(); ++P)
      FItems[static_cast<std::size_t>(FPositionToIndex[P])]->FPosition = static_cast<TColumnPosition>(P);
  }
  FNeedPositionsFix = false;
  LayoutColumns(true);
}

bool TVastTreeColumns::Equals(const TVastTreeColumns& Other) const {
  if (Count() != Other.Count() || FPositionToIndex != Other.FPositionToIndex) return false;
  for (Integer I = 0; I < Count(); ++I)
    if (!FItems[static_cast<std::size_t>(I)]->Equals(*Other.FItems[static_cast<std::size_t>(I)])) return false;
  return true;
}

void TVastTreeColumns::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount > 0) return;
  ResizePositionMap();
  RebuildPositionMap();
  Update(nullptr);
}

void TVastTreeColumns::Update(TVastTreeColumn* Item) {
  ResizePositionMap();
  if (FHeader->TreeLoading())
    FNeedPositionsFix = true;
  else
    LayoutColumns(false);
  if (Count() > 0 && FHeader->FMainColumn < 0) FHeader->FMainColumn = 0;
  if (FHeader->IsLoading()) return;
  if (FHeader->FOptions.Contains(hoAutoResize)) FitAutoSizeColumn(false);
  if (Item) {
    FHeader->Invalidate(Item);
  } else if (FHeader->HasWindow()) {
    FHeader->UpdateHorizontalScrollBar(false);
    FHeader->Invalidate(nullptr);
    FHeader->InvalidateTree();
  }
}

void TVastTreeColumns::ResizePositionMap() {
  const std::size_t Wanted = FItems.size();
  if (FPositionToIndex.size() == Wanted) return;
  if (FPositionToIndex.size() < Wanted) {
    for (std::size_t P = FPositionToIndex.size(); P < Wanted; ++P)
      FPositionToIndex.push_back(static_cast<TColumnIndex>(P));
  } else {
    FPositionToIndex.resize(Wanted);
    // Entries that point past the end close up until they all fit.
    bool Changed = true;
    while (Changed) {
      Changed = false;
      for (TColumnIndex& Entry : FPositionToIndex)
        if (Entry >= static_cast<TColumnIndex>(Wanted)) {
          --Entry;
          Changed = true;
        }
    }
  }
}

void TVastTreeColumns::RebuildPositionMap() {
  const std::size_t N = FItems.size();
  std::vector<TColumnIndex> Map(N, NoColumn);
  bool Valid = FPositionToIndex.size() == N;
  for (const auto& C : FItems) {
    if (C->FPosition >= N || Map[C->FPosition] != NoColumn) {
      Valid = false;
      break;
    }
    Map[C->FPosition] = C->FIndex;
  }
  // Positions stored while loading that do not form a permutation are
  // dropped for the plain order rather than leaving holes in the map.
  if (!Valid)
    for (std::size_t P = 0; P < N; ++P) Map[P] = static_cast<TColumnIndex>(P);
  FPositionToIndex = std::move(Map);
  FNeedPositionsFix = false;
  LayoutColumns(true);
}

void TVastTreeColumns::LayoutColumns(bool Force) {
  if (FHeader->FOwner->Destroying() || FNeedPositionsFix || (FUpdateCount > 0 && !Force)) return;
  Integer Sum = 0;
  for (std::size_t P = 0; P < FPositionToIndex.size(); ++P) {
    const TColumnIndex I = FPositionToIndex[P];
    if (I < 0 || I >= Count()) continue;
    TVastTreeColumn& C = *FItems[static_cast<std::size_t>(I)];
    C.FPosition = static_cast<TColumnPosition>(P);
    C.FLeft = Sum;
    if (C.FOptions.Contains(coVisible)) Sum += C.FWidth;
  }
  FHeader->UpdateHorizontalScrollBar(false);
}

void TVastTreeColumns::MoveInPositionMap(TColumnIndex Column, TColumnPosition NewPosition) {
  const TColumnPosition Old = Items(Column).FPosition;
  if (Old == NewPosition || Old >= FPositionToIndex.size() || NewPosition >= FPositionToIndex.size()) return;
  if (NewPosition > Old)
    for (TColumnPosition P = Old; P < NewPosition; ++P) FPositionToIndex[P] = FPositionToIndex[P + 1];
  else
    for (TColumnPosition P = Old; P > NewPosition; --P) FPositionToIndex[P] = FPositionToIndex[P - 1];
  FPositionToIndex[NewPosition] = Column;
  FItems[static_cast<std::size_t>(Column)]->FPosition = NewPosition;
}

void TVastTreeColumns::SetRightToLeftOrder(bool RightToLeft) {
  const Integer N = Count();
  FPositionToIndex.resize(static_cast<std::size_t>(N));
  for (Integer P = 0; P < N; ++P) FPositionToIndex[static_cast<std::size_t>(P)] = RightToLeft ? N - 1 - P : P;
  LayoutColumns(true);
}

void TVastTreeColumns::FitAutoSizeColumn(bool Force) {
  if (FItems.empty()) return;
  TColumnIndex Index = FHeader->FAutoSizeIndex;
  if (!IsValidColumn(Index)) Index = Count() - 1;
  Integer Available = FHeader->HasWindow() ? FHeader->FClientWidth : FHeader->FTreeWidth;
  for (const auto& C : FItems)
    if (C->FIndex != Index && C->FOptions.Contains(coVisible)) Available -= C->FWidth;
  TVastTreeColumn& Column = *FItems[static_cast<std::size_t>(Index)];
  const Integer NewWidth = std::max(Column.FMinWidth, std::min(Column.FMaxWidth, Available));
  if (!Force && NewWidth == Column.FWidth) return;
  Column.FWidth = NewWidth;
  LayoutColumns(false);
  FHeader->FOwner->DoColumnResize(Index);
}

bool TVastTreeColumns::IsVisibleAt(std::size_t Position, bool ConsiderAllowFocus) const {
  const TColumnIndex I = FPositionToIndex[Position];
  if (I < 0 || I >= Count()) return false;
  const TVTColumnOptions O = FItems[static_cast<std::size_t>(I)]->FOptions;
  return O.Contains(coVisible) && (!ConsiderAllowFocus || O.Contains(coAllowFocus));
}

TColumnIndex TVastTreeColumns::ColumnFromPosition(TColumnPosition PositionIndex) const {
  return PositionIndex < FPositionToIndex.size() ? FPositionToIndex[PositionIndex] : NoColumn;
}

TColumnIndex TVastTreeColumns::ColumnFromPosition(const TPoint& P, bool Relative) const {
  Integer Left, Right;
  if (P.X < 0 || P.Y < 0 || P.Y > FHeader->FTreeHeight) return InvalidColumn;
  return ColumnAndBoundsAt(P, Left, Right, Relative);
}

TColumnIndex TVastTreeColumns::ColumnAndBoundsAt(const TPoint& P, Integer& ColumnLeft, Integer& ColumnRight,
                                                 bool Relative) const {
  ColumnLeft = (Relative && P.X >= GetVisibleFixedWidth()) ? -FHeader->EffectiveOffsetX() : 0;
  // Right to left, columns narrower than the client area sit at its right.
  if (FHeader->FOwner->UseRightToLeftAlignment()) ColumnLeft += FHeader->FOwner->RightToLeftOffset(true);
  for (std::size_t Pos = 0; Pos < FPositionToIndex.size(); ++Pos) {
    if (!IsVisibleAt(Pos, false)) continue;
    const TColumnIndex I = FPositionToIndex[Pos];
    ColumnRight = ColumnLeft + FItems[static_cast<std::size_t>(I)]->FWidth;
    if (Pos == 0 && P.X < ColumnLeft) return InvalidColumn;
    if (P.X < ColumnRight) return I;
    ColumnLeft = ColumnRight;
  }
  return InvalidColumn;
}

void TVastTreeColumns::GetColumnBounds(TColumnIndex Column, Integer& ALeft, Integer& ARight) const {
  if (Column < 0) {
    ALeft = 0;
    ARight = FHeader->FClientWidth;
    return;
  }
  const TVastTreeColumn& C = Items(Column);
  ALeft = C.Left();
  if (FHeader->FOwner->UseRightToLeftAlignment()) ALeft += FHeader->FOwner->RightToLeftOffset(true);
  ARight = ALeft + C.FWidth;
}

TColumnIndex TVastTreeColumns::GetFirstVisibleColumn(bool ConsiderAllowFocus) const {
  if (FUpdateCount > 0 || FHeader->TreeLoading()) return InvalidColumn;
  for (std::size_t P = 0; P < FPositionToIndex.size(); ++P)
    if (IsVisibleAt(P, ConsiderAllowFocus)) return FPositionToIndex[P];
  return InvalidColumn;
}

TColumnIndex TVastTreeColumns::GetLastVisibleColumn(bool ConsiderAllowFocus) const {
  if (FUpdateCount > 0 || FHeader->TreeLoading()) return InvalidColumn;
  for (std::size_t P = FPositionToIndex.size(); P-- > 0;)
    if (IsVisibleAt(P, ConsiderAllowFocus)) return FPositionToIndex[P];
  return InvalidColumn;
}

TColumnIndex TVastTreeColumns::GetFirstColumn() const {
  return FPositionToIndex.empty() ? InvalidColumn : FPositionToIndex[0];
}

TColumnIndex TVastTreeColumns::GetNextColumn(TColumnIndex Column) const {
  if (!IsValidColumn(Column)) return InvalidColumn;
  const TColumnPosition P = FItems[static_cast<std::size_t>(Column)]->FPosition;
  if (P + 1 >= FPositionToIndex.size()) return InvalidColumn;
  return FPositionToIndex[P + 1];
}

TColumnIndex TVastTreeColumns::GetPreviousColumn(TColumnIndex Column) const {
  if (!IsValidColumn(Column)) return InvalidColumn;
  const TColumnPosition P = FItems[static_cast<std::size_t>(Column)]->FPosition;
  if (P == 0 || P >= FPositionToIndex.size()) return InvalidColumn;
  return FPositionToIndex[P - 1];
}

TColumnIndex TVastTreeColumns::GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus) const {
  for (;;) {
    Column = GetNextColumn(Column);
    if (Column == InvalidColumn) return InvalidColumn;
    const TVTColumnOptions O = FItems[static_cast<std::size_t>(Column)]->FOptions;
    if (O.Contains(coVisible) && (!ConsiderAllowFocus || O.Contains(coAllowFocus))) return Column;
  }
}

TColumnIndex TVastTreeColumns::GetPreviousVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus) const {
  for (;;) {
    Column = GetPreviousColumn(Column);
    if (Column == InvalidColumn) return InvalidColumn;
    const TVTColumnOptions O = FItems[static_cast<std::size_t>(Column)]->FOptions;
    if (O.Contains(coVisible) && (!ConsiderAllowFocus || O.Contains(coAllowFocus))) return Column;
  }
}

Integer TVastTreeColumns::GetScrollWidth() const {
  Int64 Sum = 0;
  Integer N = 0;
  for (const auto& C : FItems)
    if (C->FOptions.Contains(coVisible) && !C->FOptions.Contains(coFixed)) {
      Sum += C->FWidth;
      ++N;
    }
  if (N == 0) return static_cast<Integer>(FHeader->FOwner->Indent());
  return static_cast<Integer>(std::nearbyint(static_cast<double>(Sum) / N));
}

TColumnsArray TVastTreeColumns::GetVisibleColumns() const {
  TColumnsArray Result;
  for (std::size_t P = 0; P < FPositionToIndex.size(); ++P)
    if (IsVisibleAt(P, false)) Result.push_back(FItems[static_cast<std::size_t>(FPositionToIndex[P])].get());
  return Result;
}

Integer TVastTreeColumns::GetVisibleFixedWidth() const {
  Integer Sum = 0;
  for (const auto& C : FItems)
    if (C->FOptions.ContainsAll(TVTColumnOptions{coVisible, coFixed})) Sum += C->FWidth;
  return Sum;
}

Integer TVastTreeColumns::TotalWidth() const {
  for (std::size_t P = FPositionToIndex.size(); P-- > 0;)
    if (IsVisibleAt(P, false)) {
      const TVastTreeColumn& C = *FItems[static_cast<std::size_t>(FPositionToIndex[P])];
      return C.FLeft + C.FWidth;
    }
  return 0;
}

void TVastTreeColumns::AnimatedResize(TColumnIndex Column, Integer NewWidth) {
  if (!IsValidColumn(Column)) return;
  TVastTreeColumn& C = *FItems[static_cast<std::size_t>(Column)];
  NewWidth = std::clamp(NewWidth, C.FMinWidth, C.FMaxWidth);
  if (NewWidth == C.FWidth) return;
  C.SetWidth(NewWidth);
}

void TVastTreeColumns::SaveToStream(TStream& Stream) const {
  WriteInt32(Stream, Count());
  for (const auto& C : FItems) C->SaveToStream(Stream);
  if (Count() > 0)
    for (TColumnIndex I : FPositionToIndex) WriteInt32(Stream, I);
}

void TVastTreeColumns::LoadFromStream(TStream& Stream, Integer Version) {
  Clear();
  const Integer NewCount = ReadInt32(Stream);
  // Every column needs a record and a position entry: a count the remaining
  // bytes cannot hold is corrupt, and is refused before anything is built.
  if (NewCount < 0 || static_cast<Int64>(NewCount) * (MinColumnRecordSize + 4) > Remaining(Stream)) Corrupt();
  if (NewCount > 0) {
    const TUpdateGuard<TVastTreeColumns> Update(*this);
    for (Integer I = 0; I < NewCount; ++I) Add()->LoadFromStream(Stream, Version);
    std::vector<TColumnIndex> Map(static_cast<std::size_t>(NewCount));
    std::vector<bool> Seen(static_cast<std::size_t>(NewCount), false);
    for (TColumnIndex& Entry : Map) {
      Entry = ReadInt32(Stream);
      if (Entry < 0 || Entry >= NewCount || Seen[static_cast<std::size_t>(Entry)]) Corrupt();
      Seen[static_cast<std::size_t>(Entry)] = true;
    }
    FPositionToIndex = std::move(Map);
    LayoutColumns(true);
  }
  if (Version > 4) {
    const Integer Width = ReadInt32(Stream);
    if (Width < 0) Corrupt();
    FDefaultWidth = Width;
  }
}

// ---------------------------------------------------------------------------
// Constraints

void TVTFixedAreaConstraints::SetMaxHeightPercent(Byte Value) {
  Value = std::min<Byte>(Value, 100);
  if (Value == FMaxHeightPercent) return;
  FMaxHeightPercent = Value;
  if (Value < FMinHeightPercent) FMinHeightPercent = Value;
  Changed();
}

void TVTFixedAreaConstraints::SetMaxWidthPercent(Byte Value) {
  Value = std::min<Byte>(Value, 100);
  if (Value == FMaxWidthPercent) return;
  FMaxWidthPercent = Value;
  if (Value < FMinWidthPercent) FMinWidthPercent = Value;
  Changed();
}

void TVTFixedAreaConstraints::SetMinHeightPercent(Byte Value) {
  Value = std::min<Byte>(Value, 100);
  if (Value == FMinHeightPercent) return;
  FMinHeightPercent = Value;
  if (FMaxHeightPercent > 0 && Value > FMaxHeightPercent) FMaxHeightPercent = Value;
  Changed();
}

void TVTFixedAreaConstraints::SetMinWidthPercent(Byte Value) {
  Value = std::min<Byte>(Value, 100);
  if (Value == FMinWidthPercent) return;
  FMinWidthPercent = Value;
  if (FMaxWidthPercent > 0 && Value > FMaxWidthPercent) FMaxWidthPercent = Value;
  Changed();
}

void TVTFixedAreaConstraints::Assign(const TVTFixedAreaConstraints& Source) {
  FMaxHeightPercent = Source.FMaxHeightPercent;
  FMaxWidthPercent = Source.FMaxWidthPercent;
  FMinHeightPercent = Source.FMinHeightPercent;
  FMinWidthPercent = Source.FMinWidthPercent;
  Changed();
}

// ---------------------------------------------------------------------------
// Header

TVTHeader::TVTHeader(TBaseVastTree* AOwner) : FOwner(AOwner), FColumns(std::make_unique<TVastTreeColumns>(this)) {
  FFixedAreaConstraints.OnChange = [this] { ConstraintsChanged(); };
}

TVTHeader::~TVTHeader() {
  FFixedAreaConstraints.OnChange = nullptr;
  FColumns.reset();
}

bool TVTHeader::TreeLoading() const { return FOwner->Loading(); }
bool TVTHeader::IsLoading() const { return FOwner->Loading() || FStates.Contains(hsLoading); }
bool TVTHeader::HasWindow() const { return FOwner->Host().HasWindow(); }
// Columns scroll opposite to the tree's horizontal offset.
Integer TVTHeader::EffectiveOffsetX() const { return FOwner->EffectiveOffsetX(); }

void TVTHeader::InvalidateTree() {
  if (!FOwner->Destroying()) FOwner->Invalidate();
}

void TVTHeader::UpdateHorizontalScrollBar(bool DoRepaint) {
  if (!FOwner->Destroying()) FOwner->UpdateScrollBars(DoRepaint);
}

void TVTHeader::Invalidate(TVastTreeColumn* Column, bool ExpandToBorder, bool UpdateNowFlag) {
  if (!FOptions.Contains(hoVisible) || !HasWindow() || FOwner->Destroying()) return;
  FOwner->InvalidateHeader(Column, ExpandToBorder, UpdateNowFlag);
}

void TVTHeader::RefreshHeaderFrame() {
  if (HasWindow() && !FOwner->Destroying()) FOwner->HeaderFrameChanged();
}

void TVTHeader::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  TCustomImageList* Old = FImages;
  FImages = Value;
  FOwner->HeaderImagesChanged(Old, Value);
  if (!IsLoading()) Invalidate(nullptr);
}

namespace {
Integer ScaleValue(Integer Value, Integer M, Integer D) {
  const long long Product = static_cast<long long>(Value) * M;
  return static_cast<Integer>(Product >= 0 ? (Product + D / 2) / D : (Product - D / 2) / D);
}
}  // namespace

void TVTHeader::ScaleHeader(Integer M, Integer D) {
  if (D == 0 || M == D) return;
  SetHeight(ScaleValue(FHeight, M, D));
  if (!FParentFont) {
    TVTHeaderFont Font = FFont;
    Font.Height = ScaleValue(Font.Height, M, D);
    SetFont(Font);
  }
  for (Integer I = 0; I < FColumns->Count(); ++I) {
    TVastTreeColumn& C = FColumns->Items(I);
    C.SetWidth(ScaleValue(C.Width(), M, D));
  }
  AutoScaleHeight();
}

void TVTHeader::AutoFitColumns(bool Animated, TSmartAutoFitType SmartAutoFitType, Integer RangeStartCol,
                               Integer RangeEndCol) {
  const Integer Count = FColumns->Count();
  if (RangeStartCol < 0) RangeStartCol = 0;
  if (RangeEndCol < 0 || RangeEndCol >= Count) RangeEndCol = Count - 1;
  if (RangeStartCol > RangeEndCol) return;
  FOwner->BeginOperation(okAutoFitColumns);
  FDoingAutoFitColumns = true;
  const TScopeExit End([this] {
    FOwner->EndOperation(okAutoFitColumns);
    FOwner->Invalidate();
    FDoingAutoFitColumns = false;
  });
  if (OnBeforeAutoFitColumns) OnBeforeAutoFitColumns(this, SmartAutoFitType);
  for (Integer Position = RangeStartCol; Position <= RangeEndCol; ++Position) {
    const TColumnIndex Column = FColumns->ColumnFromPosition(static_cast<TColumnPosition>(Position));
    if (Column < 0) continue;
    TVastTreeColumn& C = FColumns->Items(Column);
    if (!C.Options().ContainsAll(TVTColumnOptions{coResizable, coVisible})) continue;
    if (!DoBeforeAutoFitColumn(Column, SmartAutoFitType) || FOwner->OperationCanceled()) continue;
    const bool UseSmart = SmartAutoFitType == smaAllColumns ||
                          (SmartAutoFitType == smaUseColumnOption && C.Options().Contains(coSmartResize));
    const Integer Width = FOwner->GetMaxColumnWidth(Column, UseSmart);
    if (Animated)
      FColumns->AnimatedResize(Column, Width);
    else
      C.SetWidth(Width);
    DoAfterAutoFitColumn(Column);
  }
  if (OnAfterAutoFitColumns) OnAfterAutoFitColumns(this);
}

bool TVTHeader::ColumnIsVisible(TColumnIndex Column) const {
  return FColumns->IsValidColumn(Column) && FColumns->Items(Column).Options().Contains(coVisible);
}

bool TVTHeader::AllowFocus(TColumnIndex Column) const {
  if (FColumns->Count() == 0) return Column == NoColumn;
  return FColumns->IsValidColumn(Column) && FColumns->Items(Column).Options().Contains(coAllowFocus);
}

bool TVTHeader::ColumnIsFixed(TColumnIndex Column) const {
  return FColumns->IsValidColumn(Column) && FColumns->Items(Column).Options().Contains(coFixed);
}

TColumnIndex TVTHeader::FirstVisibleFocusableColumn() const {
  const TColumnIndex Result = FColumns->GetFirstVisibleColumn(true);
  return Result >= 0 ? Result : NoColumn;
}

void TVTHeader::SetTreeBounds(Integer Width, Integer Height, Integer ClientWidth, Integer ClientHeight) {
  FTreeWidth = Width;
  FTreeHeight = Height;
  FClientWidth = std::max(ClientWidth, 0);
  FClientHeight = std::max(ClientHeight, 0);
}

// --- sorting

bool TVTHeader::AutoSortAllowed() const {
  return (FOwner->TreeOptions().AutoOptions().Contains(toAutoSort) || FOptions.Contains(hoHeaderClickAutoSort)) &&
         FOwner->UpdateCount() == 0;
}

void TVTHeader::SetSortColumn(TColumnIndex Value) {
  if (TreeLoading())
    FSortColumn = Value;
  else
    ApplySortColumn(Value, FSortDirection);
}

void TVTHeader::ApplySortColumn(TColumnIndex Value, TSortDirection Direction) {
  Value = std::clamp<TColumnIndex>(Value, NoColumn, FColumns->Count() - 1);
  if (Value == FSortColumn) return;
  if (FSortColumn >= 0) Invalidate(&FColumns->Items(FSortColumn));
  FSortColumn = Value;
  FSortDirection = Direction;
  if (FSortColumn >= 0) Invalidate(&FColumns->Items(FSortColumn));
  if (AutoSortAllowed()) FOwner->SortTree(FSortColumn, FSortDirection, true);
}

void TVTHeader::SetSortDirection(TSortDirection Value) {
  if (Value == FSortDirection) return;
  FSortDirection = Value;
  Invalidate(nullptr);
  if (AutoSortAllowed()) FOwner->SortTree(FSortColumn, FSortDirection, true);
}

void TVTHeader::SetMainColumn(TColumnIndex Value) {
  if (TreeLoading()) {
    FMainColumn = Value;
    return;
  }
  Value = FColumns->Count() == 0 ? NoColumn : std::clamp<TColumnIndex>(Value, 0, FColumns->Count() - 1);
  if (Value == FMainColumn) return;
  FMainColumn = Value;
  FOwner->MainColumnChanged();
  if (!FOwner->TreeOptions().SelectionOptions().Contains(toExtendedFocus)) FOwner->FFocusedColumn = FMainColumn;
  InvalidateTree();
}

void TVTHeader::ClampMainColumn() {
  FMainColumn = FColumns->Count() == 0 ? NoColumn : std::clamp<TColumnIndex>(FMainColumn, 0, FColumns->Count() - 1);
}

void TVTHeader::AdjustIndexesAfterRemoval(TColumnIndex Removed) {
  auto Adjust = [Removed](TColumnIndex& Index) {
    if (Index == Removed)
      Index = NoColumn;
    else if (Index > Removed)
      --Index;
  };
  Adjust(FColumns->FHoverIndex);
  Adjust(FColumns->FDownIndex);
  Adjust(FColumns->FTrackIndex);
  Adjust(FColumns->FClickIndex);
  Adjust(FAutoSizeIndex);
  Adjust(FSortColumn);
  // The main column keeps naming the same column, or the first one.
  if (FMainColumn == Removed)
    FMainColumn = 0;
  else if (FMainColumn > Removed)
    --FMainColumn;
}

// --- settings

void TVTHeader::SetHeight(Integer Value) {
  if (!HasWindow()) {
    FHeight = Value;
    FStates.Include(hsNeedScaling);
    return;
  }
  const Integer Total = FClientHeight + FHeight;
  const Integer MaxH = Total * FFixedAreaConstraints.FMaxHeightPercent / 100;
  const Integer MinH = Total * FFixedAreaConstraints.FMinHeightPercent / 100;
  const Integer Low = FFixedAreaConstraints.FMaxHeightPercent > 0 ? std::min(FMinHeight, MaxH) : FMinHeight;
  const Integer High = FFixedAreaConstraints.FMinHeightPercent > 0 ? std::max(FMaxHeight, MinH) : FMaxHeight;
  Value = std::min(High, std::max(Low, Value));
  if (FFixedAreaConstraints.FMinHeightPercent > 0) Value = std::max(Value, MinH);
  if (FFixedAreaConstraints.FMaxHeightPercent > 0) Value = std::min(Value, MaxH);
  if (Value == FHeight) return;
  FHeight = Value;
  if (!TreeLoading() && !FStates.Contains(hsScaling)) RefreshHeaderFrame();
  InvalidateTree();
}

void TVTHeader::SetMinHeight(Integer Value) {
  Value = std::min(std::max(Value, 0), FMaxHeight);
  if (Value == FMinHeight) return;
  FMinHeight = Value;
  SetHeight(FHeight);
}

void TVTHeader::SetMaxHeight(Integer Value) {
  Value = std::max(Value, FMinHeight);
  if (Value == FMaxHeight) return;
  FMaxHeight = Value;
  SetHeight(FHeight);
}

void TVTHeader::SetDefaultHeight(Integer Value) {
  Value = std::clamp(Value, FMinHeight, FMaxHeight);
  if (FHeight == FDefaultHeight) SetHeight(Value);
  FDefaultHeight = Value;
}

void TVTHeader::SetOptions(TVTHeaderOptions Value) {
  const TVTHeaderOptions Toggled = (Value - FOptions) + (FOptions - Value);
  const bool AutoResizeOn = Value.Contains(hoAutoResize) && !FOptions.Contains(hoAutoResize);
  FOptions = Value;
  if (Toggled.Contains(hoAutoResize) && FColumns->Count() > 0) {
    FColumns->FitAutoSizeColumn(false);
    if (HasWindow()) UpdateHorizontalScrollBar(false);
    if (AutoResizeOn) InvalidateTree();
  }
  if (!IsLoading() && HasWindow()) {
    if (Toggled.Contains(hoVisible)) RefreshHeaderFrame();
    Invalidate(nullptr);
    InvalidateTree();
  }
}

void TVTHeader::SetStyle(TVTHeaderStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  if (!IsLoading()) Invalidate(nullptr);
}

void TVTHeader::SetBackground(TColor Value) {
  if (Value == FBackgroundColor) return;
  FBackgroundColor = Value;
  Invalidate(nullptr);
}

void TVTHeader::SetAutoSizeIndex(TColumnIndex Value) {
  if (Value == FAutoSizeIndex) return;
  FAutoSizeIndex = Value;
  if (FOptions.Contains(hoAutoResize)) FColumns->FitAutoSizeColumn(false);
}

void TVTHeader::SetFont(const TVTHeaderFont& Value) {
  FFont = Value;
  FParentFont = false;
  HeaderFontChanged();
  Invalidate(nullptr);
}

void TVTHeader::HeaderFontChanged() { AutoScaleHeight(); }

void TVTHeader::AutoScaleHeight() {
  if (!FOwner || !FOwner->TreeOptions().AutoOptions().Contains(toAutoChangeScale)) return;
  Integer Spacing = 0;
  for (Integer I = 0; I < FColumns->Count(); ++I) Spacing = std::max(Spacing, FColumns->Items(I).Spacing());
  const Integer TextHeight = FOwner->HeaderTextHeight(u"Q");
  // A stored spacing can be anything: the sum is taken wide and bounded.
  const Int64 Wanted = Int64(TextHeight) + Spacing + Spacing / 2;
  SetHeight(
      static_cast<Integer>(std::max<Int64>(FHeight, std::min<Int64>(Wanted, std::numeric_limits<Integer>::max()))));
}

void TVTHeader::SetParentFont(bool Value) { FParentFont = Value; }

void TVTHeader::ParentFontChanged(const TVTHeaderFont& TreeFont) {
  if (!FParentFont) return;
  FFont = TreeFont;
  HeaderFontChanged();
  Invalidate(nullptr);
}

void TVTHeader::Assign(const TVTHeader& Source) {
  if (&Source == this) return;
  SetAutoSizeIndex(Source.FAutoSizeIndex);
  SetBackground(Source.FBackgroundColor);
  FColumns->Assign(*Source.FColumns);
  FFont = Source.FFont;
  FFixedAreaConstraints.Assign(Source.FFixedAreaConstraints);
  SetHeight(Source.FHeight);
  SetImages(Source.FImages);
  SetMainColumn(Source.FMainColumn);
  SetOptions(Source.FOptions);
  FParentFont = Source.FParentFont;
  SetSortColumn(Source.FSortColumn);
  SetSortDirection(Source.FSortDirection);
  SetStyle(Source.FStyle);
  ReapplyConstraints();
}

// --- width distribution

void TVTHeader::ConstraintsChanged() {
  if (HasWindow())
    ReapplyConstraints();
  else
    FStates.Include(hsNeedScaling);
}

void TVTHeader::ReapplyConstraints() {
  if (TreeLoading() || FOwner->Destroying() || FStates.Contains(hsLoading) || !HasWindow()) return;
  FStates.Include(hsScaling);
  const TScopeExit Leave([this] { FStates -= THeaderStates{hsScaling, hsNeedScaling}; });
  SetHeight(FHeight);
  RefreshHeaderFrame();
  const TVTFixedAreaConstraints& C = FFixedAreaConstraints;
  if (C.FMinHeightPercent > 0 || C.FMaxHeightPercent > 0) {
    for (const auto& Column : FColumns->FItems)
      if (Column->FOptions.ContainsAll(TVTColumnOptions{coVisible, coFixed}) && Column->FWidth < Column->FMinWidth)
        Column->FWidth = Column->FMinWidth;
    const Integer Fixed = FColumns->GetVisibleFixedWidth();
    const Integer MinW = FClientWidth * C.FMinWidthPercent / 100;
    const Integer MaxW = FClientWidth * C.FMaxWidthPercent / 100;
    const Integer Last = FColumns->Count() - 1;
    if (C.FMaxWidthPercent > 0 && Fixed > MaxW)
      ResizeColumns(MaxW - Fixed, 0, Last, TVTColumnOptions{coVisible, coFixed});
    else if (C.FMinWidthPercent > 0 && Fixed < MinW)
      ResizeColumns(MinW - Fixed, 0, Last, TVTColumnOptions{coVisible, coFixed});
    FColumns->LayoutColumns(false);
  }
}

Integer TVTHeader::ResizeColumns(Integer ChangeBy, TColumnIndex RangeStartCol, TColumnIndex RangeEndCol,
                                 TVTColumnOptions Options) {
  if (ChangeBy == 0) return 0;
  RangeStartCol = std::max<TColumnIndex>(RangeStartCol, 0);
  RangeEndCol = std::min<TColumnIndex>(RangeEndCol, FColumns->Count() - 1);
  if (RangeStartCol > RangeEndCol) return 0;
  const bool Grow = ChangeBy > 0;
  const Integer Step = Grow ? 1 : -1;
  const Integer N = RangeEndCol - RangeStartCol + 1;
  const Integer Start = Grow ? 0 : N - 1;
  Int64 Remaining = std::abs(static_cast<Int64>(ChangeBy));
  auto Column = [&](Integer I) -> TVastTreeColumn& {
    return *FColumns->FItems[static_cast<std::size_t>(RangeStartCol + I)];
  };
  std::vector<Integer> Widths(static_cast<std::size_t>(N)), Limits(static_cast<std::size_t>(N));
  std::vector<bool> Matches(static_cast<std::size_t>(N));
  for (Integer I = 0; I < N; ++I) {
    TVastTreeColumn& C = Column(I);
    Widths[I] = C.FWidth;
    Limits[I] = Grow ? C.FMaxWidth : C.FMinWidth;
    Matches[I] = C.FOptions.ContainsAll(Options);
  }
  auto Room = [&](Integer I) -> Int64 {
    if (!Matches[I]) return 0;
    return Grow ? std::max<Int64>(0, Int64(Limits[I]) - Widths[I]) : std::max<Int64>(0, Int64(Widths[I]) - Limits[I]);
  };
  // Takes up to Amount pixels for column I, cut at its limit; answers what it took.
  auto Take = [&](Integer I, Int64 Amount) -> Int64 {
    const Int64 Taken = std::min(Amount, Room(I));
    Widths[I] += static_cast<Integer>(Step * Taken);
    return Taken;
  };

  while (Remaining > 0) {
    Integer Eligible = 0;
    Int64 TotalRoom = 0;
    auto Count = [&] {
      Eligible = 0;
      TotalRoom = 0;
      for (Integer I = 0; I < N; ++I)
        if (Room(I) > 0) {
          ++Eligible;
          TotalRoom += Room(I);
        }
    };
    Count();
    // While scaling, shrinking columns may give up part of their minimum.
    while (!Grow && FStates.Contains(hsScaling) && Remaining > TotalRoom) {
      Integer Widest = -1;
      for (Integer I = 0; I < N; ++I)
        if (Matches[I] && Limits[I] > 10 && (Widest < 0 || Widths[I] > Widths[Widest])) Widest = I;
      if (Widest < 0) break;
      Limits[Widest] -= Limits[Widest] / 10;
      Count();
    }
    if (Eligible == 0) break;
    Remaining = std::min(Remaining, TotalRoom);
    const Int64 Share = Remaining / Eligible;
    Int64 Rest = Remaining % Eligible;
    if (Share > 0)
      for (Integer I = 0; I < N; ++I)
        if (Room(I) > 0) Remaining -= Take(I, Share);
    // Odd pixels go to the columns that did not have one last time in this
    // direction; once every column had one, the flags turn over.
    Integer Passes = 0;
    while (Rest > 0 && Remaining > 0) {
      bool TookAny = false;
      for (Integer I = Start; I >= 0 && I < N && Rest > 0; I += Step) {
        TVastTreeColumn& C = Column(I);
        if (Room(I) > 0 && C.FBonusPixel != Grow) {
          const Int64 Taken = Take(I, 1);
          Rest -= Taken;
          Remaining -= Taken;
          C.FBonusPixel = Grow;
          TookAny = TookAny || Taken > 0;
        }
      }
      if (Rest > 0) {
        for (Integer I = 0; I < N; ++I)
          if (Matches[I]) Column(I).FBonusPixel = !Column(I).FBonusPixel;
      }
      // Two passes without a taker mean nobody has room left.
      Passes = TookAny ? 0 : Passes + 1;
      if (Passes >= 2) break;
    }
    if (Share == 0 && Passes >= 2) break;
  }

  Integer Result = 0;
  FStates.Include(hsResizing);
  const TScopeExit Leave([this] { FStates.Exclude(hsResizing); });
  for (Integer I = 0; I < N; ++I) {
    if (!Matches[I]) continue;
    TVastTreeColumn& C = Column(I);
    const Integer Old = C.FWidth;
    C.SetWidth(Widths[I]);
    Result += C.FWidth - Old;
  }
  return Result;
}

void TVTHeader::RestoreColumns() {
  for (std::size_t P = FColumns->FPositionToIndex.size(); P-- > 0;) {
    const TColumnIndex I = FColumns->FPositionToIndex[P];
    if (!FColumns->IsValidColumn(I)) continue;
    TVastTreeColumn& C = FColumns->Items(I);
    if (C.FOptions.ContainsAll(TVTColumnOptions{coResizable, coVisible})) C.RestoreLastWidth();
  }
}

void TVTHeader::DistributeSpringWidth() {
  const Integer HeaderWidth = FClientWidth;
  float Delta = static_cast<float>(HeaderWidth - FLastWidth);
  if (FOptions.Contains(hoAutoSpring) && FLastWidth != 0 && Delta != 0) {
    const Integer Sign = Delta < 0 ? -1 : 1;
    Delta = std::fabs(Delta);
    Integer Springs = 0;
    for (const auto& C : FColumns->FItems)
      if (C->FOptions.ContainsAll(TVTColumnOptions{coAutoSpring, coVisible})) ++Springs;
    if (Springs > 0) {
      const float Share = Delta / static_cast<float>(Springs);
      for (std::size_t I = 0; I < FColumns->FItems.size(); ++I) {
        TVastTreeColumn& C = *FColumns->FItems[I];
        if (!C.FOptions.ContainsAll(TVTColumnOptions{coAutoSpring, coVisible})) continue;
        const float R = C.FSpringRest + Share;
        if (R >= 1) C.SetWidth(C.FWidth + Sign * static_cast<Integer>(std::trunc(R)));
        C.FSpringRest = R - std::trunc(R);
        Delta -= Share;
        if (Delta < 0) break;
      }
    }
  }
  FLastWidth = HeaderWidth;
}

// --- hooks

void TVTHeader::DoAfterAutoFitColumn(TColumnIndex Column) {
  if (OnAfterAutoFitColumn) OnAfterAutoFitColumn(this, Column);
}

void TVTHeader::DoAfterColumnWidthTracking(TColumnIndex Column) {
  if (OnAfterColumnWidthTracking) OnAfterColumnWidthTracking(this, Column);
}

void TVTHeader::DoAfterHeaderHeightTracking() {
  if (OnAfterHeaderHeightTracking) OnAfterHeaderHeightTracking(this);
}

bool TVTHeader::DoBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType SmartAutoFitType) {
  bool Allowed = true;
  if (OnBeforeAutoFitColumn) OnBeforeAutoFitColumn(this, Column, SmartAutoFitType, Allowed);
  return Allowed;
}

void TVTHeader::DoBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift) {
  if (OnBeforeColumnWidthTracking) OnBeforeColumnWidthTracking(this, Column, Shift);
}

void TVTHeader::DoBeforeHeaderHeightTracking(TShiftState Shift) {
  if (OnBeforeHeaderHeightTracking) OnBeforeHeaderHeightTracking(this, Shift);
}

void TVTHeader::DoCanSplitterResizeHeader(TPoint P, bool& Allowed) {
  if (OnCanSplitterResizeHeader) OnCanSplitterResizeHeader(this, P, Allowed);
}

bool TVTHeader::DoColumnWidthDblClickResize(TColumnIndex Column, TPoint P, TShiftState Shift) {
  bool Allowed = true;
  if (OnColumnWidthDblClickResize) OnColumnWidthDblClickResize(this, Column, Shift, P, Allowed);
  return Allowed;
}

bool TVTHeader::DoColumnWidthTracking(TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint, TPoint P) {
  bool Allowed = true;
  if (OnColumnWidthTracking) OnColumnWidthTracking(this, Column, Shift, TrackPoint, P, Allowed);
  return Allowed;
}

bool TVTHeader::DoHeaderHeightTracking(TPoint& P, TShiftState Shift) {
  bool Allowed = true;
  if (OnHeaderHeightTracking) OnHeaderHeightTracking(this, P, Shift, Allowed);
  return Allowed;
}

bool TVTHeader::DoHeaderHeightDblClickResize(TPoint& P, TShiftState Shift) {
  bool Allowed = true;
  if (OnHeaderHeightDblClickResize) OnHeaderHeightDblClickResize(this, P, Shift, Allowed);
  return Allowed;
}

// --- stream

void TVTHeader::SaveToStream(TStream& Stream) const {
  WriteInt32(Stream, -1);
  WriteInt32(Stream, HeaderStreamVersion);
  FColumns->SaveToStream(Stream);
  WriteInt32(Stream, FColumns->FDefaultWidth);
  WriteInt32(Stream, FAutoSizeIndex);
  WriteInt32(Stream, FBackgroundColor);
  WriteInt32(Stream, FHeight);
  WriteInt32(Stream, static_cast<Integer>(FOptions.Bits()));
  WriteInt32(Stream, FStyle);
  WriteInt32(Stream, FFont.Color);
  WriteInt32(Stream, FFont.Height);
  const TBytes Name = TEncoding::UTF8()->GetBytes(FFont.Name);
  WriteInt32(Stream, static_cast<Integer>(Name.size()));
  if (!Name.empty()) Stream.WriteBuffer(Name.data(), static_cast<Int64>(Name.size()));
  WriteInt32(Stream, FFont.Pitch);
  WriteInt32(Stream, FFont.Style);
  WriteInt32(Stream, FMainColumn);
  WriteInt32(Stream, FSortColumn);
  WriteInt32(Stream, FSortDirection);
  WriteInt32(Stream, FParentFont ? 1 : 0);
  WriteInt32(Stream, FMaxHeight);
  WriteInt32(Stream, FMinHeight);
  WriteInt32(Stream, FDefaultHeight);
  WriteInt32(Stream, FFixedAreaConstraints.FMaxHeightPercent);
  WriteInt32(Stream, FFixedAreaConstraints.FMaxWidthPercent);
  WriteInt32(Stream, FFixedAreaConstraints.FMinHeightPercent);
  WriteInt32(Stream, FFixedAreaConstraints.FMinWidthPercent);
}

void TVTHeader::LoadFromStream(TStream& Stream) {
  FStates.Include(hsLoading);
  const TVTHeaderOptions SavedOptions = FOptions;
  FOptions = TVTHeaderOptions{};
  bool OptionsRestored = false;
  // However the reading ends, the header leaves the loading state with
  // indexes that name existing columns.
  const TScopeExit Finish([&] {
    if (!OptionsRestored) FOptions = SavedOptions;
    FStates.Exclude(hsLoading);
    ClampMainColumn();
    FSortColumn = std::clamp<TColumnIndex>(FSortColumn, NoColumn, FColumns->Count() - 1);
    RefreshHeaderFrame();
    FOwner->DoColumnResize(NoColumn);
  });
  Integer Version = ReadInt32(Stream);
  if (Version <= -1) {
    Version = ReadInt32(Stream);
  } else {
    Stream.Seek(-4, soCurrent);
    Version = -1;
  }
  FColumns->LoadFromStream(Stream, Version);
  SetAutoSizeIndex(ReadInt32(Stream));
  SetBackground(ReadInt32(Stream));
  SetHeight(ReadInt32(Stream));
  const Cardinal OptionBits = static_cast<Cardinal>(ReadInt32(Stream));
  FOptions = SavedOptions;
  OptionsRestored = true;
  SetOptions(TVTHeaderOptions::FromBits(OptionBits & AllHeaderOptionBits));
  SetStyle(ReadEnum(Stream, hsPlates));
  TVTHeaderFont NewFont;
  NewFont.Color = ReadInt32(Stream);
  NewFont.Height = ReadInt32(Stream);
  const Integer NameLength = ReadInt32(Stream);
  if (NameLength < 0 || NameLength > Remaining(Stream)) Corrupt();
  TBytes Name(static_cast<std::size_t>(NameLength));
  if (NameLength > 0) Stream.ReadBuffer(Name.data(), NameLength);
  NewFont.Name = TEncoding::UTF8()->GetString(Name);
  NewFont.Pitch = ReadInt32(Stream);
  NewFont.Style = ReadInt32(Stream);
  const bool KeepParent = FParentFont;
  SetFont(NewFont);
  FParentFont = KeepParent;
  if (Version > 0) {
    SetMainColumn(ReadInt32(Stream));
    SetSortColumn(ReadInt32(Stream));
    SetSortDirection(ReadEnum(Stream, sdDescending));
  }
  if (Version > 4) {
    SetParentFont(ReadBool(Stream));
    const Integer NewMax = ReadInt32(Stream);
    const Integer NewMin = ReadInt32(Stream);
    const Integer NewDefault = ReadInt32(Stream);
    if (NewMin < 0 || NewMax < NewMin) Corrupt();
    FMaxHeight = NewMax;
    FMinHeight = NewMin;
    FDefaultHeight = NewDefault;
    Byte Percent[4];
    for (Byte& P : Percent) {
      const Integer Value = ReadInt32(Stream);
      if (Value < 0 || Value > 100) Corrupt();
      P = static_cast<Byte>(Value);
    }
    FFixedAreaConstraints.FMaxHeightPercent = Percent[0];
    FFixedAreaConstraints.FMaxWidthPercent = Percent[1];
    FFixedAreaConstraints.FMinHeightPercent = Percent[2];
    FFixedAreaConstraints.FMinWidthPercent = Percent[3];
  }
}
