#pragma once
// The tree whose cells show text. It stores no text: every cell asks its
// owner through OnGetText (or OnGetCellText), starting from DefaultText.
// This unit holds the text side: texts and static texts, the per-node width
// cache of the main column measured through the host, the caption chunk of
// the tree stream and the data the in-place editor needs. Painting belongs
// to the window layer (VastTreeControl_win.h, whose TVastStringTree is the
// class of the application's trees), which uses the hooks below.
#include <functional>
#include <memory>
#include <unordered_map>

#include "rtl/StringList.h"
#include "treeview/VastTreeHeader.h"
#include "treeview/VastTrees.h"

class TCustomVastStringTree;

enum TVSTTextType : Byte { ttNormal, ttStatic };
enum TVTExportType : Byte { etNone, etRTF, etHTML, etText, etExcel, etWord, etPDF, etPrinter, etCSV, etCustom };
// Which nodes an export walks.
enum TVSTTextSourceType : Byte { tstAll, tstInitialized, tstSelected, tstCutCopySet, tstVisible, tstChecked };
using TVTTreeExportEvent = std::function<void(TBaseVastTree* Sender, TVTExportType aExportType)>;
using TVTColumnExportEvent =
    std::function<void(TBaseVastTree* Sender, TVTExportType aExportType, TVastTreeColumn* Column)>;
using TVTNodeExportEvent = std::function<void(TBaseVastTree* Sender, TVTExportType aExportType, PVastNode Node)>;
using TVTNextNodeProc = std::function<PVastNode(PVastNode Node)>;

// What the exports need of the control's looks, which the window layer owns
// (font, colour, border); the portable tree answers with the defaults.
struct TVTExportLook {
  TVTHeaderFont Font;
  TColor Color = vtclWindow;
  bool HasBorder = true;
  Integer BorderWidth = 0;
};

enum TVTStringOption : Byte { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using TVTStringOptions = TSet<TVTStringOption, Byte>;
inline constexpr TVTStringOptions DefaultStringOptions{toSaveCaptions, toAutoAcceptEditChange};

struct TVSTGetCellTextEventArgs {
  PVastNode Node = nullptr;
  TColumnIndex Column = NoColumn;
  String CellText;
  String StaticText;
  TAlignment StaticTextAlignment = taLeftJustify;
  TVTExportType ExportType = etNone;
};

using TVSTGetTextEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column,
                                            TVSTTextType TextType, String& CellText)>;
using TVSTGetCellTextEvent = std::function<void(TCustomVastStringTree* Sender, TVSTGetCellTextEventArgs& E)>;
using TVTPaintText = std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, PVastNode Node,
                                        TColumnIndex Column, TVSTTextType TextType)>;
using TVSTNewTextEvent =
    std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, const String& NewText)>;
using TVSTShortenStringEvent =
    std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, PVastNode Node, TColumnIndex Column,
                       const String& S, Integer TextSpace, String& Result, bool& Done)>;
using TVTDrawTextEvent =
    std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, PVastNode Node, TColumnIndex Column,
                       const String& Text, const TRect& CellRect, bool& DefaultDraw)>;
using TVSTGetHintEvent = std::function<void(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column,
                                            TVTTooltipLineBreakStyle& LineBreakStyle, String& HintText)>;
using TVTMeasureTextEvent = std::function<void(TBaseVastTree* Sender, TCanvas* TargetCanvas, PVastNode Node,
                                               TColumnIndex Column, const String& Text, Integer& Extent)>;

using TVTHeaderClass = std::unique_ptr<TVTHeader> (*)(TBaseVastTree* Owner);

class TCustomVastStringTree : public TBaseVastTree {
public:
  // Attaches a TVTHeader of its own.
  explicit TCustomVastStringTree(IVastTreeHost* Host = nullptr);

  TVTHeader& Header() const;
  // The class of the header (TVTHeader).
  virtual TVTHeaderClass HeaderClass() const;
  // The header and then the options (see the base).
  void ApplyPartClasses() override;
  // The base tree's settings and the header's.
  void Assign(const TBaseVastTree& Source) override;

