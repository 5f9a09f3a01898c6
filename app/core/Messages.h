#pragma once
// How the window-free core gets the texts it shows: one replaceable function
// from a translation key ("Connecte", "Erreur", "Termine", ...) to the text.
// The translation tables (uIntl, GetMsg) plug themselves in at start-up with
// SetGetMsgFunc(GetMsg); until then, and after SetGetMsgFunc(nullptr), a key
// gives "** " + key + " **", which is what GetMsg answers for a missing key.
//
// Called on the user-interface thread only, like GetMsg itself.
#include <functional>

#include "rtl/Types.h"

using TGetMsgFunc = std::function<String(const String& Key)>;

// Installs Func (nullptr restores the default) and returns the previous one.
TGetMsgFunc SetGetMsgFunc(TGetMsgFunc Func);
// The text of Key through the installed function.
String AppMsg(const String& Key);
