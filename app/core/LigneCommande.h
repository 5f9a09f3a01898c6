#pragma once
// The command line and its switches.
//
// Parameters "HOST=", "USER=", "PASS=", "PORT=", "RACINE=" in any case,
// starting at the parameter's second character (after any one-character
// prefix: -host=, /host=, xhost= all count; host= does not), set the field
// to the text after the parameter's first "=" (case kept, later "=" kept);
// the first rule that matches decides. The port is the text as an integer,
// 21 when it is not one (the spin edit then keeps it within 1 to 65534).
// Switches: "-" or "/" and the word, any case: passive, FR, US, unlocalize.
// Only connection parameters (the five fields and "passive") make the
// program connect, and only on such a command line does "passive" (or its
// absence) decide the passive box: "-FR" or "-US" alone changes the
// language and nothing else.
#include <optional>
#include <vector>

#include "rtl/Types.h"

struct TLigneCommande {
  std::optional<String> Host;
  std::optional<String> User;
  std::optional<String> Pass;
  std::optional<Integer> Port;
  std::optional<String> Racine;
  // The passive check box: set when there are connection parameters
  // (checked exactly when -passive is among them), empty otherwise (the box
  // keeps its state).
  std::optional<bool> Passif;
  bool FR = false;
  bool US = false;
  bool Unlocalize = false;
  // Any connection parameter: connect when the main window is first shown.
  bool Connecter = false;
};

// Params are the program's parameters without the program name.
TLigneCommande LitLigneCommande(const std::vector<String>& Params);
// Whether Param is the switch Word ("-" or "/" then Word, any case).
bool EstSwitch(const String& Param, const String& Word);
