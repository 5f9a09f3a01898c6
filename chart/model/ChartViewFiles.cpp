#include "chart/model/ChartViewFiles.h"

#include <algorithm>
#include <cmath>

#include "chart/model/ChartPersistent.h"
#include "rtl/SysUtils.h"
#include "rtl/UpdateGuard.h"

// ---------------------------------------------------------------- set texts
String OrdinalSetText(Cardinal Bits, int MemberCount) {
  String S;
  for (int I = 0; I < MemberCount && I < 32; ++I)
    if (Bits & (1u << I)) S += u":" + IntToStr(I);
  return S;
}

Cardinal AddOrdinalSetText(Cardinal Bits, const String& Text, int MemberCount) {
  for (Integer O : ReadOrdinalList(Text))
    if (O >= 0 && O < MemberCount && O < 32) Bits |= 1u << O;
  return Bits;
}

// ---------------------------------------------------------------- settings file
namespace {
String PaneSection(const String& Name, Integer Index) { return Name + u".Pane" + IntToStr(Index); }

void SaveSplitter(TCustomIniFile& Ini, const String& Section, const TChartSplitterKeys& K) {
  Ini.WriteInteger(Section, u"Color", K.Color);
  Ini.WriteInteger(Section, u"ColorTo", K.ColorTo);
  Ini.WriteInteger(Section, u"GradientSteps", K.GradientSteps);
  Ini.WriteInteger(Section, u"GradientDirection", K.GradientDirection);
  Ini.WriteInteger(Section, u"Height", K.Height);
  Ini.WriteInteger(Section, u"LineColor", K.LineColor);
  Ini.WriteInteger(Section, u"LineWidth", K.LineWidth);
  Ini.WriteBool(Section, u"Visible", K.Visible);
}

void LoadSplitter(const TCustomIniFile& Ini, const String& Section, TChartSplitterKeys& K) {
  K.Color = Ini.ReadInteger(Section, u"Color", K.Color);
  K.ColorTo = Ini.ReadInteger(Section, u"ColorTo", K.ColorTo);
  K.GradientSteps = Ini.ReadInteger(Section, u"GradientSteps", K.GradientSteps);
  K.GradientDirection = Ini.ReadInteger(Section, u"GradientDirection", K.GradientDirection);
  K.Height = Ini.ReadInteger(Section, u"Height", K.Height);
  K.LineColor = Ini.ReadInteger(Section, u"LineColor", K.LineColor);
  K.LineWidth = Ini.ReadInteger(Section, u"LineWidth", K.LineWidth);
  K.Visible = Ini.ReadBool(Section, u"Visible", K.Visible);
}
}  // namespace

void SaveChartPane(const IChartViewStore& Store, Integer Index, TCustomIniFile& Ini, const String& S) {
  TVivIzude& C = const_cast<IChartViewStore&>(Store).PaneChart(Index);
  const TChartPaneKeys K = Store.PaneKeys(Index);
  Ini.WriteInteger(S, u"AxisMode", C.AxisMode());
  C.Bands().SaveToFile(Ini, S + u".Bands");
  C.Background().SaveToFile(Ini, S + u".BackGround");
  Ini.WriteInteger(S, u"BorderStyle", K.BorderStyle);
  Ini.WriteInteger(S, u"BorderColor", K.BorderColor);
  Ini.WriteInteger(S, u"BorderWidth", K.BorderWidth);
  C.CrossHair().SaveToFile(Ini, S + u".CrossHair");
  Ini.WriteFloat(S, u"Height", K.Height);
  Ini.WriteInteger(S, u"HeightType", K.HeightType);
  C.Legend().SaveToFile(Ini, S + u".Legend");
  C.Margin().SaveToFile(Ini, S + u".Margin");
  C.Navigator().SaveToFile(Ini, S + u".Navigator");
  Ini.WriteString(S, u"Name", K.Name);
  Ini.WriteString(S, u"Options", OrdinalSetText(K.Options, 5));
  C.Range().SaveToFile(Ini, S + u".Range");
  Ini.WriteInteger(S, u"RectangleLeft", K.Rectangle.Left);
  Ini.WriteInteger(S, u"RectangleTop", K.Rectangle.Top);
  Ini.WriteInteger(S, u"RectangleRight", K.Rectangle.Right);
  Ini.WriteInteger(S, u"RectangleBottom", K.Rectangle.Bottom);
  C.Series().SaveToFile(Ini, S + u".Series");
  SaveSplitter(Ini, S + u".Splitter", K.Splitter);
  C.Title().SaveToFile(Ini, S + u".Title");
  Ini.WriteBool(S, u"Visible", K.Visible);
  C.XAxis().SaveToFile(Ini, S + u".XAxis");
  C.YAxis().SaveToFile(Ini, S + u".YAxis");
  C.XGrid().SaveToFile(Ini, S + u".XGrid");
  C.YGrid().SaveToFile(Ini, S + u".YGrid");
  Store.SavePaneExtra(Index, Ini, S);
}

