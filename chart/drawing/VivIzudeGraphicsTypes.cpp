#include "chart/drawing/VivIzudeGraphicsTypes.h"

#include <algorithm>
#include <cmath>

#include "rtl/Exceptions.h"

// ---------------------------------------------------------------- matrix
TVivIzudeGraphicsMatrix TVivIzudeGraphicsMatrix::Identity() {
  TVivIzudeGraphicsMatrix R;
  for (float& V : R.M) V = 0;
  R.m11 = R.m22 = R.m33 = 1;
  return R;
}

TVivIzudeGraphicsMatrix TVivIzudeGraphicsMatrix::CreateRotation(float AAngle) {
  TVivIzudeGraphicsMatrix R = Identity();
  const float C = std::cos(AAngle), S = std::sin(AAngle);
  R.m11 = C;
  R.m12 = S;
  R.m21 = -S;
  R.m22 = C;
  return R;
}

TVivIzudeGraphicsMatrix TVivIzudeGraphicsMatrix::CreateScaling(float AScaleX, float AScaleY) {
  TVivIzudeGraphicsMatrix R = Identity();
  R.m11 = AScaleX;
  R.m22 = AScaleY;
  return R;
}

TVivIzudeGraphicsMatrix TVivIzudeGraphicsMatrix::CreateTranslation(float ADeltaX, float ADeltaY) {
  TVivIzudeGraphicsMatrix R = Identity();
  R.m31 = ADeltaX;
  R.m32 = ADeltaY;
  return R;
}

TVivIzudeGraphicsMatrix operator*(const TVivIzudeGraphicsMatrix& A, const TVivIzudeGraphicsMatrix& B) {
  TVivIzudeGraphicsMatrix R;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      R.M[i * 3 + j] = A.M[i * 3] * B.M[j] + A.M[i * 3 + 1] * B.M[3 + j] + A.M[i * 3 + 2] * B.M[6 + j];
  return R;
}

TPointF operator*(const TPointF& P, const TVivIzudeGraphicsMatrix& M) {
  return {P.X * M.m11 + P.Y * M.m21 + M.m31, P.X * M.m12 + P.Y * M.m22 + M.m32};
}

float TVivIzudeGraphicsMatrix::Determinant() const {
  return m11 * (m22 * m33 - m23 * m32) - m12 * (m21 * m33 - m23 * m31) + m13 * (m21 * m32 - m22 * m31);
}

TVivIzudeGraphicsMatrix TVivIzudeGraphicsMatrix::Adjoint() const {
  TVivIzudeGraphicsMatrix R;
  R.m11 = m22 * m33 - m23 * m32;
  R.m12 = -(m12 * m33 - m13 * m32);
  R.m13 = m12 * m23 - m13 * m22;
  R.m21 = -(m21 * m33 - m23 * m31);
  R.m22 = m11 * m33 - m13 * m31;
  R.m23 = -(m11 * m23 - m13 * m21);
  R.m31 = m21 * m32 - m22 * m31;
  R.m32 = -(m11 * m32 - m12 * m31);
  R.m33 = m11 * m22 - m12 * m21;
  return R;
}

TVivIzudeGraphicsMatrix TVivIzudeGraphicsMatrix::Inverse() const {
  const float D = Determinant();
  if (std::isnan(D) || std::fabs(D) < 1E-40f) return Identity();
  TVivIzudeGraphicsMatrix R = Adjoint();
  const float F = 1 / D;
  for (float& V : R.M) V *= F;
  return R;
}

// ---------------------------------------------------------------- path building
void TVivIzudeGraphicsPath::MoveTo(const TPointF& P) {
  Append(gppMoveTo, P);
  FStartPoint = P;
}

void TVivIzudeGraphicsPath::LineTo(const TPointF& P) {
  Append(gppLineTo, P);
  if (P.X == FStartPoint.X && P.Y == FStartPoint.Y) FClippable = true;
}

void TVivIzudeGraphicsPath::CurveTo(const TPointF& ControlPoint1, const TPointF& ControlPoint2,
                                    const TPointF& EndPoint) {
  Append(gppCurveTo, ControlPoint1);
  Append(gppCurveTo, ControlPoint2);
  Append(gppCurveTo, EndPoint);
}

void TVivIzudeGraphicsPath::QuadCurveTo(const TPointF& ControlPoint, const TPointF& EndPoint) {
  const TPointF L = LastPoint();
  const float Third = 1.0f / 3, TwoThirds = 2.0f / 3;
  CurveTo({L.X * Third + ControlPoint.X * TwoThirds, L.Y * Third + ControlPoint.Y * TwoThirds},
          {ControlPoint.X * TwoThirds + EndPoint.X * Third, ControlPoint.Y * TwoThirds + EndPoint.Y * Third}, EndPoint);
}

