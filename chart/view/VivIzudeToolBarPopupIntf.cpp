#include "chart/view/VivIzudeToolBarPopupIntf.h"

namespace {

TVivIzudeToolBarPopupCreator& Creator() {
  static TVivIzudeToolBarPopupCreator C;
  return C;
}

}  // namespace

void RegisterToolBarPopupCreator(TVivIzudeToolBarPopupCreator ACreator) { Creator() = std::move(ACreator); }

const TVivIzudeToolBarPopupCreator& ToolBarPopupCreator() { return Creator(); }