void LoadChartPane(IChartViewStore& Store, Integer Index, const TCustomIniFile& Ini, const String& S,
                   bool AutoCreateSeries) {
  TVivIzude& C = Store.PaneChart(Index);
  TChartPaneKeys K = Store.PaneKeys(Index);
  C.SetAxisMode(ReadEnum(Ini, S, u"AxisMode", C.AxisMode(), 3));
  C.Bands().LoadFromFile(Ini, S + u".Bands");
  C.Background().LoadFromFile(Ini, S + u".BackGround");
  K.BorderStyle = Ini.ReadInteger(S, u"BorderStyle", K.BorderStyle);
  K.BorderColor = Ini.ReadInteger(S, u"BorderColor", K.BorderColor);
  K.BorderWidth = Ini.ReadInteger(S, u"BorderWidth", K.BorderWidth);
  C.CrossHair().LoadFromFile(Ini, S + u".CrossHair");
  K.Height = Ini.ReadFloat(S, u"Height", K.Height);
  K.HeightType = Ini.ReadInteger(S, u"HeightType", K.HeightType);
  C.Legend().LoadFromFile(Ini, S + u".Legend");
  C.Margin().LoadFromFile(Ini, S + u".Margin");
  C.Navigator().LoadFromFile(Ini, S + u".Navigator");
  K.Name = Ini.ReadString(S, u"Name", K.Name);
  K.Options = static_cast<Byte>(AddOrdinalSetText(K.Options, Ini.ReadString(S, u"Options", String()), 8));
  C.Range().LoadFromFile(Ini, S + u".Range");
  C.Series().LoadFromFile(Ini, S + u".Series", AutoCreateSeries);
  LoadSplitter(Ini, S + u".Splitter", K.Splitter);
  C.Title().LoadFromFile(Ini, S + u".Title");
  K.Visible = Ini.ReadBool(S, u"Visible", K.Visible);
  C.XAxis().LoadFromFile(Ini, S + u".XAxis");
  C.YAxis().LoadFromFile(Ini, S + u".YAxis");
  C.XGrid().LoadFromFile(Ini, S + u".XGrid");
  C.YGrid().LoadFromFile(Ini, S + u".YGrid");
  Store.ApplyPaneKeys(Index, K);
  Store.LoadPaneExtra(Index, Ini, S);
}

