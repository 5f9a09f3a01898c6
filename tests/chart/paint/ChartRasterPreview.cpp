#include "ChartRasterPreview.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "chart/model/ChartHelpers.h"

TRasterPreview::TRasterPreview(Integer Width, Integer Height, TColor Background)
    : FWidth(Width), FHeight(Height), FPixels(size_t(Width) * Height, Background) {}

bool TRasterPreview::Inside(Integer X, Integer Y) const {
  return X >= 0 && Y >= 0 && X < FWidth && Y < FHeight && (!FClip || FClip->Contains({X, Y}));
}

void TRasterPreview::Put(Integer X, Integer Y, TColor C) {
  if (C == clNone || !Inside(X, Y)) return;
  FPixels[size_t(Y) * FWidth + X] = ChartColorToRGB(C);
}

TColor TRasterPreview::Pixel(Integer X, Integer Y) const {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return clNone;
  return FPixels[size_t(Y) * FWidth + X];
}

void TRasterPreview::Disc(Integer X, Integer Y, Integer Width, TColor C) {
  if (Width <= 1) {
    Put(X, Y, C);
    return;
  }
  Integer R = Width / 2;
  for (Integer DY = -R; DY <= R; ++DY)
    for (Integer DX = -R; DX <= R; ++DX)
      if (DX * DX + DY * DY <= R * R) Put(X + DX, Y + DY, C);
}

void TRasterPreview::Line(TPoint A, TPoint B, const TChartPen& Pen) {
  if (Pen.Style == psClear) return;
  Integer N = std::max(std::abs(B.X - A.X), std::abs(B.Y - A.Y));
  for (Integer I = 0; I <= N; ++I) {
    double T = N ? double(I) / N : 0;
    Disc(RoundI(A.X + (B.X - A.X) * T), RoundI(A.Y + (B.Y - A.Y) * T), Pen.Width, Pen.Color);
  }
}

template <class F>
void TRasterPreview::FillWhere(const TRect& B, TColor C, F&& In) {
  for (Integer Y = std::max(0, B.Top); Y < std::min(FHeight, B.Bottom); ++Y)
    for (Integer X = std::max(0, B.Left); X < std::min(FWidth, B.Right); ++X)
      if (In(X, Y)) Put(X, Y, C);
}

namespace {
bool InEllipse(const TRect& R, Integer X, Integer Y) {
  double A = R.Width() / 2.0, B = R.Height() / 2.0;
  if (A <= 0 || B <= 0) return false;
  double DX = (X + 0.5 - (R.Left + A)) / A, DY = (Y + 0.5 - (R.Top + B)) / B;
  return DX * DX + DY * DY <= 1.0;
}
double AngleOf(double CX, double CY, double X, double Y) {
  double A = std::atan2(CY - Y, X - CX) * 180 / std::numbers::pi;
  return A < 0 ? A + 360 : A;
}
// Whether angle A lies counter-clockwise from S to E.
bool Between(double A, double S, double E) {
  double Span = std::fmod(E - S + 720, 360.0), D = std::fmod(A - S + 720, 360.0);
  if (Span == 0) return true;  // start and end on one ray: the whole ellipse
  return D <= Span;
}
}  // namespace

