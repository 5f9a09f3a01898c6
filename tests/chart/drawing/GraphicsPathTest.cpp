// The drawing layer's path and matrix: building, bounds, arcs, flattening,
// hit tests and the matrix algebra.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/drawing/VivIzudeGraphicsTypes.h"
#include "rtl/Exceptions.h"

namespace {
using TPath = TVivIzudeGraphicsPath;
using TMatrix = TVivIzudeGraphicsMatrix;

int CurveCount(const TPath& P) {
  int N = 0;
  for (const auto& E : P.PathData()) N += E.Kind == gppCurveTo;
  return N / 3;
}
}  // namespace

TEST(GraphicsPath, ClippableOnlyWhenAFigureClosesExactly) {
  TPath P;
  P.MoveTo({1, 1});
  P.LineTo({5, 1});
  P.LineTo({1, 1.0001f});
  EXPECT_FALSE(P.Clippable());
  P.LineTo({1, 1});
  EXPECT_TRUE(P.Clippable());

  TPath Closed;
  Closed.MoveTo({0, 0});
  Closed.LineTo({3, 0});
  Closed.ClosePath();
  EXPECT_TRUE(Closed.Clippable());
  EXPECT_EQ(Closed.Points(2).Kind, gppClose);
  EXPECT_EQ(Closed.Points(2).Point, (TPointF{0, 0}));
  EXPECT_THROW(Closed.Points(3), EArgumentOutOfRangeException);
  EXPECT_THROW(Closed.Points(-1), EArgumentOutOfRangeException);
}

TEST(GraphicsPath, CurveHelpersComputeTheirControlPoints) {
  TPath Smooth;
  Smooth.MoveTo({0, 0});
  Smooth.SmoothCurveTo({4, 2}, {6, 0});
  ASSERT_EQ(Smooth.Count(), 4);
  EXPECT_EQ(Smooth.Points(1).Point, (TPointF{4, 2}));  // fewer than 3 points: ControlPoint2 twice
  Smooth.SmoothCurveTo({8, 2}, {10, 0});
  // Reflection of (4, 2) about (6, 0).
  EXPECT_EQ(Smooth.Points(4).Point, (TPointF{8, -2}));

  TPath Quad;
  Quad.MoveTo({0, 0});
  Quad.QuadCurveTo({3, 3}, {6, 0});
  EXPECT_NEAR(Quad.Points(1).Point.X, 2, 1e-5);
  EXPECT_NEAR(Quad.Points(1).Point.Y, 2, 1e-5);
  EXPECT_NEAR(Quad.Points(2).Point.X, 4, 1e-5);
  EXPECT_NEAR(Quad.Points(2).Point.Y, 2, 1e-5);
}

TEST(GraphicsPath, BoundsOfEmptySingleAndFarPaths) {
  TPath Empty;
  EXPECT_EQ(Empty.GetBounds(), (TRectF{0, 0, 0, 0}));
  TPath One;
  One.MoveTo({3, 4});
  const TRectF B = One.GetBounds();
  EXPECT_FLOAT_EQ(B.Left, 3);
  EXPECT_NEAR(B.Width(), 0.001f, 1e-6);
  EXPECT_NEAR(B.Height(), 0.001f, 1e-6);
  TPath Far;
  Far.MoveTo({70000, 1});
  Far.LineTo({80000, 5});
  EXPECT_FLOAT_EQ(Far.GetBounds().Left, 65535);
  EXPECT_FLOAT_EQ(Far.GetBounds().Right, 80000);
}

TEST(GraphicsPath, ArcsAreCutIntoQuarterCurves) {
  struct TCase {
    float Sweep;
    int Curves;
  } Cases[] = {{360, 4}, {100, 2}, {90.5f, 1}, {-180, 2}, {720, 4}, {0, 0}};
  for (const auto& C : Cases) {
    TPath P;
    P.AddArc({0, 0}, {10, 10}, 0, C.Sweep);
    EXPECT_EQ(CurveCount(P), C.Curves) << C.Sweep;
  }
  // A quarter arc from 0 to 90 degrees runs from (10, 0) to (0, 10) (y down).
  TPath Q;
  Q.AddArc({0, 0}, {10, 10}, 0, 90);
  EXPECT_NEAR(Q.Points(0).Point.X, 10, 1e-4);
  EXPECT_NEAR(Q.Points(0).Point.Y, 0, 1e-4);
  EXPECT_NEAR(Q.LastPoint().X, 0, 1e-4);
  EXPECT_NEAR(Q.LastPoint().Y, 10, 1e-4);
  // The midpoint of the curve lies on the circle within a tiny error.
  TVivIzudeGraphicsPathPolygon Samples;
  TPath::CreateBezier({Q.Points(0).Point, Q.Points(1).Point, Q.Points(2).Point, Q.Points(3).Point}, 3, Samples);
  EXPECT_NEAR(std::hypot(Samples[1].X, Samples[1].Y), 10, 0.01);
  // A second arc joins with a line.
  Q.AddArc({0, 0}, {5, 5}, 180, 90);
  EXPECT_EQ(Q.Points(4).Kind, gppLineTo);
}

