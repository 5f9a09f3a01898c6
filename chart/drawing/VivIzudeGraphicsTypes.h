#pragma once
// The drawing layer's enumerations and its vector geometry: the typed-point
// path (TVivIzudeGraphicsPath) that the facade fills, strokes and clips
// with, and the 3x3 affine matrix. Portable; the fill, stroke and font value
// objects are in win/VivIzudeGraphicsTypes.h. Coordinates are 32-bit floats;
// angles are degrees clockwise on screen from the positive x axis unless a
// function says radians.
#include <array>
#include <vector>

#include "rtl/Geometry.h"
#include "rtl/Set.h"
#include "rtl/Types.h"

enum TVivIzudeGraphicsFillKind : Byte { gfkNone, gfkSolid, gfkGradient, gfkTexture };
enum TVivIzudeGraphicsFillOrientation : Byte { gfoHorizontal, gfoVertical };
enum TVivIzudeGraphicsTextureMode : Byte { gtmOriginal, gtmFit, gtmStretch, gtmCenter, gtmTile };
enum TVivIzudeGraphicsStrokeKind : Byte { gskNone, gskSolid, gskDash, gskDot, gskDashDot, gskDashDotDot };
enum TVivIzudeGraphicsTextAlign : Byte { gtaCenter, gtaLeading, gtaTrailing };
enum TVivIzudeGraphicsTextTrimming : Byte { gttNone, gttCharacter, gttWord };
enum TVivIzudeGraphicsTextQuality : Byte { gtqDefault, gtqAntiAliasing, gtqClearType };
enum TVivIzudeGraphicsSide : unsigned { gsLeft, gsTop, gsRight, gsBottom };
using TVivIzudeGraphicsSides = TSet<TVivIzudeGraphicsSide, Byte>;
enum TVivIzudeGraphicsCorner : unsigned { gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight };
using TVivIzudeGraphicsCorners = TSet<TVivIzudeGraphicsCorner, Byte>;
enum TVivIzudeGraphicsModifyRectMode : Byte {
  gcrmNone,
  gcrmExpandAll,
  gcrmShrinkAll,
  gcrmShiftRightAndExpandHeight,
  gcrmShiftDownAndExpandWidth,
  gcrmShiftRightAndShrinkHeight,
  gcrmShiftRightDown,
  gcrmShiftRightUp,
  gcrmShiftLeftUp,
  gcrmShiftLeftDown,
  gcrmShiftUpAndExpandWidth,
  gcrmShiftLeftAndExpandHeight
};
enum TVivIzudeGraphicsModifyPointMode : Byte { gcpmNone, gcpmLeftUp, gcpmRightDown, gcpmLeftDown, gcpmRightUp };
enum TVivIzudeGraphicsExpanderState : Byte { gesCollapsed, gesExpanded };
enum TVivIzudeGraphicsCompactState : Byte { gcsCollapsed, gcsExpanded };

// ---------------------------------------------------------------- matrix
// Points are row vectors: (x, y) maps to (x*m11 + y*m21 + m31, x*m12 + y*m22 + m32).
struct TVivIzudeGraphicsMatrix {
  union {
    struct {
      float m11, m12, m13, m21, m22, m23, m31, m32, m33;
    };
    float M[9];
  };
  static TVivIzudeGraphicsMatrix Identity();
  // Angle in radians.
  static TVivIzudeGraphicsMatrix CreateRotation(float AAngle);
  static TVivIzudeGraphicsMatrix CreateScaling(float AScaleX, float AScaleY);
  static TVivIzudeGraphicsMatrix CreateTranslation(float ADeltaX, float ADeltaY);
  float Determinant() const;
  TVivIzudeGraphicsMatrix Adjoint() const;
  // The identity when the matrix cannot be inverted.
  TVivIzudeGraphicsMatrix Inverse() const;
};
TVivIzudeGraphicsMatrix operator*(const TVivIzudeGraphicsMatrix& A, const TVivIzudeGraphicsMatrix& B);
TPointF operator*(const TPointF& P, const TVivIzudeGraphicsMatrix& M);

struct TVivIzudeGraphicsVector {
  union {
    struct {
      float X, Y, W;
    };
    float V[3];
  };
};