void TRasterPreview::Render(const std::vector<TCanvasRecord>& Records) {
  TChartRegion Clip;
  for (const TCanvasRecord& R : Records) {
    bool Fill = R.Brush.Style() != bsClear;
    TColor FillColor = R.Brush.Color();
    switch (R.Op) {
      case coSetClip:
        Clip = R.Region;
        FClip = &Clip;
        break;
      case coClearClip:
        FClip = nullptr;
        break;
      case coFillRect:
        if (Fill) FillWhere(R.Rect, FillColor, [](Integer, Integer) { return true; });
        break;
      case coRectangle:
      case coRoundRect:
        if (Fill) FillWhere(R.Rect, FillColor, [](Integer, Integer) { return true; });
        Line({R.Rect.Left, R.Rect.Top}, {R.Rect.Right - 1, R.Rect.Top}, R.Pen);
        Line({R.Rect.Right - 1, R.Rect.Top}, {R.Rect.Right - 1, R.Rect.Bottom - 1}, R.Pen);
        Line({R.Rect.Right - 1, R.Rect.Bottom - 1}, {R.Rect.Left, R.Rect.Bottom - 1}, R.Pen);
        Line({R.Rect.Left, R.Rect.Bottom - 1}, {R.Rect.Left, R.Rect.Top}, R.Pen);
        break;
      case coFrameRect:
        FillWhere(R.Rect, FillColor, [&](Integer X, Integer Y) {
          return X == R.Rect.Left || Y == R.Rect.Top || X == R.Rect.Right - 1 || Y == R.Rect.Bottom - 1;
        });
        break;
      case coEllipse:
      case coPie:
      case coArc: {
        double CX = (R.Rect.Left + R.Rect.Right) / 2.0, CY = (R.Rect.Top + R.Rect.Bottom) / 2.0;
        bool Whole = R.Op == coEllipse;
        double S = Whole ? 0 : AngleOf(CX, CY, R.Points[0].X, R.Points[0].Y);
        double E = Whole ? 0 : AngleOf(CX, CY, R.Points[1].X, R.Points[1].Y);
        if (Fill && R.Op != coArc)
          FillWhere(R.Rect, FillColor, [&](Integer X, Integer Y) {
            return InEllipse(R.Rect, X, Y) && (Whole || Between(AngleOf(CX, CY, X + 0.5, Y + 0.5), S, E));
          });
        if (R.Pen.Style != psClear) {
          double A = R.Rect.Width() / 2.0, B = R.Rect.Height() / 2.0;
          for (int Step = 0; Step < 720; ++Step) {
            double Deg = Step / 2.0;
            if (!Whole && !Between(Deg, S, E)) continue;
            double Rad = Deg * std::numbers::pi / 180;
            Disc(RoundI(CX + A * std::cos(Rad)), RoundI(CY - B * std::sin(Rad)), R.Pen.Width, R.Pen.Color);
          }
          if (R.Op == coPie) {
            TPoint C{RoundI(CX), RoundI(CY)};
            Line(C, R.Points[0], R.Pen);
            Line(C, R.Points[1], R.Pen);
          }
        }
        break;
      }
      case coPolygon:
        if (Fill && !R.Points.empty()) {
          TChartRegion Poly = TChartRegion::FromPolygon(R.Points);
          FillWhere(Poly.Parts()[0].Bounds, FillColor, [&](Integer X, Integer Y) { return Poly.Contains({X, Y}); });
        }
        for (size_t I = 0; I < R.Points.size(); ++I) Line(R.Points[I], R.Points[(I + 1) % R.Points.size()], R.Pen);
        break;
      case coPolyline:
        for (size_t I = 1; I < R.Points.size(); ++I) Line(R.Points[I - 1], R.Points[I], R.Pen);
        break;
      case coLineTo:
        Line(R.Points[0], R.Points[1], R.Pen);
        break;
      case coFillRegion:
        if (!R.Region.Empty())
          FillWhere({0, 0, FWidth, FHeight}, FillColor, [&](Integer X, Integer Y) {
            return R.Region.Contains({X, Y});
          });
        break;
      case coTextOut:
      case coDrawText: {
        // One bar per character, two thirds of the line high, in the font colour.
        TSize Cell{R.Text.empty() ? 0 : R.Rect.Width() / Integer(std::max<size_t>(1, R.Text.size())), R.Rect.Height()};
        if (R.Op == coDrawText) Cell = {7 * R.Font.Size() / 8, 13 * R.Font.Size() / 8};
        Integer X0 = R.Rect.Left, Y0 = R.Rect.Top;
        if (R.Op == coDrawText) {
          Integer W = Cell.cx * Integer(R.Text.size());
          if (R.Flags.Contains(dtCenter)) X0 = R.Rect.Left + (R.Rect.Width() - W) / 2;
          if (R.Flags.Contains(dtRight)) X0 = R.Rect.Right - W;
          if (R.Flags.Contains(dtVCenter)) Y0 = R.Rect.Top + (R.Rect.Height() - Cell.cy) / 2;
        }
        // Text turned by a quarter runs up (900) or down (-900) from its
        // origin, the line's height lying right or left of it.
        const Integer Turn = R.Op == coTextOut ? R.Font.Orientation() : 0;
        for (size_t I = 0; I < R.Text.size(); ++I) {
          if (R.Text[I] == u' ') continue;
          TRect Bar =
              Bounds(X0 + Integer(I) * Cell.cx + 1, Y0 + Cell.cy / 4, std::max(1, Cell.cx - 2), Cell.cy * 2 / 3);
          if (Turn == 900)
            Bar = Bounds(X0 + Cell.cy / 4, Y0 - (Integer(I) + 1) * Cell.cx + 1, Cell.cy * 2 / 3,
                         std::max(1, Cell.cx - 2));
          else if (Turn == -900)
            Bar = Bounds(X0 - Cell.cy / 4 - Cell.cy * 2 / 3, Y0 + Integer(I) * Cell.cx + 1, Cell.cy * 2 / 3,
                         std::max(1, Cell.cx - 2));
          FillWhere(Bar, R.Font.Color(), [](Integer, Integer) { return true; });
        }
        break;
      }
      default:
        break;
    }
  }
  FClip = nullptr;
}