void SaveChartView(const IChartViewStore& Store, const String& FileName, const String& Name) {
  TMemIniFile Ini(FileName);
  const TChartViewKeys K = Store.ViewKeys();
  Ini.WriteInteger(Name, u"Align", K.Align);
  Ini.WriteString(Name, u"Anchors", OrdinalSetText(K.Anchors, 4));
  Ini.WriteInteger(Name, u"Color", K.Color);
  Ini.WriteBool(Name, u"DragAlphaBlend", K.DragAlphaBlend);
  Ini.WriteInteger(Name, u"DragAlphaBlendValue", K.DragAlphaBlendValue);
  Ini.WriteString(Name, u"Hint", K.Hint);
  Ini.WriteBool(Name, u"PanesSynched", K.PanesSynched);
  Ini.WriteBool(Name, u"ShowHint", K.ShowHint);
  Ini.WriteInteger(Name, u"TabOrder", K.TabOrder);
  Ini.WriteBool(Name, u"TabStop", K.TabStop);
  Ini.WriteBool(Name, u"VerticalCrossHairsSynched", K.VerticalCrossHairsSynched);
  Ini.WriteString(Name, u"Version", K.Version);
  Ini.WriteBool(Name, u"Visible", K.Visible);
  Ini.WriteFloat(Name, u"XAxisZoomSensitivity", K.XAxisZoomSensitivity);
  Ini.WriteFloat(Name, u"YAxisZoomSensitivity", K.YAxisZoomSensitivity);
  Ini.WriteInteger(Name, u"ZoomColor", K.ZoomColor);
  Ini.WriteInteger(Name, u"ZoomStyle", K.ZoomStyle);
  Ini.WriteBool(Name, u"EnableInteraction", K.EnableInteraction);
  Store.SaveExtra(Ini, Name);
  for (Integer I = 0; I < Store.PaneCount(); ++I) SaveChartPane(Store, I, Ini, PaneSection(Name, I));
  Ini.WriteInteger(Name, u"PaneCount", Store.PaneCount());
  Ini.UpdateFile();
}

void LoadChartView(IChartViewStore& Store, const String& FileName, const String& Name, bool AutoCreatePanes,
                   bool AutoCreateSeries) {
  const TUpdateGuard<IChartViewStore> Update(Store);
  // Read only: loading never writes the file back nor creates it.
  TMemIniFile Ini(FileName);
  TChartViewKeys K = Store.ViewKeys();
  K.Align = Ini.ReadInteger(Name, u"Align", K.Align);
  K.Anchors = static_cast<Byte>(AddOrdinalSetText(K.Anchors, Ini.ReadString(Name, u"Anchors", String()), 4));
  K.Color = Ini.ReadInteger(Name, u"Color", K.Color);
  K.DragAlphaBlend = Ini.ReadBool(Name, u"DragAlphaBlend", K.DragAlphaBlend);
  K.DragAlphaBlendValue = Ini.ReadInteger(Name, u"DragAlphaBlendValue", K.DragAlphaBlendValue);
  K.Hint = Ini.ReadString(Name, u"Hint", K.Hint);
  K.PanesSynched = Ini.ReadBool(Name, u"PanesSynched", K.PanesSynched);
  K.ShowHint = Ini.ReadBool(Name, u"ShowHint", K.ShowHint);
  K.TabOrder = Ini.ReadInteger(Name, u"TabOrder", K.TabOrder);
  K.TabStop = Ini.ReadBool(Name, u"TabStop", K.TabStop);
  K.VerticalCrossHairsSynched = Ini.ReadBool(Name, u"VerticalCrossHairsSynched", K.VerticalCrossHairsSynched);
  K.Visible = Ini.ReadBool(Name, u"Visible", K.Visible);
  K.XAxisZoomSensitivity = Ini.ReadFloat(Name, u"XAxisZoomSensitivity", K.XAxisZoomSensitivity);
  K.YAxisZoomSensitivity = Ini.ReadFloat(Name, u"YAxisZoomSensitivity", K.YAxisZoomSensitivity);
  K.ZoomColor = Ini.ReadInteger(Name, u"ZoomColor", K.ZoomColor);
  K.ZoomStyle = Ini.ReadInteger(Name, u"ZoomStyle", K.ZoomStyle);
  K.EnableInteraction = Ini.ReadBool(Name, u"EnableInteraction", K.EnableInteraction);
  Store.ApplyViewKeys(K);
  Store.LoadExtra(Ini, Name);
  if (AutoCreatePanes) {
    // A damaged count makes no more panes than a screen could hold.
    Store.RecreatePanes(std::clamp(Ini.ReadInteger(Name, u"PaneCount", 0), 0, 1000));
  }
  for (Integer I = 0; I < Store.PaneCount(); ++I) LoadChartPane(Store, I, Ini, PaneSection(Name, I), AutoCreateSeries);
}

