// The series tool-bar popup over a chart of three line series, to try by
// hand: click a point of a serie and change it with the popup.
#include "SeriesPopupDemoChart.h"
#include "vcl/Forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Application->Initialize();
  TForm* Form = TCustomForm::Create<TForm>(Application);
  Form->SetCaption(u"Quorvel series popup");
  Form->SetClientWidth(720);
  Form->SetClientHeight(460);
  TVivGDIPChartView* View = seriespopup_demo::CreateSeriesPopupView(Form);
  View->SetParent(Form);
  View->SetAlign(alClient);
  Form->Show();
  Application->Run();
  return 0;
}
