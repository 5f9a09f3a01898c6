#include "app/uTraduction.h"

#include <memory>

#include "app/core/uIntl.h"
#include "rtl/Encoding.h"
#include "rtl/StringList.h"
#include "rtl/SysUtils.h"
#include "vcl/ActnList.h"
#include "vcl/ComCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"
#include "treeview/VastTreeControl_win.h"

namespace {

// Controls whose texts are a caption and a hint.
bool EstLegende(TComponent* C) {
  return dynamic_cast<TCustomLabel*>(C) || dynamic_cast<TStaticText*>(C) || dynamic_cast<TButton*>(C) ||
         dynamic_cast<TCustomCheckBox*>(C) || dynamic_cast<TRadioButton*>(C) || dynamic_cast<TGroupBox*>(C);
}

// Line breaks as the table writes them.
String EnBarres(const String& S) {
  String out = StringReplace(S, u"\r\n", u"|", rfReplaceAll);
  return StringReplace(out, u"\n", u"|", rfReplaceAll);
}

String TexteEtBulle(const String& Texte, const String& Bulle) { return Bulle.empty() ? Texte : Texte + u"~" + Bulle; }

TBasicAction* ActionDe(TComponent* C) {
  if (auto* b = dynamic_cast<TButtonControl*>(C)) return b->Action();
  if (auto* m = dynamic_cast<TMenuItem*>(C)) return m->Action();
  return nullptr;
}

}  // namespace

void TraduireForm(TCustomForm* Form) {
  if (!Form) return;
  const String nomForm = Form->Name();
  const String titre = Traduction(nomForm);
  if (!titre.empty()) Form->SetCaption(titre);
  for (Integer i = 0; i < Form->ComponentCount(); ++i) {
    TComponent* c = Form->Components(i);
    auto* menu = dynamic_cast<TMenuItem*>(c);
    if (menu && menu->IsLine()) continue;
    if (c->Name().empty()) continue;
    const String valeur = Traduction(nomForm + u"." + c->Name());
    if (valeur.empty()) continue;
    const std::vector<String> champs = ChampsTraduction(valeur);
    const String f1 = Champ(champs, 0), f2 = Champ(champs, 1);
    if (auto* arbre = dynamic_cast<TVastStringTree*>(c)) {
      // One field per column title, then the hint.
      TVastTreeColumns& cols = arbre->Header().Columns();
      for (Integer i = 0; i < cols.Count(); ++i) cols[i].SetText(Champ(champs, static_cast<std::size_t>(i)));
      arbre->TControl::SetHint(Champ(champs, static_cast<std::size_t>(cols.Count())));
    } else if (EstLegende(c)) {
      auto* ctl = static_cast<TControl*>(c);
      ctl->SetCaption(f1);
      ctl->SetHint(f2);
    } else if (auto* ed = dynamic_cast<TEdit*>(c)) {
      if (!f1.empty()) ed->SetText(f1);
      ed->SetHint(f2);
    } else if (menu) {
      menu->SetCaption(f1);
      menu->SetHint(f2);
    } else if (auto* memo = dynamic_cast<TCustomMemo*>(c)) {
      memo->SetHint(f1);
    } else if (auto* page = dynamic_cast<TTabSheet*>(c)) {
      page->SetCaption(f1);
    } else if (auto* action = dynamic_cast<TCustomAction*>(c)) {
      action->SetCaption(f1);
      action->SetCategory(f2);
      action->SetHint(Champ(champs, 2));
      action->SetShortCut(TextToShortCut(Champ(champs, 3)));
    } else if (auto* ctl = dynamic_cast<TControl*>(c)) {
      ctl->SetHint(f1);
    }
  }
}

std::vector<String> LignesExport(TCustomForm* Form) {
  std::vector<String> lignes;
  if (!Form) return lignes;
  const String nomForm = Form->Name();
  lignes.push_back(nomForm + u"=" + EnBarres(Form->Caption()));
  for (Integer i = 0; i < Form->ComponentCount(); ++i) {
    TComponent* c = Form->Components(i);
    const String debut = nomForm + u"." + c->Name() + u"=";
    auto* menu = dynamic_cast<TMenuItem*>(c);
    if (auto* arbre = dynamic_cast<TVastStringTree*>(c)) {
      TVastTreeColumns& cols = arbre->Header().Columns();
      String v;
      for (Integer i = 0; i < cols.Count(); ++i) v += (i ? u"~" : u"") + cols[i].Text();
      if (!arbre->TControl::Hint().empty()) v += u"~" + arbre->TControl::Hint();
      lignes.push_back(debut + EnBarres(v));
    } else if (EstLegende(c) || dynamic_cast<TEdit*>(c) || dynamic_cast<TTabSheet*>(c) || (menu && !menu->IsLine())) {
      if (ActionDe(c)) continue;
      String texte, bulle;
      if (menu) {
        texte = menu->Caption();
        bulle = menu->Hint();
      } else {
        auto* ctl = static_cast<TControl*>(c);
        texte = ctl->Caption();
        bulle = ctl->Hint();
      }
      if (texte.empty() && bulle.empty()) continue;
      lignes.push_back(debut + EnBarres(TexteEtBulle(texte, bulle)));
    } else if (menu) {
      // A separator line: never translated, never exported.
    } else if (auto* action = dynamic_cast<TCustomAction*>(c)) {
      String v = action->Caption() + u"~" + action->Category();
      if (!action->Hint().empty() || action->ShortCut() != 0) v += u"~" + action->Hint();
      if (action->ShortCut() != 0) v += u"~" + ShortCutToText(action->ShortCut());
      lignes.push_back(debut + EnBarres(v));
    } else if (auto* ctl = dynamic_cast<TControl*>(c)) {
      if (!ctl->Hint().empty()) lignes.push_back(debut + EnBarres(ctl->Hint()));
    } else {
      lignes.push_back(debut + ClassNameOf(c) + u" NON GERE");
    }
  }
  return lignes;
}

bool ExportForm(TCustomForm* Form, const String& FileName) {
  try {
    TStringList list;
    for (const String& l : LignesExport(Form)) list.Add(l);
    list.SaveToFile(FileName, TEncoding::ANSI());
    return true;
  } catch (...) {
    // The caller reports the failed export by the false it gets.
    return false;
  }
}