void TVivIzudeGraphicsPath::SmoothCurveTo(const TPointF& ControlPoint2, const TPointF& EndPoint) {
  TPointF C1 = ControlPoint2;
  if (Count() >= 3) {
    const TPointF L = LastPoint();
    const TPointF Prev = FPoints[FPoints.size() - 2].Point;
    C1 = {L.X + (L.X - Prev.X), L.Y + (L.Y - Prev.Y)};
  }
  CurveTo(C1, ControlPoint2, EndPoint);
}

void TVivIzudeGraphicsPath::ClosePath() {
  Append(gppClose, FStartPoint);
  FClippable = true;
}

void TVivIzudeGraphicsPath::AddLine(const TPointF& StartPoint, const TPointF& EndPoint) {
  if (FPoints.empty())
    MoveTo(StartPoint);
  else
    LineTo(StartPoint);
  LineTo(EndPoint);
}

void TVivIzudeGraphicsPath::AddRectangle(const TRectF& R) {
  MoveTo({R.Left, R.Top});
  LineTo({R.Right, R.Top});
  LineTo({R.Right, R.Bottom});
  LineTo({R.Left, R.Bottom});
  ClosePath();
}

void TVivIzudeGraphicsPath::AddEllipse(const TRectF& R) {
  constexpr float K = 0.5522848f;
  const float RX = R.Width() / 2, RY = R.Height() / 2;
  const float CX = R.Left + RX, CY = R.Top + RY;
  const float KX = RX * K, KY = RY * K;
  MoveTo({R.Left, CY});
  CurveTo({R.Left, CY - KY}, {CX - KX, R.Top}, {CX, R.Top});
  CurveTo({CX + KX, R.Top}, {R.Right, CY - KY}, {R.Right, CY});
  CurveTo({R.Right, CY + KY}, {CX + KX, R.Bottom}, {CX, R.Bottom});
  CurveTo({CX - KX, R.Bottom}, {R.Left, CY + KY}, {R.Left, CY});
  FClippable = true;
}

void TVivIzudeGraphicsPath::AddArc(const TPointF& Center, const TPointF& Radius, float StartAngle, float SweepAngle) {
  constexpr float Pi = 3.14159265358979f;
  constexpr float TwoPi = 6.2831855f;
  constexpr float HalfPi = 1.5707964f;
  float S = StartAngle * Pi / 180;
  S = S - TwoPi * std::trunc(S / TwoPi);
  float W = SweepAngle * Pi / 180;
  if (W > TwoPi) W = TwoPi;
  if (W < -TwoPi) W = -TwoPi;
  if (!(std::fabs(W) >= 1E-10f)) return;
  float Done = 0;
  bool First = true;
  bool Last = false;
  while (!Last) {
    float A;
    if (W > 0) {
      Last = !(Done + HalfPi < W - 0.01f);
      A = Last ? W - Done : HalfPi;
    } else {
      Last = !(Done - HalfPi > W + 0.01f);
      A = Last ? W - Done : -HalfPi;
    }
    const float Theta = A / 2;
    const float C = std::cos(Theta), Sn = std::sin(Theta);
    const float K = (1 - C) * (3 - C) / (3 * Sn);
    const float U[4] = {C, (4 - C) / 3, (4 - C) / 3, C};
    const float V[4] = {-Sn, -K, K, Sn};
    const float Phi = S + Theta;
    const float CP = std::cos(Phi), SP = std::sin(Phi);
    TPointF P[4];
    for (int i = 0; i < 4; ++i)
      P[i] = {Center.X + Radius.X * (U[i] * CP - V[i] * SP), Center.Y + Radius.Y * (U[i] * SP + V[i] * CP)};
    if (First) {
      if (FPoints.empty())
        MoveTo(P[0]);
      else
        LineTo(P[0]);
      First = false;
    }
    CurveTo(P[1], P[2], P[3]);
    S += A;
    Done += A;
  }
}

void TVivIzudeGraphicsPath::AddPath(const TVivIzudeGraphicsPath& APath) {
  const TVivIzudeGraphicsPathPoints Copy = APath.FPoints;  // APath may be this path
  FPoints.reserve(FPoints.size() + Copy.size());
  FPoints.insert(FPoints.end(), Copy.begin(), Copy.end());
}

