#include "VclDemo.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Application->Initialize();
  Application->SetTitle(u"Quorvel demo");
  TDemoForm* form = nullptr;
  Application->CreateForm(form);
  form->PaintBox->OnDblClick = [](TObject* Sender) {
    TDemoDialog* dialog = TCustomForm::Create<TDemoDialog>(static_cast<TComponent*>(Sender));
    dialog->ShowModal();
    delete dialog;
  };
  Application->Run();
  return 0;
}