// ---------------------------------------------------------------- path
enum TVivIzudeGraphicsPathPointKind : Byte { gppMoveTo, gppLineTo, gppCurveTo, gppClose };
enum TVivIzudeGraphicsPathDrawMode : Byte { pdmPolygon, pdmPolyline };

struct TVivIzudeGraphicsPathPoint {
  TVivIzudeGraphicsPathPointKind Kind = gppMoveTo;
  bool Dummy = false;
  TPointF Point;
  friend bool operator==(const TVivIzudeGraphicsPathPoint&, const TVivIzudeGraphicsPathPoint&) = default;
};
using TVivIzudeGraphicsPathPoints = std::vector<TVivIzudeGraphicsPathPoint>;
using TVivIzudeGraphicsPathPolygon = std::vector<TPointF>;
using TVivIzudeGraphicsPathCubicBezier = std::array<TPointF, 4>;

// The vertex FlattenToPolygon puts between two figures.
inline constexpr float PathFigureSeparator = 16777215.0f;

// A curve is three gppCurveTo points (control 1, control 2, end) after its
// start point; a gppClose point carries its figure's start point.
class TVivIzudeGraphicsPath : public TObject {
public:
  void MoveTo(const TPointF& P);
  void LineTo(const TPointF& P);
  void CurveTo(const TPointF& ControlPoint1, const TPointF& ControlPoint2, const TPointF& EndPoint);
  void QuadCurveTo(const TPointF& ControlPoint, const TPointF& EndPoint);
  void SmoothCurveTo(const TPointF& ControlPoint2, const TPointF& EndPoint);
  void ClosePath();
  void AddLine(const TPointF& StartPoint, const TPointF& EndPoint);
  void AddRectangle(const TRectF& ARect);
  void AddEllipse(const TRectF& ARect);
  // Angles in degrees; Radius holds the x and y radii.
  void AddArc(const TPointF& Center, const TPointF& Radius, float StartAngle, float SweepAngle);
  void AddPath(const TVivIzudeGraphicsPath& APath);
  void AddPolygon(const TVivIzudeGraphicsPathPolygon& APolygon);
  // Removes the points; the start point and the clippable flag stay.
  void Clear() { FPoints.clear(); }
  // Copies another path's points (not its start point or flag); any other
  // source raises EConvertError.
  void Assign(const TObject* Source);

  TPointF LastPoint() const { return FPoints.empty() ? TPointF{} : FPoints.back().Point; }
  // (0, 0, 0, 0) when empty; a zero width or height becomes 0.001.
  TRectF GetBounds() const;
  void ApplyMatrix(const TVivIzudeGraphicsMatrix& AMatrix);
  void Flatten(float Flatness = 0.25f);
  void FlattenToPolygon(TVivIzudeGraphicsPathPolygon& Polygon, float Flatness = 0.25f) const;
  bool IsPointVisible(const TPointF& P) const;
  bool IsRectVisible(const TRectF& R) const;

  static TPointF PointOnBezier(const TPointF& StartPoint, float AX, float BX, float CX, float AY, float BY, float CY,
                               float T);
  // PointCount samples from T = 0 to 1; Polygon unchanged for 0 points.
  static void CreateBezier(const TVivIzudeGraphicsPathCubicBezier& Bezier, Integer PointCount,
                           TVivIzudeGraphicsPathPolygon& Polygon);

  bool Clippable() const { return FClippable; }
  bool IsClippable() const { return FClippable; }
  Integer Count() const { return static_cast<Integer>(FPoints.size()); }
  const TVivIzudeGraphicsPathPoints& PathData() const { return FPoints; }
  // EArgumentOutOfRangeException outside 0..Count-1.
  const TVivIzudeGraphicsPathPoint& Points(Integer AIndex) const;

private:
  void Append(TVivIzudeGraphicsPathPointKind Kind, const TPointF& P) { FPoints.push_back({Kind, false, P}); }
  TPointF FStartPoint;
  bool FClippable = false;
  TVivIzudeGraphicsPathPoints FPoints;
};

// Whether P lies inside the polygon (even-odd crossings). The bounding box
// test counts separator vertices; the crossing test takes each figure between
// separators as a closed ring of its own.
bool PointInPolygon(const TPointF& P, const TVivIzudeGraphicsPathPolygon& Polygon);
