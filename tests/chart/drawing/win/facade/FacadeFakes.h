#pragma once
// Stand-ins for the units the facade calls: the back ends (recording
// contexts, told apart by Kind) and the markup engine (fixed metrics: 7
// pixels per visible character, 13 per line; an "<a" in the text is an
// anchor with the value "link" over the whole block; "<boom/>" makes the
// painting call fail).
#include <vector>

#include "RecordingGraphicsContext.h"

struct TFakeContext : TRecordingGraphicsContext {
  TFakeContext(TVivIzudeGraphics* AGraphics, const char* AKind) : TRecordingGraphicsContext(AGraphics), Kind(AKind) {}
  std::string Kind;
};

struct TMarkupCall {
  String Text;
  TRectF Rect;
  bool HitTestOnly, MeasureOnly, WordWrapping;
  Integer X, Y;
};

// Every context made since the last Reset, in order, and the engine's calls.
struct TFakes {
  static std::vector<TFakeContext*> Contexts;
  static std::vector<TMarkupCall> MarkupCalls;
  static void Reset() {
    Contexts.clear();
    MarkupCalls.clear();
  }
};
