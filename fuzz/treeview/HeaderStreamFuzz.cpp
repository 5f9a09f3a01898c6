// The header stream (columns and header settings): any bytes load or fail
// with the read error, and the header is left consistent either way; a
// header that loaded saves to a stream that loads to the same stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/common/FuzzCheck.h"
#include "rtl/Streams.h"
#include "tests/treeview/TreeTestSupport.h"
#include "treeview/VastStringTree.h"

namespace {

TBytes Saved(TVTHeader& Header) {
  TMemoryStream S;
  Header.SaveToStream(S);
  const Byte* P = static_cast<const Byte*>(S.Memory());
  return TBytes(P, P + S.Size());
}

bool Load(TVTHeader& Header, const TBytes& Bytes) {
  TBytesStream S(Bytes);
  try {
    Header.LoadFromStream(S);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

void CheckConsistent(TVTHeader& Header) {
  FuzzCheck(!Header.States().Contains(hsLoading), "the header stays loading");
  const TVastTreeColumns& Columns = Header.Columns();
  const auto& Map = Columns.PositionToIndex();
  FuzzCheck(static_cast<Integer>(Map.size()) == Columns.Count(), "position map and column count differ");
  std::vector<TColumnIndex> Sorted(Map.begin(), Map.end());
  std::sort(Sorted.begin(), Sorted.end());
  for (std::size_t I = 0; I < Sorted.size(); ++I)
    FuzzCheck(Sorted[I] == static_cast<TColumnIndex>(I), "the position map is not a permutation");
  FuzzCheck(Header.SortColumn() < Columns.Count(), "sort column past the columns");
  FuzzCheck(Header.MainColumn() < Columns.Count(), "main column past the columns");
  for (Integer I = 0; I < Columns.Count(); ++I) FuzzCheck(Columns[I].Width() >= 0, "a column of negative width");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFakeTreeHost Host;
  TCustomVastStringTree Tree(&Host);
  TVTHeader& Header = Tree.Header();
  Header.SetTreeBounds(404, 304, 400, 280);
  const bool Loaded = Load(Header, FuzzBytes(Data, Size));
  CheckConsistent(Header);
  if (!Loaded) return 0;

  const TBytes Once = Saved(Header);
  TCustomVastStringTree Other(&Host);
  Other.Header().SetTreeBounds(404, 304, 400, 280);
  FuzzCheck(Load(Other.Header(), Once), "a saved header does not load again");
  CheckConsistent(Other.Header());
  FuzzCheck(Saved(Other.Header()) == Once, "a saved header changes when loaded and saved again");
  return 0;
}