void TVivIzudeGraphicsPath::AddPolygon(const TVivIzudeGraphicsPathPolygon& APolygon) {
  for (const TPointF& P : APolygon) LineTo(P);
}

void TVivIzudeGraphicsPath::Assign(const TObject* Source) {
  if (const auto* Other = dynamic_cast<const TVivIzudeGraphicsPath*>(Source)) {
    FPoints = Other->FPoints;
    return;
  }
  throw EConvertError(String(u"Cannot assign a ") + (Source ? u"object" : u"nil") + u" to a TVivIzudeGraphicsPath");
}

const TVivIzudeGraphicsPathPoint& TVivIzudeGraphicsPath::Points(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) throw EArgumentOutOfRangeException(u"Argument out of range");
  return FPoints[static_cast<std::size_t>(AIndex)];
}

// ---------------------------------------------------------------- geometry of a path
TRectF TVivIzudeGraphicsPath::GetBounds() const {
  if (FPoints.empty()) return {};
  TRectF R{65535, 65535, -65535, -65535};
  for (const auto& E : FPoints) {
    if (E.Kind == gppClose) continue;
    if (E.Point.X < R.Left) R.Left = E.Point.X;
    if (E.Point.Y < R.Top) R.Top = E.Point.Y;
    if (E.Point.X > R.Right) R.Right = E.Point.X;
    if (E.Point.Y > R.Bottom) R.Bottom = E.Point.Y;
  }
  if (std::fabs(R.Right - R.Left) <= 0.001f) R.Right = R.Left + 0.001f;
  if (std::fabs(R.Bottom - R.Top) <= 0.001f) R.Bottom = R.Top + 0.001f;
  return R;
}

void TVivIzudeGraphicsPath::ApplyMatrix(const TVivIzudeGraphicsMatrix& AMatrix) {
  for (auto& E : FPoints)
    if (E.Kind != gppClose) E.Point = E.Point * AMatrix;
}

TPointF TVivIzudeGraphicsPath::PointOnBezier(const TPointF& StartPoint, float AX, float BX, float CX, float AY,
                                             float BY, float CY, float T) {
  const float T2 = T * T, T3 = T2 * T;
  return {AX * T3 + BX * T2 + CX * T + StartPoint.X, AY * T3 + BY * T2 + CY * T + StartPoint.Y};
}

void TVivIzudeGraphicsPath::CreateBezier(const TVivIzudeGraphicsPathCubicBezier& B, Integer PointCount,
                                         TVivIzudeGraphicsPathPolygon& Polygon) {
  if (PointCount <= 0) return;
  const float CX = 3 * (B[1].X - B[0].X), CY = 3 * (B[1].Y - B[0].Y);
  const float BX = 3 * (B[2].X - B[1].X) - CX, BY = 3 * (B[2].Y - B[1].Y) - CY;
  const float AX = B[3].X - B[0].X - CX - BX, AY = B[3].Y - B[0].Y - CY - BY;
  Polygon.resize(static_cast<std::size_t>(PointCount));
  const float Step = PointCount > 1 ? 1.0f / static_cast<float>(PointCount - 1) : 0;
  float T = 0;
  for (Integer i = 0; i < PointCount; ++i) {
    Polygon[static_cast<std::size_t>(i)] = PointOnBezier(B[0], AX, BX, CX, AY, BY, CY, T);
    T += Step;
  }
}

namespace {

// One walk over the path's entries, shared by Flatten and FlattenToPolygon.
template <class FMove, class FLine, class FCurveShort, class FClose>
void WalkFlattened(const TVivIzudeGraphicsPathPoints& Points, float Flatness, FMove Move, FLine Line,
                   FCurveShort CurveShort, FClose Close) {
  const float Flat = Flatness > 0.05f ? Flatness : 0.05f;
  TPointF Current;
  TVivIzudeGraphicsPathPolygon Samples;
  for (std::size_t i = 0; i < Points.size(); ++i) {
    const auto& E = Points[i];
    switch (E.Kind) {
      case gppMoveTo:
        Move(E.Point);
        Current = E.Point;
        break;
      case gppLineTo:
        Line(E.Point);
        Current = E.Point;
        break;
      case gppClose:
        Close();
        break;
      case gppCurveTo: {
        // A curve cut short by the end of the list ends at its last point.
        const std::size_t C2 = std::min(i + 1, Points.size() - 1), End = std::min(i + 2, Points.size() - 1);
        const TVivIzudeGraphicsPathCubicBezier B = {Current, E.Point, Points[C2].Point, Points[End].Point};
        TVivIzudeGraphicsPath::CreateBezier(B, 6, Samples);
        float Length = 0;
        for (std::size_t k = 1; k < Samples.size(); ++k)
          Length += std::hypot(Samples[k].X - Samples[k - 1].X, Samples[k].Y - Samples[k - 1].Y);
        const double N = std::nearbyint(static_cast<double>(Length / Flat));
        if (N > 1 && N < 1e6) {
          TVivIzudeGraphicsPath::CreateBezier(B, static_cast<Integer>(N), Samples);
          for (const TPointF& P : Samples) Line(P);
        } else {
          CurveShort(Current, B[3]);
        }
        Current = B[3];
        i = End;
        break;
      }
    }
  }
}

bool Near(const TPointF& A, const TPointF& B) {
  return std::fabs(A.X - B.X) <= 0.001f && std::fabs(A.Y - B.Y) <= 0.001f;
}

}  // namespace

