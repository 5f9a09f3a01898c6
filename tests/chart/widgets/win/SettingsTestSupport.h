#pragma once
// What the settings tests share: values read back as text, so that one
// table of cases covers every type, and documents saved, loaded or refused.
#include <gtest/gtest.h>

#include <string>

#include "chart/widgets/VivIzudePersistence.h"
#include "rtl/Streams.h"
#include "rtl/SysUtils.h"

namespace settings_test {

inline std::string Text(const String& S) { return std::string(S.begin(), S.end()); }
inline std::string Num(double V) { return std::to_string(V); }

inline std::string SaveText(IVivIzudePersistence* O) {
  TMemoryStream S;
  O->SaveSettingsToStream(&S);
  std::string Out(static_cast<std::size_t>(S.Size()), '\0');
  S.SetPosition(0);
  if (!Out.empty()) S.ReadBuffer(Out.data(), static_cast<Integer>(Out.size()));
  return Out;
}

inline void LoadText(IVivIzudePersistence* O, const std::string& Json) {
  TMemoryStream Doc;
  Doc.WriteBuffer(Json.data(), static_cast<Integer>(Json.size()));
  O->LoadSettingsFromStream(&Doc);
}

// Loading Json into Target must raise, with Message within the error text.
inline void ExpectRefused(IVivIzudePersistence* Target, const std::string& Json, const std::string& Message) {
  bool Threw = false;
  try {
    LoadText(Target, Json);
  } catch (const Exception& E) {
    Threw = true;
    EXPECT_FALSE(E.Message().empty()) << Json;
    EXPECT_NE(Text(E.Message()).find(Message), std::string::npos) << Text(E.Message());
  }
  EXPECT_TRUE(Threw) << Json;
}

}  // namespace settings_test
