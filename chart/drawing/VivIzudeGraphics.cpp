#include "chart/drawing/VivIzudeGraphics.h"

#include <algorithm>
#include <cmath>

#include "chart/drawing/VivIzudeTypes.h"
#include "chart/drawing/VivIzudeUtils.h"

namespace {

struct TColorName {
  const char16_t* Name;
  TColor Color;
};

// The extended colour keywords of CSS (most of them first, then the basic
// names again), as TColor values: red in the lowest byte.
constexpr TColorName ColorNames[] = {
    {u"aliceblue", 0xFFF8F0},
    {u"antiquewhite", 0xD7EBFA},
    {u"aqua", 0xFFFF00},
    {u"aquamarine", 0xD4FF7F},
    {u"azure", 0xFFFFF0},
    {u"beige", 0xDCF5F5},
    {u"bisque", 0xC4E4FF},
    {u"black", 0x000000},
    {u"blanchedalmond", 0xCDEBFF},
    {u"blue", 0xFF0000},
    {u"blueviolet", 0xE22B8A},
    {u"brown", 0x2A2AA5},
    {u"burlywood", 0x87B8DE},
    {u"cadetblue", 0xA09E5F},
    {u"chartreuse", 0x00FF7F},
    {u"chocolate", 0x1E69D2},
    {u"coral", 0x507FFF},
    {u"cornflowerblue", 0xED9564},
    {u"cornsilk", 0xDCF8FF},
    {u"crimson", 0x3C14DC},
    {u"cyan", 0xFFFF00},
    {u"darkblue", 0x8B0000},
    {u"darkcyan", 0x8B8B00},
    {u"darkgoldenrod", 0x0B86B8},
    {u"darkgray", 0xA9A9A9},
    {u"darkgreen", 0x006400},
    {u"darkgrey", 0xA9A9A9},
    {u"darkkhaki", 0x6BB7BD},
    {u"darkmagenta", 0x8B008B},
    {u"darkolivegreen", 0x2F6B55},
    {u"darkorange", 0x008CFF},
    {u"darkorchid", 0xCC3299},
    {u"darkred", 0x00008B},
    {u"darksalmon", 0x7A96E9},
    {u"darkseagreen", 0x8FBC8F},
    {u"darkslateblue", 0x8B3D48},
    {u"darkslategray", 0x4F4F2F},
    {u"darkslategrey", 0x4F4F2F},
    {u"darkturquoise", 0xD1CE00},
    {u"darkviolet", 0xD30094},
    {u"deeppink", 0x9314FF},
    {u"deepskyblue", 0xFFBF00},
    {u"dimgray", 0x696969},
    {u"dimgrey", 0x696969},
    {u"dodgerblue", 0xFF901E},
    {u"firebrick", 0x2222B2},
    {u"floralwhite", 0xF0FAFF},
    {u"forestgreen", 0x228B22},
    {u"fuchsia", 0xFF00FF},
    {u"gainsboro", 0xDCDCDC},
    {u"ghostwhite", 0xFFF8F8},
    {u"gold", 0x00D7FF},
    {u"goldenrod", 0x20A5DA},
    {u"gray", 0x808080},
    {u"green", 0x008000},
    {u"greenyellow", 0x2FFFAD},
    {u"grey", 0x808080},
    {u"honeydew", 0xF0FFF0},
    {u"hotpink", 0xB469FF},
    {u"indianred", 0x5C5CCD},
    {u"indigo", 0x82004B},
    {u"ivory", 0xF0FFFF},
    {u"khaki", 0x8CE6F0},
    {u"lavender", 0xFAE6E6},
    {u"lavenderblush", 0xF5F0FF},
    {u"lawngreen", 0x00FC7C},
    {u"lemonchiffon", 0xCDFAFF},
    {u"lightblue", 0xE6D8AD},
    {u"lightcoral", 0x8080F0},
    {u"lightcyan", 0xFFFFE0},
    {u"lightgoldenrodyellow", 0xD2FAFA},
    {u"lightgray", 0xD3D3D3},
    {u"lightgreen", 0x90EE90},
    {u"lightgrey", 0xD3D3D3},
    {u"lightpink", 0xC1B6FF},
    {u"lightsalmon", 0x7AA0FF},
    {u"lightseagreen", 0xAAB220},
    {u"lightskyblue", 0xFACE87},
    {u"lightslategray", 0x998877},
    {u"lightslategrey", 0x998877},
    {u"lightsteelblue", 0xDEC4B0},
    {u"lightyellow", 0xE0FFFF},
    {u"lime", 0x00FF00},
    {u"limegreen", 0x32CD32},
    {u"linen", 0xE6F0FA},
    {u"magenta", 0xFF00FF},
    {u"maroon", 0x000080},
    {u"mediumaquamarine", 0xAACD66},
    {u"mediumblue", 0xCD0000},
    {u"mediumorchid", 0xD355BA},
    {u"mediumpurple", 0xDB7093},
    {u"mediumseagreen", 0x71B33C},
    {u"mediumslateblue", 0xEE687B},
    {u"mediumspringgreen", 0x9AFA00},
    {u"mediumturquoise", 0xCCD148},
    {u"mediumvioletred", 0x8515C7},
    {u"midnightblue", 0x701919},
    {u"mintcream", 0xFAFFF5},
    {u"mistyrose", 0xE1E4FF},
    {u"moccasin", 0xB5E4FF},
    {u"navajowhite", 0xADDEFF},
    {u"navy", 0x800000},
    {u"oldlace", 0xE6F5FD},
    {u"olive", 0x008080},
    {u"olivedrab", 0x238E6B},
    {u"orange", 0x00A5FF},
    {u"orangered", 0x0045FF},
    {u"orchid", 0xD670DA},
    {u"palegoldenrod", 0xAAE8EE},
    {u"palegreen", 0x98FB98},
    {u"paleturquoise", 0xEEEEAF},
    {u"palevioletred", 0x9370DB},
    {u"papayawhip", 0xD5EFFF},
    {u"peachpuff", 0xB9DAFF},
    {u"peru", 0x3F85CD},
    {u"pink", 0xCBC0FF},
    {u"plum", 0xDDA0DD},
    {u"powderblue", 0xE6E0B0},
    {u"purple", 0x800080},
    {u"red", 0x0000FF},
    {u"rosybrown", 0x8F8FBC},
    {u"royalblue", 0xE16941},
    {u"saddlebrown", 0x13458B},
    {u"salmon", 0x7280FA},
    {u"sandybrown", 0x60A4F4},
    {u"seagreen", 0x578B2E},
    {u"seashell", 0xEEF5FF},
    {u"sienna", 0x2D52A0},
    {u"skyblue", 0xEBCE87},
    {u"slateblue", 0xCD5A6A},
    {u"slategray", 0x908070},
    {u"slategrey", 0x908070},
    {u"snow", 0xFAFAFF},
    {u"springgreen", 0x7FFF00},
    {u"steelblue", 0xB48246},
    {u"tan", 0x8CB4D2},
    {u"thistle", 0xD8BFD8},
    {u"tomato", 0x4763FF},
    {u"turquoise", 0xD0E040},
    {u"violet", 0xEE82EE},
    {u"wheat", 0xB3DEF5},
    {u"whitesmoke", 0xF5F5F5},
    {u"yellowgreen", 0x32CD9A},
    {u"red", 0x0000FF},
    {u"black", 0x000000},
    {u"blue", 0xFF0000},
    {u"green", 0x008000},
    {u"aqua", 0xFFFF00},
    {u"yellow", 0x00FFFF},
    {u"fuchsia", 0xFF00FF},
    {u"white", 0xFFFFFF},
    {u"lime", 0x00FF00},
    {u"silver", 0xC0C0C0},
    {u"gray", 0x808080},
    {u"olive", 0x008080},
    {u"navy", 0x800000},
    {u"purple", 0x800080},
    {u"teal", 0x808000},
    {u"orange", 0x00A5FF},
    {u"maroon", 0x000080},
};

char16_t Lower(char16_t C) { return (C >= u'A' && C <= u'Z') ? static_cast<char16_t>(C + 32) : C; }

String LowerText(const String& S) {
  String R(S);
  for (char16_t& C : R) C = Lower(C);
  return R;
}

TVivIzudeNamedColors BuildNamedColors() {
  TVivIzudeNamedColors Table;
  for (const TColorName& N : ColorNames)
    Table.emplace_back(N.Name, std::make_unique<TVivIzudeGraphicsColorObject>(N.Color));
  std::stable_sort(Table.begin(), Table.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  return Table;
}

// Built when the program starts.
const TVivIzudeNamedColors& StartupTable = NamedColors();

bool StartsWith(const String& S, const char16_t* Prefix) { return S.rfind(Prefix, 0) == 0; }

int HexGroup(const String& S, std::size_t Pos) {
  if (S.size() < Pos + 2) return 0;
  int V = 0;
  for (std::size_t i = Pos; i < Pos + 2; ++i) {
    const char16_t C = S[i];
    int D;
    if (C >= u'0' && C <= u'9')
      D = C - u'0';
    else if (C >= u'A' && C <= u'F')
      D = C - u'A' + 10;
    else if (C >= u'a' && C <= u'f')
      D = C - u'a' + 10;
    else
      return 0;
    V = V * 16 + D;
  }
  return V;
}

int Channel(TColor C, int Shift) { return (C >> Shift) & 0xFF; }

}  // namespace

const TVivIzudeNamedColors& NamedColors() {
  static const TVivIzudeNamedColors Table = BuildNamedColors();
  return Table;
}

TColor TVivIzudeGraphics::TextToColor(const String& AText) {
  String Name = LowerText(AText);
  if (StartsWith(Name, u"cl")) {
    Name.erase(0, 2);
    if (StartsWith(Name, u"cla")) Name.erase(0, 3);
  }
  if (StartsWith(Name, u"gc")) Name.erase(0, 2);
  for (const auto& [Key, Object] : NamedColors())
    if (Key == Name) return Object->Color();
  return 0;
}

TColor TVivIzudeGraphics::HTMLToColor(const String& AHTML) {
  return HexGroup(AHTML, 1) + HexGroup(AHTML, 3) * 256 + HexGroup(AHTML, 5) * 65536;
}

String TVivIzudeGraphics::ColorToHTML(TColor AColor) {
  static const char16_t Digits[] = u"0123456789ABCDEF";
  const TColor C = ResolveDrawingColor(AColor);
  String R = u"#";
  for (int Shift : {0, 8, 16}) {
    const int V = Channel(C, Shift);
    R += Digits[V >> 4];
    R += Digits[V & 15];
  }
  return R;
}

TColor MakeColor(Byte R, Byte G, Byte B) { return R + G * 256 + B * 65536; }

TColor BlendColor(TColor AColor1, TColor AColor2, Byte APercent) {
  // Round(APercent * 2.55), halves to even: 50 gives 128.
  const int Alpha = std::min(255, static_cast<int>(std::nearbyint(APercent * 255.0 / 100.0)));
  const TColor C1 = ResolveDrawingColor(AColor1), C2 = ResolveDrawingColor(AColor2);
  TColor R = 0;
  for (int Shift : {0, 8, 16}) {
    const int A = Channel(C1, Shift), B = Channel(C2, Shift);
    // An arithmetic shift: the floor of the quotient by 256.
    const int V = std::clamp(B + ((A - B) * Alpha >> 8), 0, 255);
    R |= V << Shift;
  }
  return R;
}

TColor LightenColor(TColor AColor, Byte APercent) {
  const TColor C = ResolveDrawingColor(AColor);
  TColor R = 0;
  for (int Shift : {0, 8, 16}) {
    const int V = Channel(C, Shift);
    R |= std::clamp(V + TVivIzudeUtils::MulDivInt(255 - V, APercent, 100), 0, 255) << Shift;
  }
  return R;
}

// ---------------------------------------------------------------- facade, portable part
TColor DefaultFocusColor = 0;
TColor DefaultTextColor = 0;
TColor DefaultBackgroundColor = 0;
TColor DefaultBackgroundStrokeColor = 0;
TColor DefaultActiveStrokeColor = 0;
TColor DefaultActiveFillColor = 0;
TColor DefaultDisabledStrokeColor = 0;
TColor DefaultDisabledFillColor = 0;
TColor DefaultStrokeColor = 0;
TColor DefaultFillColor = 0;

TVivIzudeGraphicsContextClass TVivIzudeGraphics::ContextClassOverride = nullptr;
TPicture* (*TVivIzudeGraphics::FindBitmapInContainer)(TVivIzudeBitmapContainer*, const String&) = nullptr;

void* TVivIzudeGraphicsContext::ConvertToPath(const TVivIzudeGraphicsPath& APath, float Flatness) {
  void* P = CreatePath();
  PathOpen(P);
  if (Flatness <= 0.05f) Flatness = 0.05f;
  TPointF Current{0, 0};
  const Integer N = APath.Count();
  for (Integer I = 0; I < N; ++I) {
    const TVivIzudeGraphicsPathPoint& Pt = APath.Points(I);
    switch (Pt.Kind) {
      case gppMoveTo:
        PathMoveTo(P, Pt.Point);
        Current = Pt.Point;
        break;
      case gppLineTo:
        PathLineTo(P, Pt.Point);
        Current = Pt.Point;
        break;
      case gppCurveTo: {
        if (I + 2 >= N) {  // a curve cut short: go straight to its last point
          Current = APath.Points(N - 1).Point;
          PathLineTo(P, Current);
          I = N;
          break;
        }
        const TVivIzudeGraphicsPathCubicBezier Bezier{Current, Pt.Point, APath.Points(I + 1).Point,
                                                      APath.Points(I + 2).Point};
        I += 2;
        TVivIzudeGraphicsPathPolygon Samples;
        TVivIzudeGraphicsPath::CreateBezier(Bezier, 6, Samples);
        float Length = 0;
        for (std::size_t K = 1; K < Samples.size(); ++K)
          Length += VectorLengthF({Samples[K].X - Samples[K - 1].X, Samples[K].Y - Samples[K - 1].Y});
        const double Count = std::nearbyint(Length / Flatness);
        if (Count >= 2) {
          Samples.clear();
          TVivIzudeGraphicsPath::CreateBezier(Bezier, static_cast<Integer>(std::min(Count, 1e6)), Samples);
          for (const TPointF& S : Samples) PathLineTo(P, S);
        } else {
          PathLineTo(P, Bezier[3]);
        }
        Current = Bezier[3];
        break;
      }
      case gppClose:
        PathClose(P);
        break;
    }
  }
  return P;
}

void TVivIzudeGraphics::GetAspectSize(float& AWidth, float& AHeight, float AOriginalWidth, float AOriginalHeight,
                                      float ANewWidth, float ANewHeight, bool AAspectRatio, bool AStretch, bool) {
  const float OW = AOriginalWidth, OH = AOriginalHeight, NW = ANewWidth, NH = ANewHeight;
  if (AAspectRatio) {
    if (OW <= 0 || OH <= 0 || NW <= 0 || NH <= 0) {
      AWidth = AHeight = 0;
    } else if (NW <= OW || NH <= OH || AStretch) {
      if (OW / OH < NW / NH) {
        AWidth = NH * OW / OH;
        AHeight = NH;
      } else {
        AWidth = NW;
        AHeight = NW * OH / OW;
      }
    } else {
      AWidth = OW;
      AHeight = OH;
    }
  } else if (AStretch) {
    AWidth = NW;
    AHeight = NH;
  } else {
    AWidth = OW;
    AHeight = OH;
  }
}

void TVivIzudeGraphics::SetDefaultGraphicColors() {
  DefaultBackgroundColor = 0xFFFFFF;
  DefaultBackgroundStrokeColor = 0xC0C0C0;
  DefaultFillColor = MakeColor(225, 225, 225);
  DefaultStrokeColor = 0xA9A9A9;
  DefaultTextColor = 0;
  DefaultFocusColor = 0;
  DefaultActiveFillColor = MakeColor(229, 241, 251);
  DefaultActiveStrokeColor = MakeColor(60, 127, 177);
  DefaultDisabledStrokeColor = 0xA9A9A9;
  DefaultDisabledFillColor = 0xD3D3D3;
}

bool TVivIzudeGraphics::PointInPath(const TPointF& APoint, const TVivIzudeGraphicsPath& APath) {
  return APath.IsPointVisible(APoint);
}
bool TVivIzudeGraphics::PointInPath(const TPoint& APoint, const TVivIzudeGraphicsPath& APath) {
  return PointInPath(ConvertToPointF(APoint), APath);
}
bool TVivIzudeGraphics::PointInPolygon(const TPointF& APoint, const TVivIzudeGraphicsPathPolygon& APolygon) {
  return ::PointInPolygon(APoint, APolygon);
}
bool TVivIzudeGraphics::PointInPolygon(const TPoint& APoint, const TVivIzudeGraphicsPathPolygon& APolygon) {
  return PointInPolygon(ConvertToPointF(APoint), APolygon);
}
bool TVivIzudeGraphics::PointInRect(const TPointF& APoint, const TRectF& ARect) { return PtInRectF(ARect, APoint); }
bool TVivIzudeGraphics::PointInRect(const TPoint& APoint, const TRect& ARect) {
  return PointInRect(ConvertToPointF(APoint), ConvertToRectF(ARect));
}

Byte TVivIzudeGraphics::GetColorRed(TColor AColor) { return Channel(ResolveDrawingColor(AColor), 0); }
Byte TVivIzudeGraphics::GetColorGreen(TColor AColor) { return Channel(ResolveDrawingColor(AColor), 8); }
Byte TVivIzudeGraphics::GetColorBlue(TColor AColor) { return Channel(ResolveDrawingColor(AColor), 16); }

// ---------------------------------------------------------------- layout
namespace VivIzudeGraphicsLayout {

bool IsMarkup(const String& AText) { return TVivIzudeUtils::IsHTML(AText); }

namespace {
// The length of a line-break tag at Pos ("<br>", "<br/>", "<br />", any
// case, blanks before the closing ">"), or 0.
std::size_t LineBreakAt(const String& S, std::size_t Pos) {
  if (Pos + 3 > S.size()) return 0;
  if (S[Pos] != u'<' || Lower(S[Pos + 1]) != u'b' || Lower(S[Pos + 2]) != u'r') return 0;
  std::size_t I = Pos + 3;
  while (I < S.size() && (S[I] == u' ' || S[I] == u'\t')) ++I;
  if (I < S.size() && S[I] == u'/') ++I;
  while (I < S.size() && (S[I] == u' ' || S[I] == u'\t')) ++I;
  if (I < S.size() && S[I] == u'>') return I + 1 - Pos;
  return 0;
}
}  // namespace

std::vector<String> SplitAtLineBreaks(const String& AText) {
  std::vector<String> Lines;
  std::size_t Start = 0;
  for (std::size_t I = 0; I < AText.size(); ++I) {
    if (AText[I] != u'<') continue;
    if (const std::size_t Len = LineBreakAt(AText, I)) {
      Lines.push_back(AText.substr(Start, I - Start));
      Start = I + Len;
      I = Start - 1;
    }
  }
  Lines.push_back(AText.substr(Start));
  return Lines;
}

TRectF BitmapDrawRectangle(double ALeft, double ATop, double ARight, double ABottom, float AWidth, float AHeight,
                           bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping) {
  const float L = static_cast<float>(ALeft), T = static_cast<float>(ATop);
  const float AreaW = static_cast<float>(ARight - ALeft), AreaH = static_cast<float>(ABottom - ATop);
  float W = 0, H = 0;
  TVivIzudeGraphics::GetAspectSize(W, H, AWidth, AHeight, AreaW, AreaH, AAspectRatio, AStretch, ACropping);
  float X = 0, Y = 0;
  if (ACropping || ACenter) {
    X = static_cast<float>(std::nearbyint((AreaW - W) / 2));
    Y = static_cast<float>(std::nearbyint((AreaH - H) / 2));
  }
  return {L + X, T + Y, L + X + W, T + Y + H};
}

TRectF AlignBlock(const TRectF& ARect, float AXSize, float AYSize, TVivIzudeGraphicsTextAlign AHorizontalAlign,
                  TVivIzudeGraphicsTextAlign AVerticalAlign) {
  float X = ARect.Left, Y = ARect.Top;
  if (AHorizontalAlign == gtaCenter)
    X = ARect.Left + (ARect.Right - ARect.Left - AXSize) / 2;
  else if (AHorizontalAlign == gtaTrailing)
    X = ARect.Right - AXSize;
  if (AVerticalAlign == gtaCenter)
    Y = ARect.Top + (ARect.Bottom - ARect.Top - AYSize) / 2;
  else if (AVerticalAlign == gtaTrailing)
    Y = ARect.Bottom - AYSize;
  return {X, Y, X + AXSize, Y + AYSize};
}

std::vector<TRectF> TextureTiles(const TRectF& ATarget, float AWidth, float AHeight) {
  std::vector<TRectF> Tiles;
  if (!(AWidth > 0) || !(AHeight > 0) || IsRectEmptyF(ATarget)) return Tiles;
  // Bounded so that a huge target with a tiny texture cannot run away.
  const double Columns = std::trunc((ATarget.Right - ATarget.Left) / AWidth) + 1;
  const double Rows = std::trunc((ATarget.Bottom - ATarget.Top) / AHeight) + 1;
  if (Columns * Rows > 1e6) return Tiles;
  for (int J = 0; J <= static_cast<int>(Rows); ++J)
    for (int I = 0; I <= static_cast<int>(Columns); ++I) {
      const TRectF Tile{ATarget.Left + I * AWidth, ATarget.Top + J * AHeight, ATarget.Left + (I + 1) * AWidth,
                        ATarget.Top + (J + 1) * AHeight};
      if (IntersectsRectF(Tile, ATarget) && !IsRectEmptyF(IntersectRectF(Tile, ATarget))) Tiles.push_back(Tile);
    }
  return Tiles;
}

float ProgressValue(float AValue, float AMax) {
  float V = AValue;
  if (AMax <= V) V = AMax;
  if (!(V >= 0)) V = 0;
  return V;
}

TRectF ProgressBarRect(const TRectF& ARect, float AValue, float AMax) {
  const float V = ProgressValue(AValue, AMax);
  if (!(AMax > 0) || !(AMax >= V)) return {};
  TRectF Bar{ARect.Left + 1, ARect.Top + 1, ARect.Right - 1, ARect.Bottom - 1};
  // The bar spans the inner width, so that a full bar ends at the inner right
  // edge and the frame's right line stays visible.
  Bar.Right = Bar.Left + std::max(0.0f, Bar.Right - Bar.Left) * V / AMax;
  return Bar;
}

TRectF DropDownGlyphArea(const TRectF& ARect, float AGlyphWidth, bool ACenter) {
  if (!ACenter && ARect.Left < ARect.Right - AGlyphWidth - 10)
    return {ARect.Right - AGlyphWidth - 10, ARect.Top, ARect.Right, ARect.Bottom};
  return ARect;
}

TRectF CheckMarkRect(const TRectF& ABox) {
  const float DX = (ABox.Right - ABox.Left) / 5, DY = (ABox.Bottom - ABox.Top) / 5;
  return {ABox.Left + DX, ABox.Top + DY, ABox.Right - DX, ABox.Bottom - DY};
}

bool FillsShape(TVivIzudeGraphicsFillKind AKind, TColor AColor, bool ATexturesToo) {
  const bool HasColor = AColor != -1 && AColor != clNone;
  return (HasColor && AKind != gfkNone) || (ATexturesToo && AKind == gfkTexture);
}

bool StrokesShape(TVivIzudeGraphicsStrokeKind AKind, TColor AColor) {
  return AColor != -1 && AColor != clNone && AKind != gskNone;
}

TButtonColors ButtonColors(bool AFocused, bool AEnabled, bool AAdaptToStyle) {
  if (!AEnabled)
    return AAdaptToStyle ? TButtonColors{DefaultDisabledStrokeColor, DefaultDisabledFillColor}
                         : TButtonColors{0xA9A9A9, 0xD3D3D3};
  if (AFocused)
    return AAdaptToStyle ? TButtonColors{DefaultActiveStrokeColor, DefaultActiveFillColor}
                         : TButtonColors{MakeColor(60, 127, 177), MakeColor(229, 241, 251)};
  return AAdaptToStyle ? TButtonColors{DefaultStrokeColor, DefaultFillColor}
                       : TButtonColors{0xA9A9A9, MakeColor(225, 225, 225)};
}

TColor ButtonInnerFrame(const TButtonColors& AColors, bool ADown) {
  return ADown ? LightenColor(AColors.Frame, 40) : AColors.Fill;
}

TColor CheckMarkColor(bool AFocused, bool AEnabled) { return AEnabled ? (AFocused ? 0xB48246 : 0) : 0xA9A9A9; }
TColor CheckBoxGround(bool AEnabled) { return AEnabled ? LightenColor(0xD3D3D3, 85) : 0xD3D3D3; }
TColor ProgressBarGround(bool AEnabled) { return AEnabled ? LightenColor(0xD3D3D3, 75) : 0xD3D3D3; }

}  // namespace VivIzudeGraphicsLayout
