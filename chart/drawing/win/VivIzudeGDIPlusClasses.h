#pragma once
// The drawing layer's GDI+ object layer: the program's one wrapper family
// (chart/view/VivIzudeGDIP.h: TGPGraphics, TGPPen, TGPGraphicsPath,
// TGPCustomLineCap, TGPCachedBitmap and the rest) driven through the
// layer's own binding, and the layer's GDI+ start-up and shutdown.
//
// At program start this unit binds the library (VivIzudeGDIPlusApi) and,
// when the code runs in the program's own executable rather than in a DLL,
// starts GDI+ with the layer's token. At exit it frees the generic families
// and formats made through its binding, stops GDI+ (same condition) and
// unbinds. Wrappers for the layer are made inside a TVivGdiplusScope.
#include "chart/drawing/win/VivIzudeGDIPlusApi.h"
#include "chart/view/VivIzudeGDIP.h"

// Whether this code runs inside a DLL (no start-up or shutdown of its own then).
bool VivGdiplusInLibrary();
// Whether the unit's start-up ran GdiplusStartup (the library was found and
// the code is not in a DLL).
bool VivGdiplusStarted();
