#pragma once
// The class library's own drag and drop between controls of one program.
// The source runs the drag (TControl::BeginDrag); each control the pointer
// passes gets CM_DRAG with a TDragRec.
#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "vcl/Classes.h"

class TControl;

enum TDragMessage : Byte { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

// What is dragged. The library makes a TDragControlObject for the source
// control unless the source's DoStartDrag gives an object of its own.
class TDragObject : public TObject {
public:
  ~TDragObject() override = default;
};

class TDragControlObject : public TDragObject {
public:
  explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}
  TControl* Control() const { return FControl; }

private:
  TControl* FControl;  // not owned
};

// The record CM_DRAG carries: the pointer on the screen, the dragged
// object and, for dmFindTarget, the answer.
struct TDragRec {
  TPoint Pos;
  TDragObject* Source = nullptr;
  TControl* Target = nullptr;
  bool Docking = false;
};
