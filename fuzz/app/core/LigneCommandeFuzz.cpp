// The command line: any parameters (UTF-16 code units, one parameter a line)
// give settings, never a crash, and the switches found are exactly the
// parameters that are switches.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/core/LigneCommande.h"
#include "fuzz/common/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::vector<String> Params(1);
  for (std::size_t I = 0; I + 1 < Size; I += 2) {
    const Char Unit = static_cast<Char>(Data[I] | (Data[I + 1] << 8));
    if (Unit == u'\n')
      Params.emplace_back();
    else
      Params.back() += Unit;
  }
  if (Size < 2) Params.clear();

  const TLigneCommande Line = LitLigneCommande(Params);
  // Only connection parameters (a field or -passive) connect, and only
  // then is the passive box decided.
  const bool Field = Line.Host || Line.User || Line.Pass || Line.Port || Line.Racine;
  FuzzCheck(Line.Passif.has_value() == Line.Connecter, "the passive box decided without connecting");
  bool Passive = false, FR = false, US = false, Unlocalize = false;
  for (const String& P : Params) {
    Passive = Passive || EstSwitch(P, u"passive");
    FR = FR || EstSwitch(P, u"FR");
    US = US || EstSwitch(P, u"US");
    Unlocalize = Unlocalize || EstSwitch(P, u"unlocalize");
  }
  FuzzCheck(Line.Connecter == (Field || Passive), "Connecter without connection parameters");
  FuzzCheck(!Line.Passif || *Line.Passif == Passive, "passive box and -passive differ");
  FuzzCheck(Line.FR == FR && Line.US == US && Line.Unlocalize == Unlocalize, "language switches differ");
  return 0;
}
