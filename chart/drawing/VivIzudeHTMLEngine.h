#pragma once
// The markup text engine: lays out, paints and hit-tests text written in the
// drawing layer's small HTML-like markup, through a drawing facade. The
// facade measures and draws its marked-up texts through RenderMarkup.
#include "chart/drawing/VivIzudeGraphics.h"
#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

class TVivIzudeBitmapContainer;
class TCustomImageList;

// Measures (AMeasureOnly), paints, or only hit-tests (AHitTestOnly) AText in
// ARect with AGraphics' font and colours, which come back as they were.
// True when the point (AX, AY) lies on an anchor, a picture or a control;
// the outputs are set by every call (AAnchorValue and AHoverRect keep what
// the caller put there unless something is hit; AControlID is an input of
// a hit test: the control to find).
bool RenderMarkup(TVivIzudeGraphics* AGraphics, const String& AText, const TRectF& ARect, Integer AX, Integer AY,
                  Integer AFocusIndex, Integer AHoverIndex, Integer AShadowOffset, bool AHitTestOnly, bool AMeasureOnly,
                  bool ANoImageList, bool AIgnoreColors, bool ABlink, bool AHoverOnly, bool AWordWrapping,
                  bool AControlFocus, const String& AFocusedControlID, double AResolutionFactor, TColor AURLColor,
                  TColor AHoverColor, TColor AHoverFontColor, TColor AShadowColor, String& AAnchorValue,
                  String& AStripValue, String& AFocusAnchor, float& AXSize, float& AYSize, Integer& AHyperLinks,
                  Integer& AMouseLink, TRectF& AHoverRect, TRectF& AControlRect, String& AControlID,
                  String& AControlValue, String& AControlType, Integer& ALineCount, Integer ALineSpacing,
                  TVivIzudeBitmapContainer* ABitmapContainer, bool AURLUnderline, TCustomImageList* AImageList,
                  TColor AHighlightColor, TColor AHighlightTextColor, TFontStyles AHighlightFontStyles);

// AText with every occurrence of AHilight in its visible (tag-free) text
// wrapped in "<" ATag ">" and "</" ATag ">"; ADoCase: case-sensitive.
String HighlightMarkup(const String& AText, const String& AHilight, const String& ATag, bool ADoCase);