namespace {
uint32_t Crc(const std::string& Data) {
  static uint32_t Table[256];
  static bool Ready = false;
  if (!Ready) {
    for (uint32_t N = 0; N < 256; ++N) {
      uint32_t C = N;
      for (int K = 0; K < 8; ++K) C = (C & 1) ? 0xEDB88320u ^ (C >> 1) : C >> 1;
      Table[N] = C;
    }
    Ready = true;
  }
  uint32_t C = 0xFFFFFFFFu;
  for (unsigned char B : Data) C = Table[(C ^ B) & 0xFF] ^ (C >> 8);
  return C ^ 0xFFFFFFFFu;
}
void Be32(std::string& Out, uint32_t V) {
  for (int S = 24; S >= 0; S -= 8) Out += char((V >> S) & 0xFF);
}
void Chunk(std::string& Out, const char* Type, const std::string& Data) {
  Be32(Out, uint32_t(Data.size()));
  std::string Body = std::string(Type, 4) + Data;
  Out += Body;
  Be32(Out, Crc(Body));
}
}  // namespace

std::string TRasterPreview::Save(const std::string& Name) const {
  std::string Raw;
  for (Integer Y = 0; Y < FHeight; ++Y) {
    Raw += char(0);
    for (Integer X = 0; X < FWidth; ++X) {
      TColor C = FPixels[size_t(Y) * FWidth + X];
      Raw += char(C & 0xFF);
      Raw += char((C >> 8) & 0xFF);
      Raw += char((C >> 16) & 0xFF);
    }
  }
  // zlib stream of stored (uncompressed) blocks.
  std::string Z = "\x78\x01";
  uint32_t A = 1, B = 0;
  for (unsigned char Ch : Raw) {
    A = (A + Ch) % 65521;
    B = (B + A) % 65521;
  }
  for (size_t Pos = 0; Pos < Raw.size() || Pos == 0;) {
    size_t Len = std::min<size_t>(65535, Raw.size() - Pos);
    bool Last = Pos + Len >= Raw.size();
    Z += char(Last ? 1 : 0);
    Z += char(Len & 0xFF);
    Z += char(Len >> 8);
    Z += char(~Len & 0xFF);
    Z += char((~Len >> 8) & 0xFF);
    Z += Raw.substr(Pos, Len);
    Pos += Len;
    if (Last) break;
  }
  Be32(Z, (B << 16) | A);
  std::string Png = "\x89PNG\r\n\x1a\n";
  std::string Header;
  Be32(Header, uint32_t(FWidth));
  Be32(Header, uint32_t(FHeight));
  Header += std::string("\x08\x02\x00\x00\x00", 5);
  Chunk(Png, "IHDR", Header);
  Chunk(Png, "IDAT", Z);
  Chunk(Png, "IEND", "");
  std::filesystem::create_directories("chart-previews");
  std::string Path = "chart-previews/" + Name + ".png";
  std::ofstream(Path, std::ios::binary) << Png;
  return std::filesystem::absolute(Path).string();
}
