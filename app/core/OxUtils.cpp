#include "app/core/OxUtils.h"

#include <bitset>

String ReplaceAllText(const String& S, const String& OldPattern, const String& NewPattern) {
  if (OldPattern.empty()) return S;
  String out;
  out.reserve(S.size());
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = S.find(OldPattern, from);
    if (at == String::npos) break;
    out.append(S, from, at - from);
    out += NewPattern;
    from = at + OldPattern.size();
  }
  out.append(S, from, String::npos);
  return out;
}

String ExtractDelimitedField(Integer N, const String& S, std::u16string_view Delimiters) {
  if (N <= 0) return String();
  std::bitset<256> set;
  for (Char c : Delimiters)
    if (c < 256) set.set(c);
  Integer field = 1;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= S.size(); ++i) {
    const bool end = i == S.size() || (S[i] < 256 && set.test(S[i]));
    if (!end) continue;
    if (field == N) return S.substr(start, i - start);
    ++field;
    start = i + 1;
  }
  return String();
}
