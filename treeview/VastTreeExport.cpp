// Renderings of a string tree's cells: HTML, RTF, separated text, a walk
// that fires events for a caller-made format, and a CSV file.
#include "treeview/VastTreeExport.h"

#include <algorithm>
#include <string>

#include "rtl/Encoding.h"
#include "rtl/Math.h"
#include "rtl/ScopeExit.h"
#include "rtl/StringList.h"
#include "rtl/SysUtils.h"

namespace {

// Text and attribute values: a cell text may hold markup or quotes.
String HtmlEscape(const String& S) {
  String R;
  R.reserve(S.size());
  for (Char C : S) {
    switch (C) {
      case u'&':
        R += u"&amp;";
        break;
      case u'<':
        R += u"&lt;";
        break;
      case u'>':
        R += u"&gt;";
        break;
      case u'"':
        R += u"&quot;";
        break;
      case u'\'':
        R += u"&#39;";
        break;
      default:
        R += C;
    }
  }
  return R;
}

// A font name inside a CSS rule or style attribute: characters that would
// end the quoted name, the rule or the style element are dropped.
String CssFontName(const String& S) {
  String R;
  for (Char C : S)
    if (C >= 0x20 && C != u'\'' && C != u'"' && C != u'\\' && C != u'<' && C != u'>' && C != u'{' && C != u'}' &&
        C != u';')
      R += C;
  return R;
}

String HexColor(TColor RGB) {
  static const char Digits[] = "0123456789ABCDEF";
  const auto U = static_cast<Cardinal>(RGB);
  String R = u"#";
  for (int Shift : {0, 8, 16}) {
    const Byte B = static_cast<Byte>(U >> Shift);
    R += static_cast<Char>(Digits[B >> 4]);
    R += static_cast<Char>(Digits[B & 15]);
  }
  return R;
}

// The style bits of the stored font (the platform font model's numbers).
constexpr Integer FontBold = 1, FontItalic = 2, FontUnderline = 4;

Integer FontPointSize(const TVTHeaderFont& F, Integer PPI) {
  if (F.Height < 0) return static_cast<Integer>(Round(-F.Height * 72.0 / (PPI > 0 ? PPI : 96)));
  return -static_cast<Integer>(Round(F.Height * 72.0 / (PPI > 0 ? PPI : 96)));
}

bool NeedsQuoting(const String& Cell, const String& Separator) {
  if (!Separator.empty() && Cell.find(Separator) != String::npos) return true;
  return Cell.find_first_of(u"\"\r\n") != String::npos;
}

String Quoted(const String& Cell) {
  String R = u"\"";
  for (Char C : Cell) {
    if (C == u'"') R += u'"';
    R += C;
  }
  return R + u"\"";
}

TAlignment Mirrored(TAlignment A, TBiDiMode BiDi) {
  if (BiDi == bdLeftToRight) return A;
  if (A == taLeftJustify) return taRightJustify;
  if (A == taRightJustify) return taLeftJustify;
  return A;
}

String AlignmentAttributes(TAlignment A, TBiDiMode BiDi) {
  String R;
  if (BiDi != bdLeftToRight) {
    A = Mirrored(A, BiDi);
    R += u" dir=\"rtl\"";
  }
  if (A == taRightJustify) return R + u" align=right";
  if (A == taCenter) return R + u" align=center";
  return R + u" align=left";
}

// The RTF of a name in the font table: control characters and the
// characters that would end the entry or the group are escaped.
RawByteString RtfFontName(const String& S) {
  RawByteString R;
  for (Char C : S) {
    if (C >= 0x20 && C < 0x7F && C != u'\\' && C != u'{' && C != u'}' && C != u';') {
      R += static_cast<char>(C);
    } else {
      R += "\\u" + std::to_string(static_cast<int16_t>(C)) + "\\'3f";
    }
  }
  return R;
}

}  // namespace

// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------

TVTExportLook TCustomVastStringTree::GetExportLook() {
  TVTExportLook Look;
  Look.Font = Header().Font();
  return Look;
}

