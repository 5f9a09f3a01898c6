#include "chart/drawing/VivIzudeHTMLEngine.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeUtils.h"
#include "rtl/SysUtils.h"

namespace {

Char UpChar(Char C) { return C >= u'a' && C <= u'z' ? static_cast<Char>(C - 32) : C; }

// ASCII letters only, so that positions in the result are positions in the
// original text.
String UpText(const String& S) {
  String R = S;
  for (Char& C : R) C = UpChar(C);
  return R;
}

bool IsBlank(Char C) { return C <= u' '; }

// The first occurrence of What (upper case) in S from From, ignoring the
// case of ASCII letters.
std::size_t FindNoCase(const String& S, const String& What, std::size_t From = 0) {
  if (What.empty() || S.size() < What.size()) return String::npos;
  for (std::size_t I = From; I + What.size() <= S.size(); ++I) {
    std::size_t J = 0;
    while (J < What.size() && UpChar(S[I + J]) == What[J]) ++J;
    if (J == What.size()) return I;
  }
  return String::npos;
}

void ReplaceAllNoCase(String& S, const String& What, const String& With) {
  std::size_t P = FindNoCase(S, What);
  if (P == String::npos) return;
  String R;
  std::size_t From = 0;
  while (P != String::npos) {
    R.append(S, From, P - From);
    R += With;
    From = P + What.size();
    P = FindNoCase(S, What, From);
  }
  R.append(S, From, String::npos);
  S = std::move(R);
}

// "&amp;" made "&" until none is left: a replacement can form a new
// "&amp;" only with the characters that follow, so one pass does it.
String CollapseAmpersands(const String& S) {
  static const String Amp = u"&AMP;";
  String R;
  R.reserve(S.size());
  for (Char C : S) {
    R += C;
    if (R.size() >= Amp.size() && C == u';') {
      const std::size_t B = R.size() - Amp.size();
      bool Same = true;
      for (std::size_t J = 0; J < Amp.size() && Same; ++J) Same = UpChar(R[B + J]) == Amp[J];
      if (Same) R.resize(B + 1);
    }
  }
  return R;
}

// The three replacements every text run gets before it is measured.
String DecodeRun(String S) {
  if (S.find(u'&') == String::npos) return S;
  ReplaceAllNoCase(S, u"&NBSP;", u" ");
  ReplaceAllNoCase(S, u"&LT;", u"<");
  ReplaceAllNoCase(S, u"&GT;", u">");
  return S;
}

// ---------------------------------------------------------------- tags
// Attribute values: the text between the first two double quotes after the
// name, searched from From in Search (the tag, upper-cased or not); the
// value is cut from Source, which has the same length.
bool FindAttr(const String& Search, const String& Source, const String& Name, String& Value, std::size_t From = 0) {
  const std::size_t P = Search.find(Name, From);
  if (P == String::npos) return false;
  const std::size_t Q1 = Search.find(u'"', P + Name.size());
  if (Q1 == String::npos) return false;
  const std::size_t Q2 = Search.find(u'"', Q1 + 1);
  if (Q2 == String::npos) return false;
  Value = Source.substr(Q1 + 1, Q2 - Q1 - 1);
  return true;
}

// Attribute numbers are kept well inside what a float and an Integer hold.
constexpr Integer NumberLimit = 100000;

// The number read up to the first invalid character, 0 when there is none.
Integer LeadingNumber(const String& S) {
  std::size_t I = 0;
  while (I < S.size() && S[I] == u' ') ++I;
  bool Negative = false;
  if (I < S.size() && (S[I] == u'-' || S[I] == u'+')) Negative = S[I++] == u'-';
  Int64 N = 0;
  for (; I < S.size() && S[I] >= u'0' && S[I] <= u'9'; ++I) N = std::min<Int64>(N * 10 + (S[I] - u'0'), NumberLimit);
  return static_cast<Integer>(Negative ? -N : N);
}

// A whole valid integer, else false.
bool CheckedNumber(const String& S, Integer& Value) {
  Integer V = 0;
  if (!TryStrToInt(S, V)) return false;
  Value = std::clamp(V, -NumberLimit, NumberLimit);
  return true;
}

TColor MarkupColor(const String& Value) {
  if (!Value.empty() && Value[0] == u'#') return TVivIzudeGraphics::HTMLToColor(Value);
  return TVivIzudeGraphics::TextToColor(LowerCase(Value));
}

Integer RoundInt(double V) {
  if (!(V > -1e9 && V < 1e9)) return V > 0 ? 1000000000 : (V < 0 ? -1000000000 : 0);
  return static_cast<Integer>(std::nearbyint(V));
}

bool StartsNoCase(const String& S, const String& Upper) {
  if (S.size() < Upper.size()) return false;
  for (std::size_t I = 0; I < Upper.size(); ++I)
    if (UpChar(S[I]) != Upper[I]) return false;
  return true;
}

bool Contains(const TRectF& R, float X, float Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

// Sizes in pixels and points are kept in this range whatever the text says.
constexpr Integer MaxFontSize = 1000;
// Tiles of a <BODY> background drawn at most, so that a one-pixel picture
// over a large area stays cheap.
constexpr Integer MaxTiles = 4096;
// Button captions are themselves markup, drawn by a nested call; deeper
// nesting than this lays out nothing.
constexpr Integer MaxNesting = 4;
thread_local Integer Nesting = 0;

constexpr float ListStep = 12;
constexpr float BulletSize = 8;
constexpr TColor ErrorColor = 0x0000FF;

// The formatting state: carried from line to line, copied at the start of
// each pass so that the painting pass starts where the measuring pass did.
struct TFormat {
  TVivIzudeMarkupFont Font;  // name, size and style; the colour is TextColor
  TColor TextColor = 0;
  TColor SavedTextColor = 0;
  TColor RunBackground = -1;
  bool InAnchor = false;
  bool AnchorStyled = false;  // the anchor's underline and hover colours apply
  String AnchorValue;
  Integer AnchorNumber = 0;
  float AnchorLeft = 0;
  float AnchorTop = 0;
  Integer AnchorLine = 0;
  bool Sub = false, Sup = false, Shadow = false, Error = false, Hidden = false;
  bool Highlight = false;
  TColor HighlightSavedText = 0;
  TFontStyles HighlightSavedStyle;
  bool ParaBackground = false;
  TColor ParaColor = -1;
  Integer ListLevel = 0;
  Integer Align = 0;  // 0 left, 1 right, 2 centre
  float Indent = 0;
  float Offset = 0;
  Integer AnchorCount = 0;
  Integer ImageCount = 0;
};

struct TFloat {
  bool Right;
  float Width;
  float Bottom;  // the picture's bottom coordinate
};

enum TTagAction { taNext, taBreak, taMove };

struct TPass {
  bool Measure = true;
  bool Draw = false;  // the painting pass of a call that paints
  TFormat F;
  std::size_t Pos = 0, End = 0;
  float BoxLeft = 0, BoxRight = 0;  // measure: the line box; paint: the line rectangle
  float Top = 0, Bottom = 0;        // paint: the line rectangle's top and bottom
  float X = 0, Used = 0, Avail = 0;
  float Height = 0, SubDepth = 0, SupHeight = 0, ImageBaseline = 0;
  bool LiSeen = false, AnyPlaced = false, EndedWithSpace = false;
  bool FloatParagraph = false;
  float FloatLeft = 0, FloatTop = 0;
  std::vector<TFloat> NewFloats;
  bool Hit = false;        // a picture or control under the point
  bool AnchorHit = false;  // an anchor run under the point
};

class TEngine {
public:
  TEngine(TVivIzudeMarkupSurface& ASurface, const TRectF& ARect, const TVivIzudeMarkupOptions& AOptions,
          TVivIzudeMarkupResults& AResults)
      : S(ASurface), Area(ARect), O(AOptions), R(AResults) {}
  bool Run(const String& AText);

private:
  TVivIzudeMarkupSurface& S;
  TRectF Area;
  const TVivIzudeMarkupOptions& O;
  TVivIzudeMarkupResults& R;
  String Text;
  std::size_t LastGt = String::npos;  // no tag starts after the last ">"
  TVivIzudeMarkupFont EntryFont;
  TColor EntryFill = -1;
  TVivIzudeMarkupFont Applied;
  bool HaveApplied = false;
  float H = 0;  // the text height of "gh" at the start of the line
  Integer Line = 0;
  Integer HotImage = 0;
  Integer HitAnchor = -1;
  String WantedControl;
  std::vector<TFloat> Floats;
  TRectF LastLine;

  void Apply(const TFormat& F, TColor AColor);
  TSizeF Measure(const TFormat& F, const String& T) {
    Apply(F, F.TextColor);
    return S.MeasureText(T);
  }
  void RunPass(TPass& P);
  void TextRun(TPass& P, std::size_t RunEnd, bool& Stop);
  TTagAction Tag(TPass& P, const String& T);
  TTagAction OpenTag(TPass& P, const String& T, Char K, Char N);
  TTagAction CloseTag(TPass& P, Char K, Char N);
  TTagAction Anchor(TPass& P, const String& T);
  void CloseAnchor(TPass& P);
  void Body(TPass& P, const String& T);
  TTagAction ListItem(TPass& P, const String& T);
  void Paragraph(TPass& P, const String& T);
  void Font(TPass& P, const String& T);
  void Rule(TPass& P, const String& T);
  TTagAction Image(TPass& P, const String& T);
  TTagAction Control(TPass& P, const String& T);
  std::unique_ptr<TVivIzudeMarkupPicture> Picture(String AName);
  bool Fits(const TPass& P, float W) const { return !P.AnyPlaced || P.Avail >= P.Used + W || P.Avail <= W; }
  float RunBottom(const TPass& P) const { return P.Bottom - P.SubDepth - P.ImageBaseline; }
  void FillBox(const TRectF& B, TColor C) {
    S.SetFillColor(C);
    S.SetStrokeColor(C);
    S.DrawRectangle(B);
  }
  void ReportAnchor(const TFormat& F, float Right, float Bottom);
};

void TEngine::Apply(const TFormat& F, TColor AColor) {
  TVivIzudeMarkupFont Want = F.Font;
  Want.Color = AColor;
  if (HaveApplied && Want == Applied) return;
  S.SetFont(Want);
  Applied = Want;
  HaveApplied = true;
}

std::unique_ptr<TVivIzudeMarkupPicture> TEngine::Picture(String AName) {
  if (StartsNoCase(AName, u"IDX:")) AName.erase(0, 4);
  if (AName.empty()) return nullptr;
  std::unique_ptr<TVivIzudeMarkupPicture> Pic;
  if (StartsNoCase(AName, u"FILE://")) {
    // Local and network paths are read only when the caller asked for it.
    if (O.AllowFilePictures) Pic = S.LoadPicture(AName.substr(7));
  } else if (AName.find(u':') == String::npos)
    Pic = S.FindPicture(AName);
  if (Pic && (Pic->Width() <= 0 || Pic->Height() <= 0)) Pic.reset();
  return Pic;
}

bool TEngine::Run(const String& AText) {
  EntryFont = S.GetFont();
  EntryFill = S.GetFillColor();
  const TColor EntryStroke = S.GetStrokeColor();
  R.ControlRect = {};
  R.XSize = R.YSize = 0;
  R.AnchorCount = R.LineCount = 0;
  R.AnchorHit = -1;
  R.ControlType.clear();
  R.ControlValue.clear();
  R.PlainText.clear();
  R.FocusAnchor.clear();
  if (O.HitTestOnly)
    WantedControl = R.ControlID;
  else
    R.ControlID.clear();

  TFormat State;
  State.Font = EntryFont;
  State.TextColor = State.SavedTextColor = EntryFont.Color;
  State.HighlightSavedText = EntryFont.Color;

  Text = PrepareMarkupText(AText);
  std::size_t Length = Text.size();
  while (Length > 0 && IsBlank(Text[Length - 1])) --Length;
  Text.resize(Length);
  LastGt = Text.rfind(u'>');

  bool Result = false;
  float Top = Area.Top;
  bool PlacedLeft = false;
  float NextLeft = 0;
  std::size_t Pos = 0;
  H = Measure(State, u"gh").cy;
  while (Pos < Text.size()) {
    H = Measure(State, u"gh").cy;
    while (Pos < Text.size() && IsBlank(Text[Pos])) ++Pos;
    if (Pos >= Text.size()) break;
    ++Line;

    // The line box: the area narrowed by the floats still beside it.
    float BoxLeft = Area.Left, BoxRight = Area.Right;
    std::erase_if(Floats, [&](const TFloat& Fl) { return Top >= Fl.Bottom; });
    for (const TFloat& Fl : Floats) (Fl.Right ? BoxRight : BoxLeft) += Fl.Right ? -Fl.Width : Fl.Width;
    if (PlacedLeft) BoxLeft = NextLeft;
    PlacedLeft = false;

    TPass M;
    M.F = State;
    M.Pos = Pos;
    M.End = Text.size();
    M.BoxLeft = BoxLeft;
    M.BoxRight = BoxRight;
    M.Top = Top;
    RunPass(M);
    if (M.Pos == Pos) break;  // nothing could be placed: no progress is possible
    ++R.LineCount;
    for (const TFloat& Fl : M.NewFloats) Floats.push_back(Fl);

    const float Height = M.Height + static_cast<float>(O.LineSpacing);
    float Left = BoxLeft;
    if (M.F.Align == 1 && BoxRight - M.Used > Left) Left = BoxRight - M.Used;
    if (M.F.Align == 2 && BoxRight - BoxLeft - M.Used > 0) Left += (BoxRight - BoxLeft - M.Used) / 2;
    Left += M.F.Indent;
    const TRectF LineRect{Left, Top, BoxRight, Top + Height + M.SupHeight + M.SubDepth};
    LastLine = LineRect;

    TFormat Next = M.F;
    if (!O.MeasureOnly) {
      TPass P;
      P.Measure = false;
      P.Draw = !O.HitTestOnly;
      P.F = State;
      P.Pos = Pos;
      P.End = M.Pos;
      P.BoxLeft = LineRect.Left;
      P.BoxRight = LineRect.Right;
      P.Top = LineRect.Top;
      P.Bottom = LineRect.Bottom;
      P.Height = Height;
      P.SubDepth = M.SubDepth;
      P.SupHeight = M.SupHeight;
      P.ImageBaseline = M.ImageBaseline;
      P.Avail = M.Avail;
      RunPass(P);
      Next = P.F;
      if (P.Hit || P.AnchorHit) Result = true;
    }
    State = Next;

    if (M.FloatParagraph) {
      Top = M.FloatTop;
      NextLeft = M.FloatLeft;
      PlacedLeft = true;
    } else {
      Top = LineRect.Bottom;
      R.YSize += LineRect.Bottom - LineRect.Top;
    }
    Pos = M.Pos;
    if (!O.MeasureOnly && Top + H > Area.Bottom + 1) break;
  }
  if (HitAnchor > 0 && R.AnchorHit < 0 && State.InAnchor && State.AnchorNumber == HitAnchor)
    ReportAnchor(State, LastLine.Right, LastLine.Bottom);
  R.AnchorCount = State.AnchorCount;
  if (R.YSize == 0) R.YSize = H;

  S.SetStrokeColor(EntryStroke);
  S.SetFillColor(EntryFill);
  S.SetFont(EntryFont);
  return Result;
}

void TEngine::RunPass(TPass& P) {
  P.X = P.BoxLeft + (P.Measure ? 0 : P.F.Offset);
  if (P.Measure) {
    P.Avail = P.BoxRight - P.BoxLeft - P.F.Offset;
    P.Height = H;
  }
  if (P.Draw && P.F.ParaBackground) FillBox({Area.Left, P.Top, Area.Right, P.Top + P.Height}, P.F.ParaColor);
  while (P.Pos < P.End) {
    std::size_t RunEnd = P.End;
    if (Text[P.Pos] == u'<' && LastGt != String::npos && LastGt > P.Pos) {
      const std::size_t Gt = Text.find(u'>', P.Pos + 1);
      if (Gt < P.End) {
        const TTagAction A = Tag(P, Text.substr(P.Pos, Gt - P.Pos + 1));
        if (A == taMove) break;
        P.Pos = Gt + 1;
        if (A == taBreak) break;
        continue;
      }
    }
    // A "<" that no ">" closes is text, like everything after it.
    const bool Literal = Text[P.Pos] == u'<';
    const std::size_t Lt = Text.find(u'<', P.Pos + (Literal ? 1 : 0));
    if (Lt != String::npos && Lt < RunEnd) RunEnd = Lt;
    if (O.WordWrapping)
      for (std::size_t I = P.Pos; I < RunEnd; ++I)
        if (Text[I] == u' ') {
          RunEnd = I + 1;
          break;
        }
    bool Stop = false;
    TextRun(P, RunEnd, Stop);
    if (Stop) break;
  }
  if (P.Measure) {
    if (P.EndedWithSpace) P.Used -= Measure(P.F, u" ").cx;
    if (P.Used > R.XSize) R.XSize = P.Used + 2;
  }
}

void TEngine::TextRun(TPass& P, std::size_t RunEnd, bool& Stop) {
  const String Raw = Text.substr(P.Pos, RunEnd - P.Pos);
  const String Run = DecodeRun(Raw);
  if (P.F.Hidden) {
    if (P.Measure) R.PlainText += Run;
    P.Pos = RunEnd;
    return;
  }
  const TSizeF Size = Measure(P.F, Run);
  // A word stays when it fits, or when it is too wide for any line.
  if (P.Measure && O.WordWrapping && P.AnyPlaced && !(P.Used + Size.cx < P.Avail) && !(Size.cx >= P.Avail)) {
    Stop = true;
    return;
  }
  P.Height = P.Measure ? std::max(P.Height, Size.cy) : P.Height;
  if (P.Measure && P.F.Sub) P.SubDepth = std::max(P.SubDepth, Size.cy / 4);
  if (P.Measure && P.F.Sup) P.SupHeight = std::max(P.SupHeight, Size.cy / 4);

  if (!P.Measure) {
    float Bottom = RunBottom(P);
    if (P.F.Sup) Bottom -= P.SupHeight;
    if (P.F.Sub) Bottom += P.SubDepth;
    const TRectF Box{P.X, P.Top, P.BoxRight, Bottom};
    if (P.F.InAnchor && O.X >= P.X && O.X <= P.X + Size.cx && O.Y > P.Top && O.Y < Bottom) {
      R.AnchorValue = P.F.AnchorValue;
      HitAnchor = P.F.AnchorNumber;
      P.AnchorHit = true;
    }
    if (P.F.InAnchor && P.F.AnchorNumber == O.FocusIndex + 1) R.FocusAnchor = P.F.AnchorValue;
    if (P.Draw) {
      const TColor Background = P.F.Highlight ? O.HighlightColor : P.F.RunBackground;
      if (Background != -1) FillBox({P.X, P.Top, P.X + Size.cx, P.Top + H}, Background);
      String Drawn = Run;
      // A trailing space of a link is drawn, so that its underline reaches it.
      if (P.F.InAnchor && !Drawn.empty() && Drawn.back() == u' ') Drawn += Char(0);
      if (P.F.Shadow) {
        Apply(P.F, O.ShadowColor);
        const float D = static_cast<float>(O.ShadowOffset);
        S.DrawText({Box.Left + D, Box.Top + D, Box.Right + D, Box.Bottom + D}, Drawn);
      }
      Apply(P.F, P.F.TextColor);
      S.DrawText(Box, Drawn);
      if (P.F.Error) {
        S.SetSolidStroke(1);
        S.SetStrokeColor(ErrorColor);
        // Only the part inside the area is drawn, so a huge run stays cheap.
        Integer X = RoundInt(std::max(P.X, Area.Left - 4));
        const float RunRight = std::min(P.X + Size.cx, Area.Right + 4);
        bool Down = RoundInt(P.X) % 4 == 0;
        for (; static_cast<float>(X) < RunRight; X += 2) {
          const float Y1 = P.Bottom + (Down ? 1.0f : -1.0f), Y2 = P.Bottom + (Down ? -1.0f : 1.0f);
          S.DrawLine({static_cast<float>(X), Y1}, {static_cast<float>(X + 2), Y2});
          Down = !Down;
        }
      }
    }
  } else
    R.PlainText += Run;
  P.F.RunBackground = -1;
  P.X += Size.cx;
  P.Used += Size.cx;
  P.AnyPlaced = true;
  P.EndedWithSpace = !Run.empty() && Run.back() == u' ';
  P.Pos = RunEnd;
}

TTagAction TEngine::Tag(TPass& P, const String& T) {
  if (T.size() > 3 && T[1] == u'/') return CloseTag(P, UpChar(T[2]), UpChar(T[3]));
  if (T.size() < 3) return taNext;
  return OpenTag(P, T, UpChar(T[1]), UpChar(T[2]));
}

TTagAction TEngine::OpenTag(TPass& P, const String& T, Char K, Char N) {
  TFormat& F = P.F;
  switch (K) {
    case u'A':
      return Anchor(P, T);
    case u'B':
      if (N == u'>')
        F.Font.Style.Include(fsBold);
      else if (N == u'L') {
        if (!O.BlinkPhase) F.TextColor = EntryFill;
      } else if (N == u'O')
        Body(P, T);
      else if (N == u'R') {
        if (P.Measure) R.PlainText += u'\r';
        return taBreak;
      }
      return taNext;
    case u'C':
      return Control(P, T);
    case u'E':
      F.Error = true;
      return taNext;
    case u'F':
      Font(P, T);
      return taNext;
    case u'H':
      if (N == u'I') {
        if (!F.Highlight) {
          F.HighlightSavedText = F.TextColor;
          F.HighlightSavedStyle = F.Font.Style;
        }
        F.Highlight = true;
        F.TextColor = O.HighlightTextColor;
        F.Font.Style = O.HighlightFontStyles;
      } else if (N == u'R') {
        Rule(P, T);
        return taBreak;
      }
      return taNext;
    case u'I':
      if (N == u'>')
        F.Font.Style.Include(fsItalic);
      else if (N == u'N') {
        const std::size_t X = UpText(T).find(u'X');
        String V;
        Integer Value = 0;
        if (X != String::npos && FindAttr(T, T, u"", V, X) && CheckedNumber(V, Value) &&
            static_cast<float>(Value) > P.Used) {
          P.Used = static_cast<float>(Value);
          P.X = P.BoxLeft + static_cast<float>(Value);
        }
      } else if (N == u'M')
        return Image(P, T);
      return taNext;
    case u'L':
      return ListItem(P, T);
    case u'O':
      if (N == u'F') {
        const std::size_t X = UpText(T).find(u'X');
        String V;
        if (X != String::npos && FindAttr(T, T, u"", V, X)) {
          const Integer Value = std::max(0, LeadingNumber(V));
          F.Offset = static_cast<float>(Value);
          P.Used = F.Offset;
          P.X = P.BoxLeft + F.Offset;
        }
      }
      return taNext;
    case u'P':
      Paragraph(P, T);
      return taNext;
    case u'S':
      if (N == u'>')
        F.Font.Style.Include(fsStrikeOut);
      else if (N == u'H')
        F.Shadow = true;
      else if (StartsNoCase(T, u"<SUB>"))
        F.Sub = true;
      else if (StartsNoCase(T, u"<SUP>"))
        F.Sup = true;
      return taNext;
    case u'U':
      if (N == u'>') {
        F.Font.Style.Include(fsUnderline);
        return taNext;
      }
      ++F.ListLevel;
      return taBreak;
    case u'Z':
      F.Hidden = true;
      return taNext;
    default:
      return taNext;
  }
}

TTagAction TEngine::CloseTag(TPass& P, Char K, Char N) {
  TFormat& F = P.F;
  switch (K) {
    case u'A':
      CloseAnchor(P);
      break;
    case u'B':
      if (N == u'>')
        F.Font.Style.Exclude(fsBold);
      else
        F.TextColor = F.SavedTextColor;
      break;
    case u'E':
      F.Error = false;
      break;
    case u'F':
      F.Font.Name = EntryFont.Name;
      F.Font.Size = EntryFont.Size;
      if (!O.IgnoreColors) F.TextColor = F.SavedTextColor;
      break;
    case u'H':
      if (F.Highlight) {
        F.TextColor = F.HighlightSavedText;
        F.Font.Style = F.HighlightSavedStyle;
        F.Highlight = false;
      }
      break;
    case u'I':
      F.Font.Style.Exclude(fsItalic);
      break;
    case u'L':
      return taBreak;
    case u'O':
      F.Offset = 0;
      break;
    case u'P':
      F.ParaBackground = false;
      return taBreak;
    case u'S':
      if (N == u'H')
        F.Shadow = false;
      else if (N == u'U')
        F.Sub = F.Sup = false;
      else
        F.Font.Style.Exclude(fsStrikeOut);
      break;
    case u'U':
      if (N == u'>' || F.ListLevel == 0)
        F.Font.Style.Exclude(fsUnderline);
      else
        --F.ListLevel;
      break;
    case u'Z':
      F.Hidden = false;
      break;
    default:
      break;
  }
  return taNext;
}

TTagAction TEngine::Anchor(TPass& P, const String& T) {
  TFormat& F = P.F;
  ++F.AnchorCount;
  F.AnchorNumber = F.AnchorCount;
  const bool Hover = F.AnchorNumber == O.HoverIndex;
  F.AnchorStyled = !O.HoverOnly || Hover;
  if (F.AnchorStyled) {
    if (O.URLUnderline) F.Font.Style.Include(fsUnderline);
    if (O.HoverColor != -1) F.RunBackground = O.HoverColor;
  }
  if (!O.IgnoreColors) {
    F.SavedTextColor = F.TextColor;
    F.TextColor = O.HoverOnly && Hover && O.HoverTextColor != -1 ? O.HoverTextColor : O.URLColor;
  }
  F.AnchorValue.clear();
  FindAttr(T, T, u"", F.AnchorValue);
  F.AnchorLeft = P.X;
  F.AnchorTop = P.Top;
  F.AnchorLine = Line;
  F.InAnchor = true;
  return taNext;
}

void TEngine::ReportAnchor(const TFormat& F, float Right, float Bottom) {
  R.AnchorHit = F.AnchorNumber;
  R.AnchorRect = {F.AnchorLine == Line ? F.AnchorLeft : LastLine.Left, F.AnchorTop, Right, Bottom};
}

void TEngine::CloseAnchor(TPass& P) {
  TFormat& F = P.F;
  if (!F.InAnchor) return;
  if (F.AnchorStyled) {
    F.Font.Style.Exclude(fsUnderline);
    F.RunBackground = -1;
  }
  if (!O.IgnoreColors) F.TextColor = F.SavedTextColor;
  if (!P.Measure && F.AnchorNumber == HitAnchor) ReportAnchor(F, P.X, P.Bottom);
  F.InAnchor = false;
  F.AnchorStyled = false;
}

void TEngine::Body(TPass& P, const String& T) {
  if (!P.Draw || O.IgnoreColors || T.size() < 6) return;
  const String U = UpText(T);
  String V;
  float Below = Area.Top;
  if (FindAttr(U, T, u"BACKGROUND", V, 5)) {
    if (auto Pic = Picture(V)) {
      const float W = static_cast<float>(Pic->Width()), Ht = static_cast<float>(Pic->Height());
      Integer Tiles = 0;
      float Y = Area.Top;
      for (; Y < Area.Bottom && Tiles < MaxTiles; Y += Ht)
        for (float X = Area.Left; X < Area.Right && Tiles < MaxTiles; X += W, ++Tiles)
          S.DrawPicture(*Pic, {X, Y, X + W, Y + Ht});
      Below = Area.Top;
    }
  }
  if (FindAttr(U, T, u"BGTOPLEFT", V, 5))
    if (auto Pic = Picture(V))
      S.DrawPicture(*Pic, {Area.Left, Below, Area.Left + static_cast<float>(Pic->Width()),
                           Below + static_cast<float>(Pic->Height())});
  if (FindAttr(U, T, u"BGTOPRIGHT", V, 5))
    if (auto Pic = Picture(V))
      S.DrawPicture(*Pic, {Area.Right - static_cast<float>(Pic->Width()), Below, Area.Right,
                           Below + static_cast<float>(Pic->Height())});
  if (FindAttr(U, U, u"BGCOLOR", V, 5)) {
    const TColor C = MarkupColor(V);
    String To;
    if (FindAttr(U, U, u"BGCOLORTO", To, 5)) {
      S.SetStrokeColor(C);
      return;
    }
    const TColor Stroke = S.GetStrokeColor();
    FillBox({Area.Left - 2, Area.Top, Area.Right, Area.Bottom}, C);
    S.SetStrokeColor(Stroke);
  }
}

TTagAction TEngine::ListItem(TPass& P, const String& T) {
  // A second item in one line starts the next line.
  if (P.Measure && P.LiSeen) return taMove;
  P.LiSeen = true;
  const String U = UpText(T);
  String Type, ColorText;
  FindAttr(U, U, u"TYPE", Type);
  const TColor C = FindAttr(U, U, u"COLOR", ColorText) ? MarkupColor(ColorText) : P.F.TextColor;
  const float L = static_cast<float>(P.F.ListLevel);
  P.Used += L * ListStep;
  P.X += (L - 1) * ListStep;
  if (P.Draw && !P.F.Hidden) {
    if (Type == u"SQUARE" || Type == u"CIRCLE") {
      const TColor Fill = S.GetFillColor();
      S.SetFillColor(C);
      S.SetStrokeColor(C);
      const TRectF B{P.X, P.Top + 2, P.X + BulletSize, P.Top + 2 + BulletSize};
      if (Type == u"SQUARE")
        S.DrawRectangle(B);
      else
        S.DrawEllipse(B);
      S.SetFillColor(Fill);
    } else {
      TFormat Bullet = P.F;
      Bullet.Font.Name = u"Symbol";
      Apply(Bullet, C);
      const bool Odd = P.F.ListLevel % 2 != 0;
      S.DrawText({P.X, P.Top, P.X + ListStep, RunBottom(P)}, Odd ? String(1, Char(0x00B7)) : String(u"o"));
    }
  }
  P.X += ListStep;
  P.AnyPlaced = true;
  return taNext;
}

void TEngine::Paragraph(TPass& P, const String& T) {
  TFormat& F = P.F;
  const String U = UpText(T);
  String V;
  if (FindAttr(U, U, u"ALIGN", V)) {
    if (V.find(u"RIGHT") != String::npos) F.Align = 1;
    if (V.find(u"LEFT") != String::npos) F.Align = 0;
    if (V.find(u"CENTER") != String::npos) F.Align = 2;
  }
  if (FindAttr(U, U, u"INDENT", V)) F.Indent = static_cast<float>(LeadingNumber(V));
  if (P.Measure && FindAttr(U, U, u"FLOAT", V) && (V == u"LEFT" || V == u"RIGHT")) {
    P.FloatParagraph = true;
    P.FloatLeft = static_cast<float>(RoundInt(P.BoxLeft));
    P.FloatTop = static_cast<float>(RoundInt(P.Top));
  }
  if (FindAttr(U, U, u"BGCOLOR", V)) {
    F.ParaBackground = true;
    F.ParaColor = MarkupColor(V);
    if (P.Draw) FillBox({Area.Left, P.Top, Area.Right, P.Top + P.Height}, F.ParaColor);
  }
}

void TEngine::Font(TPass& P, const String& T) {
  TFormat& F = P.F;
  if (T.size() < 6) return;
  const String U = UpText(T);
  String V;
  if (FindAttr(U, U, u"FACE", V, 5)) F.Font.Name = V;
  if (!O.IgnoreColors && FindAttr(U, U, u" COLOR", V, 5)) {
    F.SavedTextColor = F.TextColor;
    F.TextColor = MarkupColor(V);
  }
  if (!O.IgnoreColors && FindAttr(U, U, u"BGCOLOR", V, 5)) F.RunBackground = MarkupColor(V);
  if (FindAttr(U, U, u"SIZE", V, 5)) {
    static const Integer Sizes[] = {8, 10, 12, 14, 16};
    Integer N = LeadingNumber(V);
    if (N >= 1 && N <= 5) N = Sizes[N - 1];
    if (N >= 1) F.Font.Size = std::min(N, MaxFontSize);
  }
}

void TEngine::Rule(TPass& P, const String& T) {
  if (!P.Draw) return;
  const String U = UpText(T);
  String V;
  const TColor C = FindAttr(U, T, u"COLOR", V) ? MarkupColor(V) : 0;
  const TColor Stroke = S.GetStrokeColor();
  S.SetSolidStroke(1);
  S.SetStrokeColor(C);
  const float Y = P.Bottom - P.SubDepth + 1;
  S.DrawLine({P.BoxLeft, Y}, {P.BoxRight, Y});
  S.SetStrokeColor(Stroke);
}

TTagAction TEngine::Image(TPass& P, const String& T) {
  TFormat& F = P.F;
  const String U = UpText(T);
  String Src, Alt, V;
  FindAttr(U, T, u"SRC", Src, 2);
  const bool HasAlt = FindAttr(U, T, u"ALT", Alt, 2);
  const Integer Number = F.ImageCount + 1;

  std::unique_ptr<TVivIzudeMarkupPicture> Pic;
  Integer ListIndex = -1;
  float PicW = 0, PicH = 0;
  if (StartsNoCase(Src, u"IDX:")) {
    const Integer N = LeadingNumber(Src.substr(4));
    if (N >= 0 && N < S.ImageListCount()) {
      ListIndex = N;
      const TSize Cell = S.ImageListCellSize();
      PicW = static_cast<float>(Cell.cx);
      PicH = static_cast<float>(Cell.cy);
    }
  } else if ((Pic = Picture(Src))) {
    PicW = static_cast<float>(Pic->Width());
    PicH = static_cast<float>(Pic->Height());
  }
  if (!(PicW > 0 && PicH > 0)) {
    F.ImageCount = Number;
    return taNext;  // nothing to show takes no space
  }
  float W = PicW, Ht = PicH;
  const bool HasW = FindAttr(U, U, u"WIDTH", V, 2);
  const float GivenW = HasW ? static_cast<float>(std::max(0, LeadingNumber(V))) : 0;
  const bool HasH = FindAttr(U, U, u"HEIGHT", V, 2);
  const float GivenH = HasH ? static_cast<float>(std::max(0, LeadingNumber(V))) : 0;
  if (HasW && HasH) {
    W = GivenW;
    Ht = GivenH;
  } else if (HasW) {
    W = GivenW;
    Ht = PicH * GivenW / PicW;
  } else if (HasH) {
    Ht = GivenH;
    W = PicW * GivenH / PicH;
  }
  if (!(W > 0 && Ht > 0)) {
    F.ImageCount = Number;
    return taNext;
  }
  String FloatSide;
  FindAttr(U, U, u"FLOAT", FloatSide, 2);
  const bool FloatLeft = FloatSide == u"LEFT", FloatRight = FloatSide == u"RIGHT";
  const bool Floating = FloatLeft || FloatRight;
  if (P.Measure && !Floating && !Fits(P, W)) return taMove;
  F.ImageCount = Number;

  float Left = P.X;
  if (FloatLeft) Left = P.BoxLeft;
  if (FloatRight) Left = P.BoxRight - W;
  const TRectF Box{Left, P.Top, Left + W, P.Top + Ht};

  if (P.Measure) {
    if (Floating)
      // The float stays beside the lines that follow until its bottom; it
      // does not make its own line taller.
      P.NewFloats.push_back({FloatRight, W, P.Top + Ht});
    else if (U.find(u"WRAP", 2) == String::npos) {
      P.Height = std::max(P.Height, Ht);
      if (ListIndex < 0 && U.find(u"\"TOP\"") != String::npos) P.ImageBaseline = std::max(P.ImageBaseline, Ht - H);
      if (ListIndex < 0 && U.find(u"\"MIDDLE\"") != String::npos)
        P.ImageBaseline = std::max(P.ImageBaseline, (Ht - H) / 2);
    }
  } else {
    if (F.InAnchor && Contains(Box, static_cast<float>(O.X), static_cast<float>(O.Y))) {
      R.AnchorValue = F.AnchorValue;
      HotImage = Number;
      P.Hit = true;
    }
    if (P.Draw) {
      if (ListIndex >= 0) {
        if (!O.NoImageListPictures) {
          float Y = P.Top;
          const float Text = H;
          if (PicH < Text) {
            if (U.find(u"\"MIDDLE\"") != String::npos)
              Y += (Text - PicH) / 2;
            else if (U.find(u"\"TOP\"") == String::npos)
              Y += Text - PicH;
          }
          S.DrawImageListPicture(ListIndex, Left, Y);
        }
      } else {
        std::unique_ptr<TVivIzudeMarkupPicture> Shown;
        if (HasAlt && Number == HotImage) Shown = Picture(Alt);
        S.DrawPicture(Shown ? *Shown : *Pic, Box);
      }
    }
  }
  if (FloatRight)
    P.Used = std::max(P.Used, P.Avail);
  else {
    P.X += W;
    P.Used += W;
  }
  P.AnyPlaced = true;
  return taNext;
}

TTagAction TEngine::Control(TPass& P, const String& T) {
  if (T.size() < 9) return taNext;
  const String U = UpText(T);
  String Type, ID, Value, V;
  FindAttr(U, U, u"TYPE", Type, 8);
  FindAttr(U, T, u"ID", ID, 8);
  if (FindAttr(U, T, u"VALUE", Value, 8)) Value = TVivIzudeUtils::UnFixMarkup(Value, true);
  Integer Width = 0, Height = 25;
  const bool HasWidth = FindAttr(U, U, u"WIDTH", V, 8) && CheckedNumber(V, Width);
  if (FindAttr(U, U, u"HEIGHT", V, 8)) CheckedNumber(V, Height);
  const bool Box = Type == u"CHECK" || Type == u"RADIO";
  if (!HasWidth && !Box) return taNext;

  float CW = static_cast<float>(std::max(0, Width)), CH = static_cast<float>(RoundInt(H) + 10);
  if (Box) CW = CH = static_cast<float>(RoundInt(O.ResolutionFactor * 16) + 2);
  if (Type == u"BUTTON") CH = 22;
  if (Type == u"COMBO") CH = 25;
  if (P.Measure) {
    if (!Fits(P, CW)) return taMove;
    const float LineMin = Height > 25 ? static_cast<float>(Height - 2) : (Box ? 16.0f : 23.0f);
    P.Height = std::max({P.Height, LineMin, CH});
  } else {
    const TRectF Cell{P.X, P.Top, P.X + CW, P.Top + CH};
    const bool Focused = O.ControlFocus && ID == O.FocusedControlID;
    if (Contains(Cell, static_cast<float>(O.X), static_cast<float>(O.Y)) ||
        (O.HitTestOnly && !WantedControl.empty() && ID == WantedControl)) {
      R.AnchorValue = u"ctrl";
      R.ControlRect = Cell;
      R.ControlID = ID;
      R.ControlValue = Value;
      R.ControlType = Type;
      P.Hit = true;
    }
    if (P.Draw) {
      const float Bottom = RunBottom(P);
      if (Box) {
        const float BH = CH - 2;
        const float Top = P.Top + (Bottom - P.Top - BH) / 2;
        const TRectF B{P.X + 1, Top, P.X + CW - 1, Top + BH};
        const bool Checked = UpperCase(Value) == u"TRUE";
        if (Type == u"CHECK")
          S.DrawCheckBox(B, Checked, Focused);
        else
          S.DrawRadioButton(B, Checked, Focused);
      } else if (Type == u"BUTTON") {
        const float Top = P.Top + (Bottom - P.Top - 22) / 2;
        const TRectF B{P.X + 2, Top, P.X + CW - 2, Top + 22};
        S.DrawButton(B, Focused, Contains(B, static_cast<float>(O.X), static_cast<float>(O.Y)));
        S.DrawCaption({B.Left + 2, B.Top + 2, B.Right - 2, B.Bottom - 2}, Value);
      }
    }
  }
  P.X += CW;
  P.Used += CW;
  P.AnyPlaced = true;
  return taNext;
}

}  // namespace

// ---------------------------------------------------------------- entries
bool RenderMarkupOn(TVivIzudeMarkupSurface& ASurface, const String& AText, const TRectF& ARect,
                    const TVivIzudeMarkupOptions& AOptions, TVivIzudeMarkupResults& AResults) {
  struct TNest {
    TNest() { ++Nesting; }
    ~TNest() { --Nesting; }
  } Nest;
  TEngine Engine(ASurface, ARect, AOptions, AResults);
  return Engine.Run(Nesting > MaxNesting ? String() : AText);
}

String PrepareMarkupText(const String& AText) {
  String S = AText;
  if (S.find(u'&') != String::npos) S = CollapseAmpersands(TVivIzudeUtils::UnFixMarkup(S, true));
  const std::size_t Hash = S.find(u"<#");
  if (Hash != String::npos) {
    const std::size_t Gt = S.find(u'>', Hash + 1);
    if (Gt != String::npos) S.erase(Gt, 1);
    S.erase(Hash, 1);
  }
  String R;
  R.reserve(S.size() + 16);
  for (Char C : S) {
    if (C == u'\n') continue;
    if (C == u'\r')
      R += u"<BR>";
    else
      R += C;
  }
  return R;
}

String HighlightMarkup(const String& AText, const String& ASearch, const String& ATagName, bool ACaseSensitive) {
  if (ASearch.empty() || AText.empty()) return AText;
  // Visible characters and where each one sits in the markup: a "<" opens a
  // tag only when a ">" follows it; otherwise it and the rest are text.
  String Visible;
  std::vector<std::size_t> At;
  const std::size_t LastGt = AText.rfind(u'>');
  for (std::size_t I = 0; I < AText.size(); ++I) {
    if (AText[I] == u'<' && LastGt != String::npos && LastGt > I) {
      I = AText.find(u'>', I + 1);
      continue;
    }
    Visible += AText[I];
    At.push_back(I);
  }
  String Hay = ACaseSensitive ? Visible : AnsiUpperCase(Visible);
  String Needle = ACaseSensitive ? ASearch : AnsiUpperCase(ASearch);
  if (Hay.size() != Visible.size() || Needle.size() != ASearch.size()) {
    Hay = UpText(Visible);
    Needle = UpText(ASearch);
  }
  // Insertion points in the markup: after the visible character before the
  // match and after its last character, so that tags that follow those
  // characters stay outside.
  std::vector<std::pair<std::size_t, bool>> Marks;  // position in the markup, opening
  for (std::size_t From = 0; From < Hay.size();) {
    const std::size_t P = Hay.find(Needle, From);
    if (P == String::npos) break;
    Marks.emplace_back(P == 0 ? 0 : At[P - 1] + 1, true);
    Marks.emplace_back(At[P + Needle.size() - 1] + 1, false);
    From = P + Needle.size();
  }
  if (Marks.empty()) return AText;
  const String Open = u"<" + ATagName + u">";
  const String Close = u"</" + ATagName + u">";
  // Brackets that belong to no tag are escaped, or an inserted tag would
  // pair with them.
  std::vector<bool> Stray(AText.size(), false);
  for (std::size_t I : At)
    if (AText[I] == u'<' || AText[I] == u'>') Stray[I] = true;
  String Result;
  Result.reserve(AText.size() + Marks.size() * (Close.size() + 1));
  std::size_t M = 0;
  for (std::size_t I = 0; I <= AText.size(); ++I) {
    while (M < Marks.size() && Marks[M].first == I) Result += Marks[M++].second ? Open : Close;
    if (I == AText.size()) break;
    if (Stray[I])
      Result += AText[I] == u'<' ? u"&lt;" : u"&gt;";
    else
      Result += AText[I];
  }
  return Result;
}
