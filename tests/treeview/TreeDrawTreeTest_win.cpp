// The draw tree in its window: the owner paints each cell's content (a
// colour swatch and its name) and gives each node's width; rows, lines,
// buttons and selection are the tree's. Checked against the pixels the
// tree paints through WM_PRINTCLIENT; a screenshot is saved for people.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "TreeWindowTest_win.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"
#include "treeview/VastDrawTree_win.h"
#include "vcl/Forms.h"

namespace {

// The questions the tests ask of the tree's protected hooks.
class TProbeDrawTree : public TVastDrawTree {
public:
  using TVastDrawTree::TVastDrawTree;
  using TBaseVastTree::DoGetHintKind;
  using TCustomVastDrawTree::DoGetCellContentMargin;
  using TCustomVastDrawTree::DoGetNodeWidth;
};

constexpr Integer SwatchWidth = 120;

TColor SwatchColor(PVastNode Node) {
  static const TColor Colors[] = {RGBToColor(0xD0, 0x30, 0x30), RGBToColor(0x30, 0x90, 0x30),
                                  RGBToColor(0x30, 0x50, 0xC0), RGBToColor(0xE0, 0xA0, 0x10)};
  return Colors[(Node->Index + (Node->Parent->Parent ? 1 : 0)) % 4];
}

class TDrawTreeForm : public TForm {
public:
  explicit TDrawTreeForm(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"DrawTreeForm");
    SetCaption(u"Quorvel draw tree");
    SetClientSize(360, 240);
    Tree = new TProbeDrawTree(this);
    Tree->SetName(u"Tree");
    Tree->SetAlign(alClient);
    TCustomVastTreeOptions& O = Tree->TreeOptions();
    O.SetAutoOptions(O.AutoOptions() - TVTAutoOptions{toAutoSort});
    Tree->OnInitNode = [](TBaseVastTree*, PVastNode Parent, PVastNode, TVastNodeInitStates& States) {
      if (!Parent) States.Include(ivsHasChildren);
    };
    Tree->OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = 3; };
    Tree->OnGetNodeWidth = [](TBaseVastTree*, TCanvas* Canvas, PVastNode, TColumnIndex, Integer& Width) {
      EXPECT_NE(Canvas, nullptr);
      Width = SwatchWidth;
    };
    Tree->OnDrawNode = [this](TBaseVastTree*, const TVTPaintInfo& PaintInfo) {
      Drawn.emplace_back(PaintInfo.Node, PaintInfo.ContentRect);
      TCanvas* C = PaintInfo.Canvas;
      const TRect& R = PaintInfo.ContentRect;
      TRect Box{R.Left + 2, R.Top + 2, R.Left + 2 + 14, R.Bottom - 2};
      C->Brush()->SetColor(SwatchColor(PaintInfo.Node));
      C->FillRect(Box);
      C->Brush()->SetStyle(bsClear);
      C->Font()->SetColor(clWindowText);
      const Cardinal Value = static_cast<Cardinal>(ColorToRGB(SwatchColor(PaintInfo.Node)));
      char Text[16];
      std::snprintf(Text, sizeof Text, "#%06X", ((Value & 0xFF) << 16) | (Value & 0xFF00) | ((Value >> 16) & 0xFF));
      C->TextOut(Box.Right + 6, R.Top + 1, String(Text, Text + std::strlen(Text)));
    };
    Tree->SetParent(this);
  }
  void Populate() {
    Tree->SetRootNodeCount(4);
    Tree->SetExpanded(Tree->GetFirst(), true);
  }

  TProbeDrawTree* Tree;
  std::vector<std::pair<PVastNode, TRect>> Drawn;
};

class TDrawTreeTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Application->OnException = [this](TObject*, Exception& E) { Errors.push_back(E.Message()); };
    Form.reset(TCustomForm::Create<TDrawTreeForm>(Application));
    Tree = Form->Tree;
    Form->Show();
    Form->Populate();
    testsupport::PumpMessagesFor(80);
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
    Application->OnException = nullptr;
    EXPECT_TRUE(Errors.empty());
  }
  std::unique_ptr<TBitmap> PrintClient() {
    auto B = std::make_unique<TBitmap>(Tree->ClientWidth(), Tree->ClientHeight());
    SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(B->Canvas()->Handle()), PRF_CLIENT);
    return B;
  }
  struct TFormDeleter {
    void operator()(TCustomForm* F) const { delete F; }
  };
  std::unique_ptr<TDrawTreeForm, TFormDeleter> Form;
  TProbeDrawTree* Tree = nullptr;
  std::vector<String> Errors;
};