TEST(GraphicsPath, FlatteningAndHitTests) {
  TPath Circle;
  Circle.AddEllipse({0, 0, 100, 100});
  EXPECT_TRUE(Circle.Clippable());
  EXPECT_TRUE(Circle.IsPointVisible({50, 50}));
  EXPECT_FALSE(Circle.IsPointVisible({3, 3}));  // inside the box, outside the circle
  EXPECT_TRUE(Circle.IsRectVisible({45, -5, 55, 5}));
  EXPECT_FALSE(Circle.IsRectVisible({40, 40, 60, 60}));

  TPath Flat = Circle;
  Flat.Flatten(0.25f);
  for (const auto& E : Flat.PathData()) EXPECT_NE(E.Kind, gppCurveTo);
  EXPECT_GT(Flat.Count(), 40);

  // A tiny curve becomes one line to its end.
  TPath Tiny;
  Tiny.MoveTo({0, 0});
  Tiny.CurveTo({0.01f, 0}, {0.02f, 0}, {0.03f, 0});
  Tiny.Flatten(1);
  ASSERT_EQ(Tiny.Count(), 2);
  EXPECT_EQ(Tiny.Points(1).Kind, gppLineTo);
  EXPECT_NEAR(Tiny.Points(1).Point.X, 0.03f, 1e-6);

  // Two figures: the separator vertex sits between them.
  TPath Two;
  Two.AddRectangle({0, 0, 10, 10});
  Two.AddRectangle({20, 0, 30, 10});
  TVivIzudeGraphicsPathPolygon Poly;
  Two.FlattenToPolygon(Poly);
  bool Separator = false;
  for (const auto& V : Poly) Separator |= V.X == PathFigureSeparator && V.Y == PathFigureSeparator;
  EXPECT_TRUE(Separator);
  // Inside either figure, not between them: the edges to and from the
  // separator are no edges of the picture.
  EXPECT_TRUE(Two.IsPointVisible({5, 5}));
  EXPECT_TRUE(Two.IsPointVisible({25, 5}));
  EXPECT_FALSE(Two.IsPointVisible({15, 5}));
  EXPECT_FALSE(Two.IsPointVisible({5, 50}));
}

TEST(GraphicsPath, AssignCopiesPointsAndRefusesOtherSources) {
  TPath A;
  A.AddRectangle({0, 0, 4, 4});
  TPath B;
  B.Assign(&A);
  EXPECT_EQ(B.PathData(), A.PathData());
  EXPECT_FALSE(B.Clippable());  // the flag is not copied
  TObject Other;
  EXPECT_THROW(B.Assign(&Other), EConvertError);
  A.AddPath(A);
  EXPECT_EQ(A.Count(), 10);
}

TEST(GraphicsMatrix, ProductsInverseAndPoints) {
  const TMatrix T = TMatrix::CreateTranslation(5, 7);
  const TMatrix S = TMatrix::CreateScaling(2, 3);
  const TPointF P = TPointF{1, 1} * (S * T);  // scale, then move
  EXPECT_FLOAT_EQ(P.X, 7);
  EXPECT_FLOAT_EQ(P.Y, 10);
  const TPointF R = TPointF{1, 0} * TMatrix::CreateRotation(3.14159265f / 2);
  EXPECT_NEAR(R.X, 0, 1e-6);
  EXPECT_NEAR(R.Y, 1, 1e-6);
  const TMatrix M = S * T;
  const TPointF Back = P * M.Inverse();
  EXPECT_NEAR(Back.X, 1, 1e-5);
  EXPECT_NEAR(Back.Y, 1, 1e-5);
  EXPECT_FLOAT_EQ(M.Determinant(), 6);
  const TMatrix Singular = TMatrix::CreateScaling(0, 1);
  const TMatrix I = Singular.Inverse();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(I.M[i], TMatrix::Identity().M[i]);

  TPath Path;
  Path.MoveTo({1, 1});
  Path.LineTo({2, 1});
  Path.ClosePath();
  Path.ApplyMatrix(T);
  EXPECT_EQ(Path.Points(0).Point, (TPointF{6, 8}));
  EXPECT_EQ(Path.Points(2).Point, (TPointF{1, 1}));  // close points keep theirs
}
