// The point store of a serie and the append family.
#include <limits>

#include "chart/model/ChartSerie.h"
#include "chart/model/VivIzude.h"

void InitChartPoint(TChartPoint& P) {
  P = TChartPoint{};
  P.Defined = true;
  P.Color = P.ColorTo = P.TextColor = P.BorderColor = clNone;
  P.GradientDirection = cgdVertical;
}

void TChartSerie::DetachPoints() {
  if (FPoints.use_count() > 1) FPoints = std::make_shared<TChartPointArray>(*FPoints);
}

TChartPoint TChartSerie::GetPoint(Integer AIndex) const {
  TChartPoint P;
  InitChartPoint(P);
  TVivIzude* C = Chart();
  if (!C) return P;
  if (AIndex >= 0 && AIndex < static_cast<Integer>(FPoints->size())) P = (*FPoints)[AIndex];
  C->DoGetPoint(Index(), AIndex, P);
  return P;
}

Integer TChartSerie::GetPointsCount() const {
  TVivIzude* C = Chart();
  if (!C) return 0;
  Integer Count = static_cast<Integer>(FPoints->size());
  C->DoGetNumberOfPoints(Index(), Count);
  // The reported count is not the append position: FLastPoint stays as the
  // append family left it.
  return Count;
}

TChartPoint TChartSerie::GetChartPoint(Integer Index) const {
  if (Index >= 0 && Index <= GetPointsCount() - 1) return GetPoint(Index);
  TChartPoint P;
  InitChartPoint(P);
  P.Defined = false;
  return P;
}

TChartPoint TChartSerie::GetChartPointFromDrawPoint(Integer Index) const {
  TVivIzude* C = Chart();
  Int64 P = Index;
  if (C && C->Range().RangeFrom() >= 0 && !IsXYType(FChartType) && FChartType != ctGantt) P += C->Range().RangeFrom();
  return GetChartPoint(P <= std::numeric_limits<Integer>::max() ? static_cast<Integer>(P) : -1);
}

void TChartSerie::GetDrawPoint(Integer Index, TPoint& Point) const {
  if (Index >= 0 && Index < static_cast<Integer>(DrawPoints.size())) Point = DrawPoints[Index];
}

void TChartSerie::SetArraySize(Integer Size) {
  if (Size < 0) Size = 0;
  DetachPoints();
  FPoints->resize(Size);
  FLastPoint = Size;
}

void TChartSerie::ClearPoints() {
  DetachPoints();
  FPoints->clear();
  FLastPoint = 0;
}

void TChartSerie::RemovePoint(Integer PointIndex) {
  if (PointIndex < 0 || PointIndex >= static_cast<Integer>(FPoints->size())) return;
  DetachPoints();
  FPoints->erase(FPoints->begin() + PointIndex);
  // The append position follows the store, so the next append lands right
  // after the last remaining point.
  FLastPoint = static_cast<Integer>(FPoints->size());
}

void TChartSerie::SetSinglePoint(double SinglePoint, Integer Index) {
  if (Index < 0 || Index >= static_cast<Integer>(FPoints->size())) return;
  TChartPoint& P = (*FPoints)[Index];
  P.SingleValue = SinglePoint;
  P.Defined = true;
  P.ValueType = cpvSingle;
  P.Color = P.ColorTo = clNone;
}

void TChartSerie::SetSingleDateTime(TChartDate SingleDateTime, Integer Index) {
  if (Index < 0 || Index >= static_cast<Integer>(FPoints->size())) return;
  TChartPoint& P = (*FPoints)[Index];
  P.TimeStamp = SingleDateTime.Value;
  P.Defined = true;
  P.ValueType = cpvSingle;
  P.Color = P.ColorTo = clNone;
}

void TChartSerie::SetMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint,
                                 Integer Index) {
  if (Index < 0 || Index >= static_cast<Integer>(FPoints->size())) return;
  TChartPoint& P = (*FPoints)[Index];
  P.SingleValue = P.HighValue = HighPoint;
  P.LowValue = LowPoint;
  P.OpenValue = OpenPoint;
  P.CloseValue = ClosePoint;
  P.Defined = true;
  P.ValueType = cpvMulti;
}