TEST_F(TDrawTreeTest, TheOwnerPaintsEveryVisibleNodeInItsContentRectangle) {
  Form->Drawn.clear();
  PVastNode Second = Tree->GetNextVisible(Tree->GetFirst());
  Tree->SetSelected(Second, true);
  auto Client = PrintClient();
  // Every visible row was handed to the owner once, with its own content
  // rectangle, and shows the swatch the owner painted there.
  std::map<PVastNode, TRect> ByNode(Form->Drawn.begin(), Form->Drawn.end());
  EXPECT_EQ(ByNode.size(), Tree->VisibleCount());
  EXPECT_EQ(Form->Drawn.size(), Tree->VisibleCount());
  for (PVastNode Run = Tree->GetFirstVisible(); Run; Run = Tree->GetNextVisible(Run)) {
    ASSERT_TRUE(ByNode.count(Run));
    // The content rectangle is in the row's own coordinates (rows are
    // painted one at a time), within the row's height.
    const TRect Row = Tree->GetDisplayRect(Run, NoColumn, false);
    const TRect& Content = ByNode[Run];
    EXPECT_GE(Content.Top, 0);
    EXPECT_LE(Content.Bottom, Row.Height());
    EXPECT_EQ(Client->Canvas()->Pixel(Content.Left + 8, Row.Top + (Content.Top + Content.Bottom) / 2),
              ColorToRGB(SwatchColor(Run)));
  }
  // The tree's own parts are still there: the selected node's row is
  // marked in the selection colour right of the swatch, within the width
  // the owner gave.
  const TRect Label = Tree->GetDisplayRect(Second, NoColumn, true);
  EXPECT_EQ(Label.Right - Label.Left, SwatchWidth);
  const TColor Selection = ColorToRGB(GetFocus() == Tree->Handle() ? Tree->Colors().FocusedSelectionColor()
                                                                   : Tree->Colors().UnfocusedSelectionColor());
  EXPECT_EQ(Client->Canvas()->Pixel(Label.Right - 3, Label.Top + 2), Selection);

  Tree->Update();
  testsupport::PumpMessagesFor(60);
  testsupport::ScreenImageOfWindow(Form->Handle())->SaveToFile(u"treedraw_swatches.bmp");
  EXPECT_NE(GetFileAttributesW(L"treedraw_swatches.bmp"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(TDrawTreeTest, WithoutHandlersRowsStayEmptyAndNodesAreTwoTextMarginsWide) {
  Tree->OnDrawNode = nullptr;
  Tree->OnGetNodeWidth = nullptr;
  PVastNode First = Tree->GetFirst();
  EXPECT_EQ(Tree->DoGetNodeWidth(First, NoColumn), 2 * Tree->TextMargin());
  const TRect Label = Tree->GetDisplayRect(First, NoColumn, true);
  EXPECT_EQ(Label.Right - Label.Left, 2 * Tree->TextMargin());
  // The content area shows the window colour only: the tree draws no text.
  auto Client = PrintClient();
  const TRect Row = Tree->GetDisplayRect(First, NoColumn, false);
  for (Integer X = Label.Left + 1; X < Label.Left + 60; ++X)
    ASSERT_EQ(Client->Canvas()->Pixel(X, (Row.Top + Row.Bottom) / 2), ColorToRGB(clWindow)) << X;
}

TEST_F(TDrawTreeTest, MarginsHintsAndOptionsAreTheDrawTreesOwn) {
  PVastNode First = Tree->GetFirst();
  // The cell-paint handler gives no margin here; the margin event does.
  Tree->OnBeforeCellPaint = [](TBaseVastTree*, TCanvas*, PVastNode, TColumnIndex, TVTCellPaintMode, TRect,
                               TRect& Content) { Content.Left += 7; };
  EXPECT_EQ(Tree->DoGetCellContentMargin(First, NoColumn, ccmtAllSides), (TPoint{0, 0}));
  TCanvas* Seen = nullptr;
  Tree->OnGetCellContentMargin = [&](TBaseVastTree*, TCanvas* C, PVastNode, TColumnIndex, TVTCellContentMarginType Type,
                                     TPoint& Margin) {
    Seen = C;
    Margin = Type == ccmtTopLeftOnly ? TPoint{3, 1} : TPoint{5, 2};
  };
  EXPECT_EQ(Tree->DoGetCellContentMargin(First, NoColumn, ccmtTopLeftOnly), (TPoint{3, 1}));
  EXPECT_EQ(Seen, Tree->Canvas());
  Tree->OnBeforeCellPaint = nullptr;

  // Hints are the owner's to size and draw unless it answers otherwise.
  TVTHintKind Kind = vhkText;
  Tree->DoGetHintKind(First, NoColumn, Kind);
  EXPECT_EQ(Kind, vhkOwnerDraw);
  Tree->OnGetHintKind = [](TBaseVastTree*, PVastNode, TColumnIndex, TVTHintKind& K) { K = vhkText; };
  Tree->DoGetHintKind(First, NoColumn, Kind);
  EXPECT_EQ(Kind, vhkText);

  // Assigning options copies their sets into the tree's own object.
  TVastTreeOptions* Own = &Tree->TreeOptions();
  TVastDrawTree Other(nullptr);
  TCustomVastTreeOptions& O = Other.TreeOptions();
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toShowHorzGridLines});
  O.SetMiscOptions(O.MiscOptions() + TVTMiscOptions{toGridExtensions});
  Tree->SetTreeOptions(O);
  EXPECT_EQ(&Tree->TreeOptions(), Own);
  EXPECT_TRUE(Tree->TreeOptions().PaintOptions().Contains(toShowHorzGridLines));
  EXPECT_TRUE(Tree->TreeOptions().MiscOptions().Contains(toGridExtensions));
}

}  // namespace
