// Windows: painting one screen of a large string tree and scrolling it by a
// page, for 10,000, 100,000 and 1,000,000 rows. Google Benchmark is not
// built for this toolchain here, so the program times itself: each figure
// is the mean over repetitions lasting at least half a second, after a
// warm-up. Run by hand (under Wine: tools/wine-run.sh tree_paint_bench.exe).
#include "rtl/Win32.h"

#include <cstdio>
#include <functional>
#include <memory>

#include "bench/common/SelfTiming.h"
#include "treeview/VastTreeControl_win.h"
#include "vcl/Forms.h"

namespace {

// Mean microseconds per call of Work.
double Measure(const std::function<void()>& Work) { return bench_timing::MeanSecondsPerCall(Work, 5, 0.5, 20) * 1e6; }

struct TFigures {
  double PaintScreen, ScrollPage;
  Cardinal Rows;
};

TFigures Run(Cardinal Rows) {
  TForm* Form = TCustomForm::Create<TForm>(Application);
  Form->SetClientSize(1000, 800);
  auto* Tree = new TVastStringTree(Form);
  Tree->SetAlign(alClient);
  TVTHeader& H = Tree->Header();
  for (Integer W : {400, 120, 160}) H.Columns().Add()->SetWidth(W);
  H.SetOptions(H.Options() + TVTHeaderOptions{hoVisible});
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetAutoOptions(O.AutoOptions() - TVTAutoOptions{toAutoSort});
  O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toFullRowSelect});
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toShowVertGridLines});
  Tree->OnInitNode = [](TBaseVastTree*, PVastNode Parent, PVastNode, TVastNodeInitStates& States) {
    if (!Parent) States += TVastNodeInitStates{ivsHasChildren, ivsExpanded};
  };
  Tree->OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = 99; };
  Tree->OnGetText = [](TBaseVastTree*, PVastNode Node, TColumnIndex Column, TVSTTextType, String& Text) {
    Text = Column <= 0 ? (Node->ChildCount ? u"Folder 0000" : u"report_0000_00.txt")
                       : (Column == 1 ? u"1234 KB" : u"2026-01-01 14:00");
  };
  Tree->SetParent(Form);
  Form->Show();
  Tree->BeginUpdate();
  Tree->SetRootNodeCount(Rows / 100);
  for (PVastNode F = Tree->GetFirst(); F; F = Tree->GetNextSibling(F)) Tree->ValidateChildren(F, false);
  Tree->EndUpdate();
  // The position cache is built in the background; wait for it.
  for (int I = 0; I < 5000 && !Tree->TreeStates().Contains(tsUseCache); ++I) {
    MSG Msg;
    if (!Application->ProcessMessage(Msg)) Sleep(1);
  }
  Tree->SetOffsetY(-Tree->RangeY() / 2);
  Application->ProcessMessages();

  TFigures Result{};
  Result.Rows = Tree->VisibleCount();
  TBitmap Target(Tree->ClientWidth(), Tree->ClientHeight());
  HDC DC = Target.Canvas()->Handle();
  Result.PaintScreen =
      Measure([&] { SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT); });
  Result.ScrollPage = Measure([&] {
    const Integer Before = Tree->OffsetY();
    SendMessageW(Tree->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    if (Tree->OffsetY() == Before) SendMessageW(Tree->Handle(), WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(Tree->Handle());  // paint what the scroll uncovered
  });
  delete Form;
  Application->ProcessMessages();
  return Result;
}

}  // namespace

int main() {
  Application->Initialize();
  std::printf("%-10s %18s %18s\n", "rows", "paint screen (us)", "page scroll (us)");
  for (Cardinal Rows : {10000u, 100000u, 1000000u}) {
    const TFigures F = Run(Rows);
    std::printf("%-10u %18.1f %18.1f\n", F.Rows, F.PaintScreen, F.ScrollPage);
    std::fflush(stdout);
  }
  return 0;
}