// ---------------------------------------------------------------- CSV
namespace {
String Quoted(const String& S) { return u"\"" + StringReplace(S, u"\"", u"\"\"", rfReplaceAll) + u"\""; }
// The usual short text, or 17 digits when 15 would not read back to the
// same number: a saved point loads back exactly.
String Number(double V) {
  const TFormatSettings Inv = TFormatSettings::Invariant();
  String S = FloatToStr(V, Inv);
  double Back;
  if (std::isfinite(V) && !(TryStrToFloat(S, Back, Inv) && Back == V)) S = FloatToStrF(V, ffGeneral, 17, 0, Inv);
  return S;
}

bool ToFloat(const String& S, double& V, const TFormatSettings& Regional) {
  return TryStrToFloat(S, V, TFormatSettings::Invariant()) || TryStrToFloat(S, V, Regional);
}
}  // namespace

String ChartPointCSVLine(Integer Pane, Integer Serie, const TChartPoint& P) {
  const String Fields[18] = {IntToStr(Pane),          IntToStr(Serie),         Number(P.SingleValue),
                             Number(P.SecondValue),   Number(P.OpenValue),     Number(P.LowValue),
                             Number(P.HighValue),     Number(P.CloseValue),    P.Defined ? u"-1" : u"0",
                             IntToStr(P.PixelValue1), IntToStr(P.PixelValue2), IntToStr(P.Color),
                             IntToStr(P.ColorTo),     Number(P.TimeStamp),     IntToStr(Integer(P.ValueType)),
                             P.LegendValue,           Number(P.SingleXValue),  Number(P.MedValue)};
  String Line;
  for (const String& F : Fields) Line += Quoted(F) + u";";
  return Line + u"\"";
}

std::vector<TChartCSVRecord> SplitChartCSV(const String& Text) {
  std::vector<TChartCSVRecord> Records;
  TChartCSVRecord Rec;
  String Field;
  bool InQuotes = false, Any = false;
  Integer Line = 1;
  Rec.Line = 1;
  auto EndField = [&] {
    Rec.Fields.push_back(Field);
    Field.clear();
  };
  auto EndRecord = [&] {
    if (Any || !Field.empty()) {
      EndField();
      Records.push_back(std::move(Rec));
    }
    Rec = TChartCSVRecord();
    Field.clear();
    Any = false;
  };
  for (size_t I = 0; I < Text.size(); ++I) {
    Char C = Text[I];
    if (InQuotes) {
      if (C == u'"') {
        if (I + 1 < Text.size() && Text[I + 1] == u'"') {
          Field += u'"';
          ++I;
        } else {
          InQuotes = false;
        }
      } else if ((C == u'\r' || C == u'\n') && Field.empty() && Rec.Fields.size() >= 18) {
        // The lone quote that closes every line of the format: the record
        // ends here.
        InQuotes = false;
        --I;
      } else {
        if (C == u'\n') ++Line;
        Field += C;
      }
      continue;
    }
    if (C == u'\r' || C == u'\n') {
      if (C == u'\r' && I + 1 < Text.size() && Text[I + 1] == u'\n') ++I;
      EndRecord();
      ++Line;
      Rec.Line = Line;
      continue;
    }
    Any = true;
    if (C == u'"')
      InQuotes = true;
    else if (C == u';')
      EndField();
    else
      Field += C;
  }
  EndRecord();
  return Records;
}