TChartPoint& TChartSerie::AppendPoint() {
  DetachPoints();
  // The store and the append position agree (every operation keeps them
  // so); growing by one zero-fills the new record.
  FLastPoint = static_cast<Integer>(FPoints->size()) + 1;
  FPoints->resize(FLastPoint);
  TChartPoint& P = FPoints->back();
  P.Color = P.ColorTo = clNone;
  P.Defined = true;
  return P;
}

void TChartSerie::FinishAppend() {
  // One oldest point per append: lowering the limit never drops points at once.
  if (FMaximumPoints != -1 && FMaximumPoints < FLastPoint && !FPoints->empty()) RemovePoint(0);
}

// --- AddSinglePoint
void TChartSerie::AddSinglePoint(double V) { AddSinglePoint(V, clNone, true, String()); }
void TChartSerie::AddSinglePoint(double V, bool Defined) { AddSinglePoint(V, clNone, Defined, String()); }
void TChartSerie::AddSinglePoint(double V, TChartDate D) { AddSinglePoint(V, D, clNone, true, String()); }
void TChartSerie::AddSinglePoint(double V, TChartDate D, bool Defined) {
  AddSinglePoint(V, D, clNone, Defined, String());
}
void TChartSerie::AddSinglePoint(double V, TColor C) { AddSinglePoint(V, C, true, String()); }
void TChartSerie::AddSinglePoint(double V, TColor C, bool Defined) { AddSinglePoint(V, C, Defined, String()); }
void TChartSerie::AddSinglePoint(double V, TChartDate D, TColor C) { AddSinglePoint(V, D, C, true, String()); }
void TChartSerie::AddSinglePoint(double V, TChartDate D, TColor C, bool Defined) {
  AddSinglePoint(V, D, C, Defined, String());
}
void TChartSerie::AddSinglePoint(double V, const String& X) { AddSinglePoint(V, clNone, true, X); }
void TChartSerie::AddSinglePoint(double V, bool Defined, const String& X) { AddSinglePoint(V, clNone, Defined, X); }
void TChartSerie::AddSinglePoint(double V, TChartDate D, const String& X) { AddSinglePoint(V, D, clNone, true, X); }
void TChartSerie::AddSinglePoint(double V, TChartDate D, bool Defined, const String& X) {
  AddSinglePoint(V, D, clNone, Defined, X);
}
void TChartSerie::AddSinglePoint(double V, TColor C, const String& X) { AddSinglePoint(V, C, true, X); }
void TChartSerie::AddSinglePoint(double V, TColor C, bool Defined, const String& X) {
  TChartPoint& P = AppendPoint();
  P.SingleValue = V;
  P.Color = C;
  P.Defined = Defined;
  P.ValueType = cpvSingle;
  P.LegendValue = X;
  FinishAppend();
}
void TChartSerie::AddSinglePoint(double V, TChartDate D, TColor C, const String& X) {
  AddSinglePoint(V, D, C, true, X);
}
void TChartSerie::AddSinglePoint(double V, TChartDate D, TColor C, bool Defined, const String& X) {
  TChartPoint& P = AppendPoint();
  P.SingleValue = V;
  P.TimeStamp = D.Value;
  P.Color = C;
  P.Defined = Defined;
  P.ValueType = cpvSingle;
  P.LegendValue = X;
  FinishAppend();
}
void TChartSerie::AddSinglePoint(double V, TColor C, TColor CT, const String& X) {
  TChartPoint& P = AppendPoint();
  P.SingleValue = V;
  P.Color = C;
  P.ColorTo = CT;
  P.ValueType = cpvSingle;
  P.LegendValue = X;
  FinishAppend();
}
void TChartSerie::AddSinglePoint(double Start, double End, const String& Text, TColor C, TColor CT, TColor BC,
                                 TColor TC, TChartGradientDirection GD) {
  TChartPoint& P = AppendPoint();
  P.SingleValue = Start;
  P.SingleXValue = End;
  P.LegendValue = Text;
  P.Color = C;
  P.ColorTo = CT;
  P.BorderColor = BC;
  P.TextColor = TC;
  P.GradientDirection = GD;
  P.ValueType = cpvSingle;
  FinishAppend();
}
void TChartSerie::AddSinglePoint(const String& Text, TChartDate Start, TChartDate End, TColor C, TColor CT, TColor BC,
                                 TColor TC, TChartGradientDirection GD) {
  TChartPoint& P = AppendPoint();
  P.LegendValue = Text;
  P.TimeStamp = Start.Value;
  P.TimeXStamp = End.Value;
  P.Color = C;
  P.ColorTo = CT;
  P.BorderColor = BC;
  P.TextColor = TC;
  P.GradientDirection = GD;
  P.ValueType = cpvSingle;
  FinishAppend();
}