TColor TCustomVastStringTree::ExportColorToRGB(TColor Color) {
  if ((static_cast<Cardinal>(Color) & 0xFF000000u) != 0xFF000000u) return Color & 0xFFFFFF;
  switch (Color & 0xFF) {
    case 5:
      return 0xFFFFFF;  // window
    case 15:
      return 0xF0F0F0;  // button face
    default:
      return 0;  // texts and the rest
  }
}

void TCustomVastStringTree::BeginSourceWalk(TVSTTextSourceType Source, PVastNode& Node, TVTNextNodeProc& NextNodeProc) {
  switch (Source) {
    case tstInitialized:
      Node = GetFirstInitialized();
      NextNodeProc = [this](PVastNode N) { return GetNextInitialized(N); };
      break;
    case tstSelected:
      Node = GetFirstSelected();
      NextNodeProc = [this](PVastNode N) { return GetNextSelected(N); };
      break;
    case tstCutCopySet:
      Node = GetFirstCutCopy();
      NextNodeProc = [this](PVastNode N) { return GetNextCutCopy(N); };
      break;
    case tstVisible:
      Node = GetFirstVisible();
      NextNodeProc = [this](PVastNode N) { return GetNextVisible(N); };
      break;
    case tstChecked:
      Node = GetFirstChecked(csCheckedNormal);
      NextNodeProc = [this](PVastNode N) { return GetNextChecked(N, csCheckedNormal); };
      break;
    default:
      Node = GetFirst();
      NextNodeProc = [this](PVastNode N) { return GetNext(N); };
  }
}

bool TCustomVastStringTree::PassesExportMode(PVastNode Node) {
  switch (TreeOptions().ExportMode()) {
    case emChecked:
      return GetCheckState(Node) == csCheckedNormal;
    case emUnchecked:
      return GetCheckState(Node) == csUncheckedNormal;
    case emVisibleDueToExpansion: {
      PVastNode Parent = GetNodeParent(Node);
      return !Parent || GetExpanded(Parent);
    }
    case emSelected:
      return GetSelected(Node);
    default:
      return true;
  }
}