bool ReadChartPointCSV(const std::vector<String>& F, Integer& Pane, Integer& Serie, TChartPoint& P, String& Reason,
                       const TFormatSettings& Regional) {
  if (F.size() < 18) {
    Reason = u"expected 18 fields, found " + IntToStr(Integer(F.size()));
    return false;
  }
  InitChartPoint(P);
  auto Int = [&](size_t I, Integer& V) {
    if (TryStrToInt(Trim(F[I]), V)) return true;
    Reason = u"field " + IntToStr(Integer(I + 1)) + u" is not a whole number: " + F[I];
    return false;
  };
  auto Float = [&](size_t I, double& V) {
    if (ToFloat(Trim(F[I]), V, Regional)) return true;
    Reason = u"field " + IntToStr(Integer(I + 1)) + u" is not a number: " + F[I];
    return false;
  };
  Integer ValueType = 0;
  bool Ok = Int(0, Pane) && Int(1, Serie) && Float(2, P.SingleValue) && Float(3, P.SecondValue) &&
            Float(4, P.OpenValue) && Float(5, P.LowValue) && Float(6, P.HighValue) && Float(7, P.CloseValue);
  if (!Ok) return false;
  if (!TryStrToBool(Trim(F[8]), P.Defined)) {
    Reason = u"field 9 is not a Boolean: " + F[8];
    return false;
  }
  Ok = Int(9, P.PixelValue1) && Int(10, P.PixelValue2) && Int(11, P.Color) && Int(12, P.ColorTo) &&
       Float(13, P.TimeStamp) && Int(14, ValueType) && Float(16, P.SingleXValue) && Float(17, P.MedValue);
  if (!Ok) return false;
  if (ValueType < 0 || ValueType > cpvMulti) {
    Reason = u"field 15 is not a value type: " + F[14];
    return false;
  }
  P.ValueType = static_cast<TChartPointValueType>(ValueType);
  P.LegendValue = F[15];
  if (Pane < 0 || Serie < 0) {
    Reason = u"a negative pane or serie index";
    return false;
  }
  return true;
}

void SaveChartViewCSV(IChartViewStore& Store, const String& FileName) {
  TStringList Lines;
  for (Integer Pane = 0; Pane < Store.PaneCount(); ++Pane) {
    TChartSeries& Series = Store.PaneChart(Pane).Series();
    for (Integer J = 0; J < Series.Count(); ++J) {
      const TChartSerie& S = Series.Items(J);
      const Integer N = S.GetPointsCount();
      for (Integer I = 0; I < N; ++I) Lines.Add(ChartPointCSVLine(Pane, J, S.GetPoint(I)));
    }
  }
  // UTF-8 with its byte-order mark keeps every legend text; reading
  // recognises the mark, and files without it are read as before.
  Lines.SaveToFile(FileName, TEncoding::UTF8());
}

TChartCSVLoadResult LoadChartViewCSV(IChartViewStore& Store, const String& FileName, bool CreateChart,
                                     const TFormatSettings& Regional) {
  TChartCSVLoadResult Result;
  const TUpdateGuard<IChartViewStore> Update(Store);
  TStringList Lines;
  Lines.LoadFromFile(FileName);
  if (CreateChart) Store.DeletePanes();
  Integer PaneCounter = -1, SerieCounter = -1;
  TVivIzude* Pane = nullptr;
  TChartSerie* Serie = nullptr;
  for (const TChartCSVRecord& R : SplitChartCSV(Lines.Text())) {
    Integer PaneNo = 0, SerieNo = 0;
    TChartPoint P;
    String Reason;
    if (!ReadChartPointCSV(R.Fields, PaneNo, SerieNo, P, Reason, Regional)) {
      Result.Errors.push_back({R.Line, Reason});
      continue;
    }
    if (PaneNo != PaneCounter) {
      ++PaneCounter;
      Pane = nullptr;
      SerieCounter = -1;
      Serie = nullptr;
    }
    if (!Pane) {
      if (CreateChart)
        Pane = &Store.AddPane();
      else if (PaneCounter < Store.PaneCount())
        Pane = &Store.PaneChart(PaneCounter);
    }
    if (!Pane) continue;
    if (SerieNo != SerieCounter) {
      ++SerieCounter;
      Serie = nullptr;
    }
    if (!Serie) {
      if (CreateChart)
        Serie = &Pane->Series().Add();
      else if (SerieCounter < Pane->Series().Count())
        Serie = &Pane->Series().Items(SerieCounter);
      if (Serie) Serie->ClearPoints();
    }
    if (!Serie) continue;
    Serie->AddChartPoint(P);
    ++Result.Points;
  }
  return Result;
}
