#pragma once
// Windows only. The string tree's in-place editor: an edit control placed
// over the cell (TVTEdit) and the link through which the tree drives it
// (TStringEditLink). Enter accepts, Escape cancels, Tab moves to the next
// (Shift+Tab the previous) row, leaving the editor accepts or cancels as
// toAutoAcceptEditChange says.
#include "treeview/VastTreeControl_win.h"
#include "vcl/StdCtrls.h"

class TStringEditLink;

// Sent to the editor to fit it to its text again.
inline constexpr UINT EditFitMessage = 3304;

class TVTEdit : public TCustomEdit {
public:
  explicit TVTEdit(TStringEditLink* Link);
  // Frees the control once the messages waiting for it are handled.
  void Release();
  virtual void FitToText();
  virtual Integer RequiredHeight();
  virtual void MeasureEditText(TSize& Size);
  void Detach() { FLink = nullptr; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  bool MultiLineNode() const;
  TStringEditLink* FLink;  // not owned: the link owns this control
};

class TStringEditLink : public IVTEditLink {
public:
  TStringEditLink();
  virtual ~TStringEditLink();

  Integer _AddRef() override { return ++FRefCount; }
  Integer _Release() override;
  bool BeginEdit() override;
  bool CancelEdit() override;
  bool EndEdit() override;
  bool PrepareEdit(TBaseVastTree* Tree, PVastNode Node, TColumnIndex Column) override;
  TRect GetBounds() override;
  void SetBounds(TRect R) override;
  void ProcessMessage(TMessage& Message) override;

  TVTEdit* Edit() const { return FEdit; }
  TVastTreeControl* Tree() const { return FTree; }
  PVastNode Node() const { return FNode; }
  TColumnIndex Column() const { return FColumn; }
  bool Stopping() const { return FStopping; }

private:
  friend class TVTEdit;
  TVTEdit* FEdit = nullptr;  // owned; released through its own message
  TVastTreeControl* FTree = nullptr;
  PVastNode FNode = nullptr;
  TColumnIndex FColumn = NoColumn;
  TAlignment FAlignment = taLeftJustify;
  TRect FTextBounds;
  bool FRightToLeft = false;
  bool FStopping = false;
  Integer FRefCount = 0;
};
