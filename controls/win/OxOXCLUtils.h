#pragma once
// Component references with free notification, the disabled look of a
// glyph, and the extra screen cursors of the controls.
#include <memory>

#include "vcl/Classes.h"
#include "vcl/Graphics.h"

// Replaces Reference by NewReference and moves Owner's free notification
// from the old component to the new one, so that Owner hears (Notification,
// opRemove) when the referenced component is freed. False, and nothing
// done, when nothing changes or there is no Owner.
template <class T>
bool AssignComponentReference(TComponent* Owner, T* NewReference, T*& Reference) {
  if (NewReference == Reference || !Owner) return false;
  if (Reference) static_cast<TComponent*>(Reference)->RemoveFreeNotification(Owner);
  Reference = NewReference;
  if (Reference) static_cast<TComponent*>(Reference)->FreeNotification(Owner);
  return true;
}

// The glyph embossed in the classic disabled style: the pixels that are not
// MonoColor in highlight, offset by one pixel, under the same pixels in
// shadow, on the button face. The caller owns the result.
std::unique_ptr<TBitmap> RenderDisabledGlyph(TBitmap& Bitmap, TColor MonoColor);
std::unique_ptr<TBitmap> RenderDisabledGlyph(TBitmap& Bitmap, TColor MonoColor, TColor BackColor, bool HighlightLayer,
                                             TColor ShadowColor, TColor HighlightColor);

// The cursor slots the controls' drag operations use: crOxMultiDrag and
// the rest get the platform's drag cursors. Done once, when the screen
// object exists; errors are ignored.
inline constexpr Integer crOxMultiDrag = 368;
inline constexpr Integer crOxDrag = 369;
inline constexpr Integer crOxMultiDragLink = 370;
inline constexpr Integer crOxDragLink = 371;
void RegisterOxCursors();