// --- AddSingleXYPoint: one full form, the others fill it in.
namespace {
struct TXYArgs {
  double X, Y;
  TDateTime D = 0, XD = 0;
  TColor C = clNone, CT = clNone;
  bool Defined = true;
  String Text;
};
}  // namespace

static TXYArgs MakeXY(double X, double Y, TDateTime D = 0, TDateTime XD = 0, TColor C = clNone, TColor CT = clNone,
                      bool Defined = true, const String& Text = String()) {
  return TXYArgs{X, Y, D, XD, C, CT, Defined, Text};
}

static void FillXY(TChartPoint& P, const TXYArgs& A) {
  P.SingleXValue = A.X;
  P.SingleValue = A.Y;
  P.TimeStamp = A.D;
  P.TimeXStamp = A.XD;
  P.Color = A.C;
  P.ColorTo = A.CT;
  P.Defined = A.Defined;
  P.ValueType = cpvSingle;
  P.LegendValue = A.Text;
}

#define XY_APPEND(...)              \
  do {                              \
    TChartPoint& P = AppendPoint(); \
    FillXY(P, MakeXY(__VA_ARGS__)); \
    FinishAppend();                 \
  } while (false)

void TChartSerie::AddSingleXYPoint(double X, double Y) { XY_APPEND(X, Y); }
void TChartSerie::AddSingleXYPoint(double X, double Y, bool Df) { XY_APPEND(X, Y, 0, 0, clNone, clNone, Df); }
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D) { XY_APPEND(X, Y, D.Value); }
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, bool Df) {
  XY_APPEND(X, Y, D.Value, 0, clNone, clNone, Df);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TChartDate XD) {
  XY_APPEND(X, Y, D.Value, XD.Value);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TChartDate XD, bool Df) {
  XY_APPEND(X, Y, D.Value, XD.Value, clNone, clNone, Df);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TColor C) { XY_APPEND(X, Y, 0, 0, C); }