String TCustomVastStringTree::ContentToHTML(TVSTTextSourceType Source, const String& Caption) {
  BeginOperation(okExport);
  TScopeExit Done([this] { EndOperation(okExport); });
  TBufferedString Buffer;
  const TVTExportLook Look = GetExportLook();
  const Integer PPI = Host().PixelsPerInch();
  const bool Columns = Header().UseColumns();
  const TColumnIndex Main = Header().MainColumn();
  const TVTPaintOptions Paint = TreeOptions().PaintOptions();

  const String Padding = u"padding-left: " + IntToStr(Margin()) + u"px; padding-right: " + IntToStr(Margin()) + u"px;";
  const String IndentWidth = IntToStr(Indent());
  String TableAttributes = u" ";
  if (!Caption.empty()) TableAttributes += u"caption=\"" + HtmlEscape(Caption) + u"\"";
  if (Look.HasBorder) TableAttributes += u" border=\"" + IntToStr(Look.BorderWidth + 1) + u"\" frame=box";

  auto Style = [&](const String& Name, const TVTHeaderFont& F) {
    String R = Name.empty() ? String(u" style=\"") : u"." + Name + u"{";
    const String FontName = Name.empty() ? HtmlEscape(CssFontName(F.Name)) : CssFontName(F.Name);
    R += u"font-family: '" + FontName + u"'; ";
    const Integer Size = FontPointSize(F, PPI);
    if (Size < 0)
      R += u"font-size: " + IntToStr(F.Height) + u"px; ";
    else
      R += u"font-size: " + IntToStr(Size) + u"pt; ";
    R += String(u"font-style: ") + ((F.Style & FontItalic) ? u"italic" : u"normal") + u"; ";
    R += String(u"font-weight: ") + ((F.Style & FontBold) ? u"bold" : u"normal") + u"; ";
    R += String(u"text-decoration: ") + ((F.Style & FontUnderline) ? u"underline" : u"none") + u"; ";
    R += u"color: " + HexColor(ExportColorToRGB(F.Color)) + u";";
    return R + (Name.empty() ? u"\"" : u"}");
  };

  Buffer.Add(u"<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
  Buffer.Add(u"<style type=\"text/css\">");
  Buffer.AddNewLine();
  Buffer.Add(Style(u"default", Look.Font));
  Buffer.AddNewLine();
  Buffer.Add(Style(u"header", Header().Font()));
  Buffer.AddNewLine();
  const String LineStyleText = this->LineStyle() == lsSolid ? u"solid;" : u"dotted;";
  if (Paint.Contains(toShowHorzGridLines))
    Buffer.Add(u".noborder{ border-bottom:1px; border-left: 0px; border-right: 0px; border-top: 1px;border-style:" +
               LineStyleText);
  else
    Buffer.Add(u".noborder{border-style: none;");
  Buffer.Add(Padding + u"}");
  Buffer.AddNewLine();
  Buffer.Add(u".normalborder {vertical-align: top; ");
  Buffer.Add(Paint.Contains(toShowVertGridLines) ? u"border-right: 1px; border-left: 1px; "
                                                 : u"border-right: none; border-left:none; ");
  Buffer.Add(Paint.Contains(toShowHorzGridLines) ? u"border-top: 1px; border-bottom: 1px; "
                                                 : u"border-top:none; border-bottom: none;");
  Buffer.Add(u"border-width: thin; border-style: " + LineStyleText + Padding + u"}");
  Buffer.Add(u"</style>");
  Buffer.AddNewLine();
  Buffer.Add(u"<table class=\"default\" style=\"border-collapse: collapse;\" bgcolor=" +
             HexColor(ExportColorToRGB(Look.Color)) + TableAttributes + u" cellspacing=\"0\">");
  Buffer.AddNewLine();

  PVastNode Node = nullptr;
  TVTNextNodeProc Next;
  Cardinal Deepest = 0;
  BeginSourceWalk(Source, Node, Next);
  for (; Node; Node = Next(Node))
    if (PassesExportMode(Node)) Deepest = std::max(Deepest, GetNodeLevel(Node));

  TColumnsArray Visible;
  if (Columns) Visible = Header().Columns().GetVisibleColumns();
  if (Columns) {
    if (OnBeforeHeaderExport) OnBeforeHeaderExport(this, etHTML);
    Buffer.Add(u"<tr class=\"header\" style=\"" + Padding + u"\">");
    Buffer.AddNewLine();
    for (TVastTreeColumn* C : Visible) {
      if (OnBeforeColumnExport) OnBeforeColumnExport(this, etHTML, C);
      Buffer.Add(u"<th height=\"" + IntToStr(Header().Height()) + u"px\"" +
                 AlignmentAttributes(C->CaptionAlignment(), C->BiDiMode()));
      if (C->Index() == Main && Deepest > 0) Buffer.Add(u" colspan=\"" + IntToStr(Deepest + 1) + u"\"");
      Buffer.Add(u" bgcolor=" + HexColor(ExportColorToRGB(vtclBtnFace)) + u" width=\"" + IntToStr(C->Width()) +
                 u"px\">");
      Buffer.Add(HtmlEscape(C->Text()));
      Buffer.Add(u"</th>");
      if (OnAfterColumnExport) OnAfterColumnExport(this, etHTML, C);
    }
    Buffer.Add(u"</tr>");
    Buffer.AddNewLine();
    if (OnAfterHeaderExport) OnAfterHeaderExport(this, etHTML);
  }

  const bool ShowStatic = StringOptions().Contains(toShowStaticText);
  BeginSourceWalk(Source, Node, Next);
  while (Node && !OperationCanceled()) {
    if (!PassesExportMode(Node)) {
      Node = Next(Node);
      continue;
    }
    if (OnBeforeNodeExport) OnBeforeNodeExport(this, etHTML, Node);
    Buffer.Add(u" <tr class=\"default\">");
    Buffer.AddNewLine();
    const Cardinal Level = GetNodeLevel(Node);
    const Integer Height = static_cast<Integer>(GetNodeHeight(Node));
    auto Cell = [&](TVastTreeColumn* C) {
      const TColumnIndex Index = C ? C->Index() : NoColumn;
      TVSTGetCellTextEventArgs E;
      E.Node = Node;
      E.Column = Index;
      E.ExportType = etHTML;
      DoGetText(E);
      TVTHeaderFont CellFont = Look.Font;
      const bool FontChanged = ExportPaintText(Node, Index, ttNormal, CellFont);
      const bool ParentColor = !C || C->Options().Contains(coParentColor);
      if (!C || Index == Main) {
        for (Cardinal I = 0; I < Level; ++I) {
          if (ParentColor)
            Buffer.Add(I == 0 ? u" <td height=\"" + IntToStr(Height) + u"px\" class=\"normalborder\">&nbsp;</td>"
                              : String(u" <td>&nbsp;</td>"));
          else
            Buffer.Add(u"<td class=\"noborder\" width=\"" + IndentWidth + u"\" height=\"" + IntToStr(Height) +
                       u"px\" bgcolor=" + HexColor(ExportColorToRGB(C->Color())) + u">&nbsp;</td>");
        }
      }
      if (FontChanged)
        Buffer.Add(u" <td class=\"normalborder\" " + Style(String(), CellFont) + u" height=\"" + IntToStr(Height) +
                   u"px\"");
      else
        Buffer.Add(u" <td class=\"normalborder\"  height=\"" + IntToStr(Height) + u"px\"");
      Buffer.Add(C ? AlignmentAttributes(C->Alignment(), C->BiDiMode()) : AlignmentAttributes(Alignment(), BiDiMode()));
      if ((!C || Index == Main) && Level < Deepest) Buffer.Add(u" colspan=\"" + IntToStr(Deepest - Level + 1) + u"\"");
      if (C && !ParentColor) Buffer.Add(u" bgcolor=" + HexColor(ExportColorToRGB(C->Color())));
      Buffer.Add(u">" + HtmlEscape(E.CellText));
      if (ShowStatic && !E.StaticText.empty()) Buffer.Add(u" " + HtmlEscape(E.StaticText));
      Buffer.Add(u"</td>");
    };
    if (Columns) {
      for (TVastTreeColumn* C : Visible)
        if (C->Options().Contains(coVisible)) Cell(C);
    } else {
      Cell(nullptr);
    }
    if (OnAfterNodeExport) OnAfterNodeExport(this, etHTML, Node);
    Node = Next(Node);
    Buffer.Add(u" </tr>");
    Buffer.AddNewLine();
  }
  Buffer.Add(u"</table>");
  return Buffer.AsString();
}

RawByteString TCustomVastStringTree::ContentToRTF(TVSTTextSourceType Source) {
  BeginOperation(okExport);
  TScopeExit Done([this] { EndOperation(okExport); });
  TBufferedRawByteString Buffer;
  const TVTExportLook Look = GetExportLook();
  const Integer PPI = Host().PixelsPerInch() > 0 ? Host().PixelsPerInch() : 96;
  const bool Columns = Header().UseColumns();
  const TColumnIndex Main = Header().MainColumn();
  std::vector<String> Fonts;
  std::vector<TColor> Colors;
  Integer CurrentFont = -1, CurrentColor = -1, CurrentSize = -1;
  Cardinal CurrentLevel = 0;
  RawByteString Indentation;

  auto Twips = [&](Integer Pixels) { return std::to_string(Round(Pixels * 1440.0 / PPI)); };
  auto Text = [&](const String& S, const TVTHeaderFont& F) {
    if (S.empty()) return;
    if (F.Style & FontUnderline) Buffer.Add("\\ul");
    if (F.Style & FontItalic) Buffer.Add("\\i");
    if (F.Style & FontBold) Buffer.Add("\\b");
    auto FontAt = std::find(Fonts.begin(), Fonts.end(), F.Name);
    const Integer FontIndex = static_cast<Integer>(FontAt - Fonts.begin());
    if (FontAt == Fonts.end()) Fonts.push_back(F.Name);
    if (FontAt == Fonts.end() || FontIndex != CurrentFont) {
      CurrentFont = FontIndex;
      Buffer.Add("\\f" + std::to_string(FontIndex));
    }
    auto ColorAt = std::find(Colors.begin(), Colors.end(), F.Color);
    const Integer ColorIndex = static_cast<Integer>(ColorAt - Colors.begin());
    if (ColorAt == Colors.end()) Colors.push_back(F.Color);
    if (ColorAt == Colors.end() || ColorIndex != CurrentColor) {
      CurrentColor = ColorIndex;
      Buffer.Add("\\cf" + std::to_string(ColorIndex + 1));
    }
    const Integer Size = std::abs(FontPointSize(F, PPI));
    if (Size != CurrentSize) {
      CurrentSize = Size;
      Buffer.Add("\\fs" + std::to_string(2 * Size));
    }
    Buffer.Add(" ");
    for (std::size_t I = 0; I < S.size(); ++I) {
      const Char C = S[I];
      // CR LF and a lone CR or LF are each one paragraph break.
      if (C == u'\n' || (C == u'\r' && (I + 1 >= S.size() || S[I + 1] != u'\n')))
        Buffer.Add("{\\par}");
      else if (C != u'\r')
        Buffer.Add("\\u" + std::to_string(static_cast<int16_t>(C)) + "\\'3f");
    }
    if (F.Style & FontUnderline) Buffer.Add("\\ul0");
    if (F.Style & FontItalic) Buffer.Add("\\i0");
    if (F.Style & FontBold) Buffer.Add("\\b0");
  };
  auto AlignmentCode = [](TAlignment A, TBiDiMode BiDi, bool LeftToo) -> const char* {
    A = Mirrored(A, BiDi);
    if (A == taRightJustify) return "\\qr";
    if (A == taCenter) return "\\qc";
    return LeftToo ? "\\ql" : "";
  };

  Buffer.Add("\\uc1\\trowd\\trgaph70");
  TColumnsArray Visible;
  if (Columns) {
    Visible = Header().Columns().GetVisibleColumns();
    Integer Right = 0;
    for (TVastTreeColumn* C : Visible) {
      Right += C->Width();
      Buffer.Add("\\cellx" + Twips(Right));
    }
  } else {
    Buffer.Add("\\cellx" + Twips(ClientWidth()));
  }
  if (Columns) {
    if (OnBeforeHeaderExport) OnBeforeHeaderExport(this, etRTF);
    Buffer.Add("\\pard\\intbl");
    for (TVastTreeColumn* C : Visible) {
      if (OnBeforeColumnExport) OnBeforeColumnExport(this, etRTF, C);
      Buffer.Add(AlignmentCode(C->CaptionAlignment(), C->BiDiMode(), true));
      Text(C->Text(), Header().Font());
      Buffer.Add("\\cell");
      if (OnAfterColumnExport) OnAfterColumnExport(this, etRTF, C);
    }
    Buffer.Add("\\row");
    if (OnAfterHeaderExport) OnAfterHeaderExport(this, etRTF);
  }

  const bool ShowStatic = StringOptions().Contains(toShowStaticText);
  PVastNode Node = nullptr;
  TVTNextNodeProc Next;
  BeginSourceWalk(Source, Node, Next);
  while (Node && !OperationCanceled()) {
    if (!PassesExportMode(Node)) {
      Node = Next(Node);
      continue;
    }
    if (OnBeforeNodeExport) OnBeforeNodeExport(this, etRTF, Node);
    auto Cell = [&](TVastTreeColumn* C) {
      const TColumnIndex Index = C ? C->Index() : NoColumn;
      TVSTGetCellTextEventArgs E;
      E.Node = Node;
      E.Column = Index;
      E.ExportType = etRTF;
      DoGetText(E);
      Buffer.Add("\\pard\\intbl");
      Buffer.Add(C ? AlignmentCode(C->Alignment(), C->BiDiMode(), false)
                   : AlignmentCode(Alignment(), BiDiMode(), false));
      TVTHeaderFont CellFont = Look.Font;
      ExportPaintText(Node, Index, ttNormal, CellFont);
      if (!C || Index == Main) {
        const Cardinal Level = GetNodeLevel(Node);
        if (Level != CurrentLevel) {
          CurrentLevel = Level;
          Indentation.clear();
          for (Cardinal I = 0; I < Level; ++I) Indentation += "\\tab";
        }
        if (Level >= 1) Buffer.Add(Indentation + " ");
      }
      Text(E.CellText, CellFont);
      if (ShowStatic && !E.StaticText.empty()) {
        ExportPaintText(Node, Index, ttStatic, CellFont);
        Text(u" " + E.StaticText, CellFont);
      }
      Buffer.Add("\\cell");
    };
    if (Columns) {
      for (TVastTreeColumn* C : Visible)
        if (C->Options().Contains(coVisible)) Cell(C);
    } else {
      Cell(nullptr);
    }
    Buffer.Add("\\row");
    Buffer.AddNewLine();
    if (OnAfterNodeExport) OnAfterNodeExport(this, etRTF, Node);
    Node = Next(Node);
  }
  Buffer.Add("\\pard\\par");

  RawByteString Result = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
  for (std::size_t I = 0; I < Fonts.size(); ++I)
    Result += "{\\f" + std::to_string(I) + " " + RtfFontName(Fonts[I]) + ";}";
  Result += "}{\\colortbl;";
  for (TColor C : Colors) {
    const auto U = static_cast<Cardinal>(ExportColorToRGB(C));
    Result += "\\red" + std::to_string(U & 0xFF) + "\\green" + std::to_string((U >> 8) & 0xFF) + "\\blue" +
              std::to_string((U >> 16) & 0xFF) + ";";
  }
  Result += "}";
  Result += MeasurementIsMetric() ? "\\paperw16840\\paperh11907" : "\\paperw15840\\paperh12240";
  Result += "\\margl720\\margr720\\margt720\\margb720";
  return Result + Buffer.AsString() + "}";
}

bool TCustomVastStringTree::MeasurementIsMetric() { return true; }

bool TCustomVastStringTree::ExportPaintText(PVastNode, TColumnIndex, TVSTTextType, TVTHeaderFont&) { return false; }

String TCustomVastStringTree::ContentToText(TVSTTextSourceType Source, Char Separator) {
  return ContentToText(Source, String(1, Separator));
}

String TCustomVastStringTree::ContentToUnicode(TVSTTextSourceType Source, Char Separator) {
  return ContentToText(Source, String(1, Separator));
}

String TCustomVastStringTree::ContentToText(TVSTTextSourceType Source, const String& Separator) {
  BeginOperation(okExport);
  TScopeExit Done([this] { EndOperation(okExport); });
  TBufferedString Buffer;
  const bool Columns = Header().UseColumns();
  const TColumnIndex Main = Header().MainColumn();
  const bool ShowStatic = StringOptions().Contains(toShowStaticText);

  PVastNode Node = nullptr;
  TVTNextNodeProc Next;
  Cardinal Deepest = 0;
  BeginSourceWalk(Source, Node, Next);
  for (; Node; Node = Next(Node)) Deepest = std::max(Deepest, GetNodeLevel(Node));
  String IndentationText;
  for (Cardinal I = 0; I < Deepest; ++I) IndentationText += Separator;

  // Header texts and cells are quoted alike, so a reader splits them the same.
  auto Field = [&](const String& S) { return NeedsQuoting(S, Separator) ? Quoted(S) : S; };
  TColumnsArray Visible;
  if (Columns) {
    Visible = Header().Columns().GetVisibleColumns();
    for (std::size_t I = 0; I < Visible.size(); ++I) {
      Buffer.Add(Field(Visible[I]->Text()));
      if (I + 1 < Visible.size()) {
        if (Visible[I]->Index() == Main) Buffer.Add(IndentationText);
        Buffer.Add(Separator);
      }
    }
    Buffer.AddNewLine();
  }

  BeginSourceWalk(Source, Node, Next);
  while (Node && !OperationCanceled()) {
    const Cardinal Level = GetNodeLevel(Node);
    const std::size_t Before = Level * Separator.size();
    if (Columns) {
      for (std::size_t I = 0; I < Visible.size(); ++I) {
        TVastTreeColumn* C = Visible[I];
        if (!C->Options().Contains(coVisible)) continue;
        TVSTGetCellTextEventArgs E;
        E.Node = Node;
        E.Column = C->Index();
        E.ExportType = etText;
        DoGetText(E);
        String Cell = E.CellText;
        if (ShowStatic && !E.StaticText.empty()) Cell += u" " + E.StaticText;
        if (C->Index() == Main) Buffer.Add(IndentationText.substr(0, Before));
        Buffer.Add(Field(Cell));
        if (C->Index() == Main) Buffer.Add(IndentationText.substr(Before));
        if (I + 1 < Visible.size()) Buffer.Add(Separator);
      }
    } else {
      TVSTGetCellTextEventArgs E;
      E.Node = Node;
      E.Column = NoColumn;
      E.ExportType = etText;
      DoGetText(E);
      Buffer.Add(IndentationText.substr(0, Before));
      Buffer.Add(E.CellText);
    }
    Buffer.AddNewLine();
    Node = Next(Node);
  }
  return Buffer.AsString();
}

void TCustomVastStringTree::ContentToCustom(TVSTTextSourceType Source) {
  BeginOperation(okExport);
  TScopeExit Done([this] { EndOperation(okExport); });
  if (OnBeforeTreeExport) OnBeforeTreeExport(this, etCustom);
  if (Header().UseColumns() && Header().Options().Contains(hoVisible)) {
    if (OnBeforeHeaderExport) OnBeforeHeaderExport(this, etCustom);
    for (TVastTreeColumn* C : Header().Columns().GetVisibleColumns()) {
      if (OnBeforeColumnExport) OnBeforeColumnExport(this, etCustom, C);
      if (OnColumnExport) OnColumnExport(this, etCustom, C);
      if (OnAfterColumnExport) OnAfterColumnExport(this, etCustom, C);
    }
    if (OnAfterHeaderExport) OnAfterHeaderExport(this, etCustom);
  }
  PVastNode Node = nullptr;
  TVTNextNodeProc Next;
  BeginSourceWalk(Source, Node, Next);
  while (Node && !OperationCanceled()) {
    if (PassesExportMode(Node)) {
      if (OnBeforeNodeExport) OnBeforeNodeExport(this, etCustom, Node);
      if (OnNodeExport) OnNodeExport(this, etCustom, Node);
      if (OnAfterNodeExport) OnAfterNodeExport(this, etCustom, Node);
    }
    Node = Next(Node);
  }
  if (OnAfterTreeExport) OnAfterTreeExport(this, etCustom);
}

bool TCustomVastStringTree::SaveToCSVFile(const String& FileNameWithPath, bool IncludeHeading) {
  if (FileNameWithPath.empty()) return false;
  TStringList Lines;
  const Integer Count = Header().Columns().Count();
  if (IncludeHeading) {
    String Line;
    for (Integer I = 0; I < Count; ++I) Line += (I ? u"," : u"") + Quoted(Header().Columns()[I].Text());
    Lines.Add(Line);
  }
  for (PVastNode Node = GetFirstChild(nullptr); Node; Node = GetNextSibling(Node)) {
    String Line;
    for (Integer I = 0; I < Count; ++I) {
      String Text = GetText(Node, I);
      if (Text.empty()) Text = u" ";
      Line += (I ? u"," : u"") + Quoted(Text);
    }
    Lines.Add(Line);
  }
  // UTF-8 keeps every text; the system code page would lose the rest.
  Lines.SaveToFile(FileNameWithPath, TEncoding::UTF8());
  return true;
}
