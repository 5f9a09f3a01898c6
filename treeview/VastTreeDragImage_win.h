#pragma once
// Windows only. The picture that follows the mouse while something of the
// tree is dragged (dragged columns of the header; the drag manager uses it
// for nodes): a semi-transparent image in a layered window of its own, so
// the screen under it never has to be saved and restored.
#include <memory>
#include <vector>

#include "rtl/Geometry.h"
#include "rtl/Set.h"
#include "rtl/UITypes.h"
#include "rtl/Win32Handles.h"
#include "vcl/Graphics.h"

class TBaseVastTree;
struct IDataObject;

enum TVTDragMoveRestriction : Byte { dmrNone, dmrHorizontalOnly, dmrVerticalOnly };
enum TVTDragImageState : Byte { disHidden, disInDrag, disPrepared, disSystemSupport };
using TVTDragImageStates = TSet<TVTDragImageState, Byte>;

class TVTDragImage {
public:
  explicit TVTDragImage(TBaseVastTree* AOwner);
  ~TVTDragImage();
  TVTDragImage(const TVTDragImage&) = delete;
  TVTDragImage& operator=(const TVTDragImage&) = delete;

  // DragImage: the picture; ImagePosition its top-left on the screen;
  // HotSpot the mouse position on the screen. DataObject: when the system's
  // drag-image service takes the picture, the system draws it instead.
  void PrepareDrag(TBitmap* DragImage, const TPoint& ImagePosition, const TPoint& HotSpot, IDataObject* DataObject);
  // Moves the image with the mouse (screen); answers whether it moved or a
  // repaint was forced.
  bool DragTo(const TPoint& P, bool ForceRepaint);
  void ShowDragImage();
  void HideDragImage();
  void EndDrag();
  // The image's screen rectangle; empty when not visible.
  TRect GetDragImageRect() const;
  bool WillMove(const TPoint& P) const;
  // Part of Window (a tree under the image) was repainted: R (Window's
  // client coordinates) under the image is taken anew from it, with the
  // border and header when CaptureNCArea; with ReshowDragImage the image is
  // drawn again over it.
  void RecaptureBackground(HWND Window, const TRect& R, bool CaptureNCArea, bool ReshowDragImage);
  // The colour the image lies over at a screen point (clNone outside it).
  TColor BackgroundPixel(const TPoint& P) const;
  bool Visible() const;
  // The alpha of each pixel (what the layered window shows).
  Byte PixelAlpha(Integer X, Integer Y) const;

  TVTDragImageStates States() const { return FStates; }
  Byte Transparency() const { return FTransparency; }
  void SetTransparency(Byte Value) { FTransparency = Value; }
  bool Fade() const { return FFade; }
  void SetFade(bool Value) { FFade = Value; }
  TColor ColorKey() const { return FColorKey; }
  void SetColorKey(TColor Value) { FColorKey = Value; }
  TVTDragMoveRestriction MoveRestriction() const { return FRestriction; }
  void SetMoveRestriction(TVTDragMoveRestriction Value) { FRestriction = Value; }
  Integer PreBlendBias() const { return FPreBlendBias; }
  void SetPreBlendBias(Integer Value) { FPreBlendBias = Value; }
  Integer PostBlendBias() const { return FPostBlendBias; }
  void SetPostBlendBias(Integer Value) { FPostBlendBias = Value; }
  HWND Window() const { return FWindow.Get(); }
  // The window the image moves over; what it shows of it comes from the
  // window itself (printed), the rest from the screen as it was at the start.
  // This way the image looks the same whether or not the display blends
  // layered windows itself.
  void SetBackdropWindow(HWND Value) { FBackdropWindow = Value; }

private:
  // Gives the picture to the system's drag-image service for DataObject;
  // false when there is none or it refuses.
  bool HandToSystem(TBitmap* DragImage, IDataObject* DataObject);
  void MakeAlphaChannel();
  void UpdateWindowImage();

  TBaseVastTree* FOwner;                // not owned
  std::unique_ptr<TBitmap> FDragImage;  // premultiplied 32-bit pixels with alpha
  std::vector<Byte> FAlpha;             // per-pixel alpha before the constant transparency
  TPoint FImagePosition;
  TPoint FLastPosition;
  Byte FTransparency = 128;
  Integer FPreBlendBias = 0;
  Integer FPostBlendBias = 0;
  bool FFade = false;
  TVTDragMoveRestriction FRestriction = dmrNone;
  TColor FColorKey = clNone;
  TVTDragImageStates FStates;
  TWindowHandle FWindow;
  HWND FBackdropWindow = nullptr;
  std::unique_ptr<TBitmap> FScreen;  // the screen at the start of the drag
  TPoint FScreenOrigin;
};
