#include "net/netip.h"

#include "net/netutil.h"

namespace {

bool IsHexWord(const String& s) {
  if (s.empty()) return false;
  Cardinal v = 0;
  for (Char c : s) {
    int d;
    if (c >= u'0' && c <= u'9')
      d = c - u'0';
    else if (c >= u'a' && c <= u'f')
      d = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
      d = c - u'A' + 10;
    else
      return false;
    v = v * 16 + static_cast<Cardinal>(d);
    if (v > 0xFFFF) return false;
  }
  return true;
}

int HexWordValue(const String& s) {
  if (!IsHexWord(s)) return -1;
  int v = 0;
  for (Char c : s) {
    int d = (c <= u'9') ? c - u'0' : ((c | 0x20) - u'a' + 10);
    v = v * 16 + d;
  }
  return v;
}

// Decimal number of a text, or -1 (also when it does not fit).
long DecimalValue(const String& s) {
  if (s.empty()) return -1;
  long v = 0;
  for (Char c : s) {
    if (c < u'0' || c > u'9') return -1;
    v = v * 10 + (c - u'0');
    if (v > 0xFFFFFF) return -1;
  }
  return v;
}

String AsciiToString(const AnsiString& a) { return String(a.begin(), a.end()); }

AnsiString StringToAscii(const String& s) {
  AnsiString a;
  a.reserve(s.size());
  for (Char c : s) a += c < 0x80 ? static_cast<char>(c) : '?';
  return a;
}

}  // namespace

bool IsByteText(const String& Value) {
  const long v = DecimalValue(Value);
  return v >= 0 && v <= 255;
}

bool IsIPv4Text(const String& Value) {
  String rest = Value;
  for (int i = 0; i < 3; ++i) {
    if (!IsByteText(SplitOffField(rest, u"."))) return false;
  }
  return IsByteText(TrimBlanks(rest));
}

bool IsIPv6Text(const String& Value) {
  if (Value == u"::") return true;
  String rest = Value;
  int groups = 0;
  int emptyAfterFirst = 0;
  String group;
  bool lastValid = false;
  while (!rest.empty()) {
    group = SplitOffField(rest, u":");
    ++groups;
    if (groups > 8) return false;
    if (group.empty()) {
      if (groups > 1) ++emptyAfterFirst;
      if (emptyAfterFirst > 1) return false;
      lastValid = false;
      continue;
    }
    const auto pct = group.find(u'%');
    if (pct != String::npos) {
      // Only the last group may carry a zone.
      if (!rest.empty()) return false;
      if (!IsHexWord(group.substr(0, pct)) || !IsHexWord(group.substr(pct + 1))) return false;
    } else if (!IsHexWord(group)) {
      return false;
    }
    lastValid = true;
  }
  return lastValid && (groups >= 2 || emptyAfterFirst > 0);
}

TIPv4Bytes IPv4TextToBytes(const String& Value) {
  TIPv4Bytes r{};
  String rest = Value;
  for (int i = 0; i < 4; ++i) {
    const String field = SplitOffField(rest, u".");
    const long v = DecimalValue(field);
    r[i] = v < 0 ? 0 : static_cast<Byte>(v & 0xFF);
  }
  return r;
}

AnsiString ExpandIPv6Text(const AnsiString& Value) {
  const Integer n = CountChar(Value, ':');
  if (n > 7) return AnsiString();
  AnsiString s = Value;
  if (!s.empty() && s.front() == ':') s.insert(s.begin(), '0');
  if (!s.empty() && s.back() == ':') s += '0';
  AnsiString fill;
  for (Integer i = 0; i < 8 - n; ++i) fill += ":0";
  fill += ':';
  return ReplaceSubstring(s, "::", fill);
}

TIPv6Bytes IPv6TextToBytes(const String& Value) {
  TIPv6Bytes r{};
  String text = AsciiToString(ExpandIPv6Text(StringToAscii(Value)));
  const auto pct = text.find(u'%');
  if (pct != String::npos) text.resize(pct);
  Word words[8] = {};
  int index = 0;
  while (!text.empty()) {
    if (index > 7) return TIPv6Bytes{};
    const String g = SplitOffField(text, u":");
    if (!g.empty()) {
      const int v = HexWordValue(g);
      if (v < 0) return TIPv6Bytes{};
      words[index] = static_cast<Word>(v);
    }
    ++index;
  }
  for (int i = 0; i < 8; ++i) {
    r[i * 2] = static_cast<Byte>(words[i] >> 8);
    r[i * 2 + 1] = static_cast<Byte>(words[i] & 0xFF);
  }
  return r;
}

String IPv6BytesToText(const TIPv6Bytes& Bytes) {
  Word g[8];
  for (int i = 0; i < 8; ++i) g[i] = static_cast<Word>((Bytes[i * 2] << 8) | Bytes[i * 2 + 1]);
  int bestStart = -1, bestLen = 0;
  for (int i = 0; i < 8;) {
    if (g[i] != 0) {
      ++i;
      continue;
    }
    int j = i;
    while (j < 8 && g[j] == 0) ++j;
    if (j - i > bestLen) {
      bestStart = i;
      bestLen = j - i;
    }
    i = j;
  }
  auto hex = [](Word w) {
    static const char digits[] = "0123456789abcdef";
    String s;
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
      const int d = (w >> shift) & 0xF;
      if (d != 0 || started || shift == 0) {
        s += static_cast<Char>(digits[d]);
        started = true;
      }
    }
    return s;
  };
  if (bestLen == 8) return u"::0";
  String r;
  if (bestStart < 0) {
    for (int i = 0; i < 8; ++i) {
      if (i) r += u':';
      r += hex(g[i]);
    }
    return r;
  }
  for (int i = 0; i < bestStart; ++i) {
    if (i) r += u':';
    r += hex(g[i]);
  }
  r += u"::";
  for (int i = bestStart + bestLen; i < 8; ++i) {
    if (i > bestStart + bestLen) r += u':';
    r += hex(g[i]);
  }
  return r;
}