  const String& DefaultText() const { return FDefaultText; }
  void SetDefaultText(const String& Value);
  TVTStringOptions StringOptions() const { return FStringOptions; }
  void SetStringOptions(TVTStringOptions Value);
  Integer TextHeight() const { return FTextHeight; }
  Integer EllipsisWidth() const { return FEllipsisWidth; }

  // The cell text; DefaultText unless a handler answers.
  String GetText(PVastNode Node, TColumnIndex Column);
  // Hands an edited text to OnNewText and repaints the node.
  void SetText(PVastNode Node, TColumnIndex Column, const String& Value);
  String GetStaticText(PVastNode Node, TColumnIndex Column);
  // "top<Delimiter>...<Delimiter>node<Delimiter>"; the delimiter alone for nil.
  String Path(PVastNode Node, TColumnIndex Column, Char Delimiter);

  // Renderings of the tree's cells (built in VastTreeExport.cpp).
  String ContentToHTML(TVSTTextSourceType Source, const String& Caption = String());
  RawByteString ContentToRTF(TVSTTextSourceType Source);
  String ContentToText(TVSTTextSourceType Source, const String& Separator);
  String ContentToText(TVSTTextSourceType Source, Char Separator);
  String ContentToUnicode(TVSTTextSourceType Source, Char Separator);
  void ContentToCustom(TVSTTextSourceType Source);
  // Top-level nodes only, every cell quoted, UTF-8; False for an empty name.
  bool SaveToCSVFile(const String& FileNameWithPath, bool IncludeHeading);
  void BeginSourceWalk(TVSTTextSourceType Source, PVastNode& Node, TVTNextNodeProc& NextNodeProc);
  bool PassesExportMode(PVastNode Node);
  // The control's font, colour and border; the window layer answers.
  virtual TVTExportLook GetExportLook();
  // A colour as 0x00BBGGRR; system colours get fixed stand-ins here.
  virtual TColor ExportColorToRGB(TColor Color);
  // Whether the user measures in metric units (the RTF paper size).
  virtual bool MeasurementIsMetric();
  // Lets OnPaintText change Font for an exported cell on a canvas the window
  // layer owns; answers whether the font changed. Without a canvas (the
  // portable tree) no handler runs, so none is handed a null canvas.
  virtual bool ExportPaintText(PVastNode Node, TColumnIndex Column, TVSTTextType TextType, TVTHeaderFont& Font);

  TVTTreeExportEvent OnBeforeTreeExport;
  TVTTreeExportEvent OnAfterTreeExport;
  TVTTreeExportEvent OnBeforeHeaderExport;
  TVTTreeExportEvent OnAfterHeaderExport;
  TVTColumnExportEvent OnBeforeColumnExport;
  TVTColumnExportEvent OnColumnExport;
  TVTColumnExportEvent OnAfterColumnExport;
  TVTNodeExportEvent OnBeforeNodeExport;
  TVTNodeExportEvent OnNodeExport;
  TVTNodeExportEvent OnAfterNodeExport;

  // The tree font changed: text height and ellipsis width are measured anew
  // and every cached width is dropped. The window layer calls it.
  virtual void FontChanged();
  // The text and text height the in-place editor sizes itself by. The window
  // layer adds the rectangle and, when OnPaintText changed the font on
  // Canvas, measures the height in that font.
  virtual void GetTextInfo(PVastNode Node, TColumnIndex Column, TCanvas* Canvas, String& Text, Integer& TextHeight);

  // Widths measured through the host's TextWidth. The main column's (and the
  // column-less tree's) width is cached per node.
  Integer DoGetNodeWidth(PVastNode Node, TColumnIndex Column, TCanvas* Canvas = nullptr) override;
  Integer DoGetNodeExtraWidth(PVastNode Node, TColumnIndex Column, TCanvas* Canvas = nullptr) override;
  virtual Integer MeasureTextWidth(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& Text);
  virtual Integer MeasureStaticTextWidth(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& Text);
  // The cached main-column width of Node (0: not measured).
  Cardinal CachedTextWidth(PVastNode Node) const;

