#include "ControlsDemo.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Application->Initialize();
  Application->SetTitle(u"Quorvel controls demo");
  TControlsDemoForm* form = nullptr;
  Application->CreateForm(form);
  // Connect runs a scan; clicking the busy bar ends it at the allowance's
  // share (the allowance field read as a percentage).
  form->btnConnexion->OnClick = [form](TObject*) { form->StartScan(); };
  form->seDispo->OnChange = [form](TObject*) {
    if (form->pbOccupe->Visible()) form->pbOccupe->SetPosition(static_cast<Integer>(form->seDispo->AsInteger()));
  };
  form->Wait->OnClick = [form](TObject*) { form->EndScan(static_cast<Integer>(form->seDispo->AsInteger())); };
  Application->Run();
  return 0;
}