void TVivIzudeGraphicsPath::Flatten(float Flatness) {
  const TVivIzudeGraphicsPathPoints Copy = FPoints;
  FPoints.clear();
  WalkFlattened(
      Copy, Flatness, [this](const TPointF& P) { MoveTo(P); }, [this](const TPointF& P) { LineTo(P); },
      [this](const TPointF&, const TPointF& End) { LineTo(End); }, [this] { ClosePath(); });
}

void TVivIzudeGraphicsPath::FlattenToPolygon(TVivIzudeGraphicsPathPolygon& Polygon, float Flatness) const {
  Polygon.clear();
  bool SeenMove = false;
  TPointF FigureStart;
  const auto Add = [&Polygon](const TPointF& P) {
    if (Polygon.empty() || !Near(Polygon.back(), P)) Polygon.push_back(P);
  };
  WalkFlattened(
      FPoints, Flatness,
      [&](const TPointF& P) {
        if (SeenMove) Add({PathFigureSeparator, PathFigureSeparator});
        SeenMove = true;
        FigureStart = P;
        Add(P);
      },
      Add,
      [&](const TPointF& Current, const TPointF& End) {
        Add(Current);
        Add(End);
      },
      [&] { Add(FigureStart); });
}

bool PointInPolygon(const TPointF& P, const TVivIzudeGraphicsPathPolygon& Polygon) {
  if (Polygon.empty()) return false;
  TRectF Box{Polygon[0].X, Polygon[0].Y, Polygon[0].X, Polygon[0].Y};
  for (const TPointF& V : Polygon) {
    Box.Left = std::min(Box.Left, V.X);
    Box.Top = std::min(Box.Top, V.Y);
    Box.Right = std::max(Box.Right, V.X);
    Box.Bottom = std::max(Box.Bottom, V.Y);
  }
  if (P.X < Box.Left || P.X > Box.Right || P.Y < Box.Top || P.Y > Box.Bottom) return false;
  // Each figure (the vertices between separators) is a ring of its own:
  // an edge to or from a separator vertex is no edge of the picture.
  bool Inside = false;
  std::size_t Start = 0;
  while (Start < Polygon.size()) {
    std::size_t End = Start;
    while (End < Polygon.size() && !(Polygon[End].X == PathFigureSeparator && Polygon[End].Y == PathFigureSeparator))
      ++End;
    if (End > Start) {
      std::size_t j = End - 1;
      for (std::size_t i = Start; i < End; j = i++) {
        const TPointF& A = Polygon[i];
        const TPointF& B = Polygon[j];
        if ((A.Y <= P.Y) != (B.Y <= P.Y) && B.Y != A.Y) {
          const float X = A.X + (P.Y - A.Y) * (B.X - A.X) / (B.Y - A.Y);
          if (P.X < X) Inside = !Inside;
        }
      }
    }
    Start = End + 1;
  }
  return Inside;
}

bool TVivIzudeGraphicsPath::IsPointVisible(const TPointF& P) const {
  TVivIzudeGraphicsPathPolygon Polygon;
  FlattenToPolygon(Polygon, 0.25f);
  return PointInPolygon(P, Polygon);
}

bool TVivIzudeGraphicsPath::IsRectVisible(const TRectF& R) const {
  TVivIzudeGraphicsPathPolygon Polygon;
  FlattenToPolygon(Polygon, 0.25f);
  for (const TPointF& V : Polygon)
    if (R.Left <= V.X && V.X < R.Right && R.Top <= V.Y && V.Y < R.Bottom) return true;
  return false;
}