  // Selects the new node again when its text was selected before
  // (toRestoreSelection).
  PVastNode AddChild(PVastNode Parent, void* UserData = nullptr) override;
  using TBaseVastTree::AddChild;
  void InvalidateNode(PVastNode Node) override;
  void ReinitNode(PVastNode Node, bool Recursive) override;

  TVSTGetTextEvent OnGetText;
  TVSTGetCellTextEvent OnGetCellText;
  TVTPaintText OnPaintText;
  TVSTNewTextEvent OnNewText;
  // A node's hint (hmHint, hmHintAndDefault) or tooltip (hmTooltip) text.
  TVSTGetHintEvent OnGetHint;
  // Painting of the texts (the window layer fires these).
  TVSTShortenStringEvent OnShortenString;
  TVTDrawTextEvent OnDrawText;
  TVTMeasureTextEvent OnMeasureTextWidth;
  TVTMeasureTextEvent OnMeasureTextHeight;

protected:
  virtual void DoGetText(TVSTGetCellTextEventArgs& E);
  virtual void DoNewText(PVastNode Node, TColumnIndex Column, const String& Text);
  virtual void DoPaintText(PVastNode Node, TCanvas* Canvas, TVSTTextType TextType, TColumnIndex Column);
  virtual TSize DoMeasureText(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& Text);

  bool IsCellEmpty(PVastNode Node, TColumnIndex Column) override;
  // Without a handler: whether the node's text in the focused column starts
  // with Text, ignoring case (0 for a match).
  Integer DoIncrementalSearch(PVastNode Node, const String& Text) override;
  // The control's hint, then OnGetHint's answer.
  String DoGetNodeHint(PVastNode Node, TColumnIndex Column, TVTTooltipLineBreakStyle& LineBreakStyle) override;
  // OnGetHint's answer, or without a handler the cell text, shown in full
  // where the cell cuts it off.
  String DoGetNodeTooltip(PVastNode Node, TColumnIndex Column, TVTTooltipLineBreakStyle& LineBreakStyle) override;
  void MainColumnChanged() override;
  void SetChildCount(PVastNode Node, Cardinal NewChildCount) override;
  void WriteChunks(TStream& Stream, PVastNode Node) override;
  bool ReadChunk(TStream& Stream, Integer Version, Integer ChunkType, Integer ChunkSize, PVastNode Node) override;

  // With toRestoreSelection and OnGetText: the main texts of the selected
  // nodes are remembered, whichever way they were selected, and a node
  // added later with one of them is selected again. Texts of selected nodes
  // that are deleted stay remembered (a list filled anew keeps its
  // selection); deselecting forgets a text once no selected node holds it,
  // and a selection that becomes empty, or starts anew, forgets them all.
  void NodeJoinedSelection(PVastNode Node) override;
  void NodeLeftSelection(PVastNode Node, bool NodeGoes) override;

  void ResetTextWidth(PVastNode Node);
  void ResetAllTextWidths();

private:
  // The class the header was made from.
  TVTHeaderClass FHeaderClass = &TVTHeader::Make<TVTHeader>;
  void StoreTextWidth(PVastNode Node, Cardinal Width);
  bool RemembersSelection() const;
  // Column 0's text as OnGetText gives it (empty preset).
  String RememberedText(PVastNode Node);

  // The remembered texts (in upper case: any case matches), each with the
  // number of selected nodes that hold it now (0: only deleted ones did),
  // and the text each selected node was remembered with. Hashed, so that
  // selecting or deselecting n nodes costs n steps.
  std::unordered_map<String, Cardinal> FPreviouslySelected;
  // Into FPreviouslySelected's keys, which stay while a node holds them.
  std::unordered_map<PVastNode, const String*> FSelectedTexts;

  Cardinal FInternalDataOffset = 0;
  String FDefaultText = u"Node";
  TVTStringOptions FStringOptions = DefaultStringOptions;
  Integer FTextHeight = 0;
  Integer FEllipsisWidth = 0;
};
