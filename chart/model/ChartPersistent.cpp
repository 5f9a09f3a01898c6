#include "chart/model/ChartPersistent.h"

#include "rtl/SysUtils.h"

String FontStyleToString(TFontStyles Style) {
  String S;
  if (Style.Contains(fsBold)) S += u":0";
  if (Style.Contains(fsItalic)) S += u":1";
  if (Style.Contains(fsUnderline)) S += u":2";
  if (Style.Contains(fsStrikeOut)) S += u":3";
  return S;
}

void SplitDelimited(Char Delimiter, const String& Text, TStringList& List) {
  List.Clear();
  String Item;
  for (Char C : Text) {
    if (C == Delimiter) {
      List.Add(Item);
      Item.clear();
    } else {
      Item += C;
    }
  }
  List.Add(Item);
}

std::vector<Integer> ReadOrdinalList(const String& Text) {
  std::vector<Integer> Result;
  if (Text.empty()) return Result;
  TStringList List;
  SplitDelimited(u':', Text, List);
  for (Integer I = 1; I < List.Count(); ++I) {
    Integer V;
    if (TryStrToInt(Trim(List[I]), V)) Result.push_back(V);
  }
  return Result;
}

void WriteChartFont(TCustomIniFile& Ini, const String& Section, const String& Prefix, const TChartFont& Font) {
  Ini.WriteInteger(Section, Prefix + u"FontSize", Font.Size());
  Ini.WriteInteger(Section, Prefix + u"FontColor", Font.Color());
  Ini.WriteString(Section, Prefix + u"FontName", Font.Name());
  Ini.WriteString(Section, Prefix + u"FontStyle", FontStyleToString(Font.Style()));
}

void ReadChartFont(const TCustomIniFile& Ini, const String& Section, const String& Prefix, TChartFont& Font) {
  Font.SetSize(Ini.ReadInteger(Section, Prefix + u"FontSize", Font.Size()));
  Font.SetColor(Ini.ReadInteger(Section, Prefix + u"FontColor", Font.Color()));
  Font.SetName(Ini.ReadString(Section, Prefix + u"FontName", Font.Name()));
  TFontStyles Style = Font.Style();
  for (Integer V : ReadOrdinalList(Ini.ReadString(Section, Prefix + u"FontStyle", u"")))
    if (V >= 0 && V <= 3) Style.Include(static_cast<TFontStyle>(V));
  Font.SetStyle(Style);
}