void TChartSerie::AddSingleXYPoint(double X, double Y, TColor C, bool Df) { XY_APPEND(X, Y, 0, 0, C, clNone, Df); }
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TColor C) { XY_APPEND(X, Y, D.Value, 0, C); }
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TColor C, bool Df) {
  XY_APPEND(X, Y, D.Value, 0, C, clNone, Df);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TChartDate XD, TColor C) {
  XY_APPEND(X, Y, D.Value, XD.Value, C);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TChartDate XD, TColor C, bool Df) {
  XY_APPEND(X, Y, D.Value, XD.Value, C, clNone, Df);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, const String& T) {
  XY_APPEND(X, Y, 0, 0, clNone, clNone, true, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, bool Df, const String& T) {
  XY_APPEND(X, Y, 0, 0, clNone, clNone, Df, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, const String& T) {
  XY_APPEND(X, Y, D.Value, 0, clNone, clNone, true, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, bool Df, const String& T) {
  XY_APPEND(X, Y, D.Value, 0, clNone, clNone, Df, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TChartDate XD, const String& T) {
  XY_APPEND(X, Y, D.Value, XD.Value, clNone, clNone, true, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TChartDate XD, bool Df, const String& T) {
  XY_APPEND(X, Y, D.Value, XD.Value, clNone, clNone, Df, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TColor C, const String& T) {
  XY_APPEND(X, Y, 0, 0, C, clNone, true, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TColor C, bool Df, const String& T) {
  XY_APPEND(X, Y, 0, 0, C, clNone, Df, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TColor C, const String& T) {
  XY_APPEND(X, Y, D.Value, 0, C, clNone, true, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TColor C, bool Df, const String& T) {
  XY_APPEND(X, Y, D.Value, 0, C, clNone, Df, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TChartDate XD, TColor C, const String& T) {
  XY_APPEND(X, Y, D.Value, XD.Value, C, clNone, true, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TChartDate D, TChartDate XD, TColor C, bool Df,
                                   const String& T) {
  XY_APPEND(X, Y, D.Value, XD.Value, C, clNone, Df, T);
}
void TChartSerie::AddSingleXYPoint(double X, double Y, TColor C, TColor CT, const String& T) {
  XY_APPEND(X, Y, 0, 0, C, CT, true, T);
}
#undef XY_APPEND

// --- AddDoublePoint / AddDoubleXYPoint
namespace {
struct TDoubleArgs {
  double X, First, Second;
  TDateTime D = 0;
  TColor C = clNone;
  bool Defined = true;
  String Text;
};
}  // namespace

static TDoubleArgs MakeDouble(double X, double First, double Second, TDateTime D = 0, TColor C = clNone,
                              bool Defined = true, const String& Text = String()) {
  return TDoubleArgs{X, First, Second, D, C, Defined, Text};
}

static void FillDouble(TChartPoint& P, const TDoubleArgs& A) {
  P.SingleXValue = A.X;
  P.SingleValue = A.First;
  P.SecondValue = A.Second;
  P.TimeStamp = A.D;
  P.Color = A.C;
  P.Defined = A.Defined;
  P.ValueType = cpvMulti;
  P.LegendValue = A.Text;
}

#define DOUBLE_APPEND(...)                  \
  do {                                      \
    TChartPoint& P = AppendPoint();         \
    FillDouble(P, MakeDouble(__VA_ARGS__)); \
    FinishAppend();                         \
  } while (false)

void TChartSerie::AddDoublePoint(double F, double S) { DOUBLE_APPEND(0, F, S); }
void TChartSerie::AddDoublePoint(double F, double S, bool Df) { DOUBLE_APPEND(0, F, S, 0, clNone, Df); }
void TChartSerie::AddDoublePoint(double F, double S, TChartDate D) { DOUBLE_APPEND(0, F, S, D.Value); }
void TChartSerie::AddDoublePoint(double F, double S, TChartDate D, bool Df) {
  DOUBLE_APPEND(0, F, S, D.Value, clNone, Df);
}
void TChartSerie::AddDoublePoint(double F, double S, TColor C) { DOUBLE_APPEND(0, F, S, 0, C); }
void TChartSerie::AddDoublePoint(double F, double S, TColor C, bool Df) { DOUBLE_APPEND(0, F, S, 0, C, Df); }
void TChartSerie::AddDoublePoint(double F, double S, TChartDate D, TColor C) { DOUBLE_APPEND(0, F, S, D.Value, C); }
void TChartSerie::AddDoublePoint(double F, double S, TChartDate D, TColor C, bool Df) {
  DOUBLE_APPEND(0, F, S, D.Value, C, Df);
}
void TChartSerie::AddDoublePoint(double F, double S, const String& T) { DOUBLE_APPEND(0, F, S, 0, clNone, true, T); }
void TChartSerie::AddDoubleXYPoint(double X, double F, double S) { DOUBLE_APPEND(X, F, S); }
void TChartSerie::AddDoubleXYPoint(double X, double F, double S, bool Df) { DOUBLE_APPEND(X, F, S, 0, clNone, Df); }
void TChartSerie::AddDoubleXYPoint(double X, double F, double S, TChartDate D) { DOUBLE_APPEND(X, F, S, D.Value); }
void TChartSerie::AddDoubleXYPoint(double X, double F, double S, TChartDate D, bool Df) {
  DOUBLE_APPEND(X, F, S, D.Value, clNone, Df);
}
void TChartSerie::AddDoubleXYPoint(double X, double F, double S, TColor C) { DOUBLE_APPEND(X, F, S, 0, C); }
void TChartSerie::AddDoubleXYPoint(double X, double F, double S, TColor C, bool Df) {
  DOUBLE_APPEND(X, F, S, 0, C, Df);
}
void TChartSerie::AddDoubleXYPoint(double X, double F, double S, TChartDate D, TColor C) {
  DOUBLE_APPEND(X, F, S, D.Value, C);
}
void TChartSerie::AddDoubleXYPoint(double X, double F, double S, TChartDate D, TColor C, bool Df) {
  DOUBLE_APPEND(X, F, S, D.Value, C, Df);
}
void TChartSerie::AddDoubleXYPoint(double X, double F, double S, const String& T) {
  DOUBLE_APPEND(X, F, S, 0, clNone, true, T);
}
#undef DOUBLE_APPEND

// --- AddMultiPoints
namespace {
struct TMultiArgs {
  double High, Low, Open, Close, Single;
  TDateTime D = 0;
  TColor C = clNone;
  bool Defined = true;
  String Text;
  double Med = 0;
};
}  // namespace

static TMultiArgs MakeMulti(double High, double Low, double Open, double Close, double Single, TDateTime D = 0,
                            TColor C = clNone, bool Defined = true, const String& Text = String(), double Med = 0) {
  return TMultiArgs{High, Low, Open, Close, Single, D, C, Defined, Text, Med};
}

static void FillMulti(TChartPoint& P, const TMultiArgs& A) {
  P.HighValue = A.High;
  P.LowValue = A.Low;
  P.OpenValue = A.Open;
  P.CloseValue = A.Close;
  P.MedValue = A.Med;
  P.SingleValue = A.Single;
  P.TimeStamp = A.D;
  P.Color = A.C;
  P.Defined = A.Defined;
  P.ValueType = cpvMulti;
  P.LegendValue = A.Text;
}

#define MULTI_APPEND(...)                 \
  do {                                    \
    TChartPoint& P = AppendPoint();       \
    FillMulti(P, MakeMulti(__VA_ARGS__)); \
    FinishAppend();                       \
  } while (false)

void TChartSerie::AddMultiPoints(double H, double L, double O, double C) { MULTI_APPEND(H, L, O, C, C); }
void TChartSerie::AddMultiPoints(double H, double L, double O, double C, TChartDate D) {
  MULTI_APPEND(H, L, O, C, C, D.Value);
}
void TChartSerie::AddMultiPoints(double H, double L, double O, double C, const String& T) {
  MULTI_APPEND(H, L, O, C, C, 0, clNone, true, T);
}
void TChartSerie::AddMultiPoints(double H, double L, double O, double C, bool Df) {
  MULTI_APPEND(H, L, O, C, H, 0, clNone, Df);
}
void TChartSerie::AddMultiPoints(double H, double L, double O, double C, TColor Cl) {
  MULTI_APPEND(H, L, O, C, H, 0, Cl);
}
void TChartSerie::AddMultiPoints(double H, double L, double O, double C, TColor Cl, bool Df) {
  MULTI_APPEND(H, L, O, C, H, 0, Cl, Df);
}
void TChartSerie::AddMultiPoints(double H, double L, double O, double C, TChartDate D, bool Df) {
  MULTI_APPEND(H, L, O, C, H, D.Value, clNone, Df);
}
void TChartSerie::AddMultiPoints(double H, double L, double O, double C, TChartDate D, TColor Cl) {
  MULTI_APPEND(H, L, O, C, H, D.Value, Cl);
}
void TChartSerie::AddMultiPoints(double H, double L, double O, double C, TChartDate D, TColor Cl, bool Df) {
  MULTI_APPEND(H, L, O, C, H, D.Value, Cl, Df);
}
// Box plot: Minimum → low, Q1 → close and the main value, Median → med,
// Q3 → open, Maximum → high.
void TChartSerie::AddBoxPlotPoints(double Mn, double Q1, double Md, double Q3, double Mx, bool Df) {
  MULTI_APPEND(Mx, Mn, Q3, Q1, Q1, 0, clNone, Df, String(), Md);
}
void TChartSerie::AddBoxPlotPoints(double Mn, double Q1, double Md, double Q3, double Mx, TChartDate D) {
  MULTI_APPEND(Mx, Mn, Q3, Q1, Q1, D.Value, clNone, true, String(), Md);
}
void TChartSerie::AddBoxPlotPoints(double Mn, double Q1, double Md, double Q3, double Mx, TChartDate D, bool Df) {
  MULTI_APPEND(Mx, Mn, Q3, Q1, Q1, D.Value, clNone, Df, String(), Md);
}
void TChartSerie::AddBoxPlotPoints(double Mn, double Q1, double Md, double Q3, double Mx, TColor Cl) {
  MULTI_APPEND(Mx, Mn, Q3, Q1, Q1, 0, Cl, true, String(), Md);
}
void TChartSerie::AddBoxPlotPoints(double Mn, double Q1, double Md, double Q3, double Mx, TColor Cl, bool Df) {
  MULTI_APPEND(Mx, Mn, Q3, Q1, Q1, 0, Cl, Df, String(), Md);
}
void TChartSerie::AddBoxPlotPoints(double Mn, double Q1, double Md, double Q3, double Mx, TChartDate D, TColor Cl) {
  MULTI_APPEND(Mx, Mn, Q3, Q1, Q1, D.Value, Cl, true, String(), Md);
}
void TChartSerie::AddBoxPlotPoints(double Mn, double Q1, double Md, double Q3, double Mx, TChartDate D, TColor Cl,
                                   bool Df) {
  MULTI_APPEND(Mx, Mn, Q3, Q1, Q1, D.Value, Cl, Df, String(), Md);
}
void TChartSerie::AddBoxPlotPoints(double Mn, double Q1, double Md, double Q3, double Mx, const String& T) {
  MULTI_APPEND(Mx, Mn, Q3, Q1, Q1, 0, clNone, true, T, Md);
}
#undef MULTI_APPEND

// --- AddPoints, AddPiePoints, AddChartPoint
void TChartSerie::AddPoints(double V, Integer PV) { AddPoints(V, PV, PV, TChartDate(0), true); }
void TChartSerie::AddPoints(double V, Integer P1, Integer P2) { AddPoints(V, P1, P2, TChartDate(0), true); }
void TChartSerie::AddPoints(double V, Integer P1, Integer P2, bool Df) { AddPoints(V, P1, P2, TChartDate(0), Df); }
void TChartSerie::AddPoints(double V, Integer P1, Integer P2, TChartDate D) { AddPoints(V, P1, P2, D, true); }
void TChartSerie::AddPoints(double V, Integer P1, Integer P2, TChartDate D, bool Df) {
  TChartPoint& P = AppendPoint();
  P.SingleValue = V;
  P.PixelValue1 = P1;
  P.PixelValue2 = P2;
  P.TimeStamp = D.Value;
  P.Defined = Df;
  P.ValueType = cpvSingle;
  FinishAppend();
}

void TChartSerie::AddPiePoints(double V, TColor C, TColor CT, Integer Indent, bool Df) {
  AddPiePoints(V, 0.0, String(), C, CT, Indent, Df);
}
void TChartSerie::AddPiePoints(double V, const String& L, TColor C, TColor CT, Integer Indent, bool Df) {
  AddPiePoints(V, 0.0, L, C, CT, Indent, Df);
}
void TChartSerie::AddPiePoints(double V, double R, TColor C, TColor CT, Integer Indent, bool Df) {
  AddPiePoints(V, R, String(), C, CT, Indent, Df);
}
void TChartSerie::AddPiePoints(double V, double R, const String& L, TColor C, TColor CT, Integer Indent, bool Df) {
  TChartPoint& P = AppendPoint();
  P.SingleValue = V;
  P.SecondValue = R;
  P.LegendValue = L;
  P.Color = C;
  P.ColorTo = CT;
  P.PixelValue1 = Indent;
  P.Defined = Df;
  P.ValueType = cpvSingle;
  FinishAppend();
}

void TChartSerie::AddChartPoint(const TChartPoint& Pt) {
  AppendPoint() = Pt;
  FinishAppend();
}
