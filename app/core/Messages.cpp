#include "app/core/Messages.h"

#include <utility>

namespace {
TGetMsgFunc& Current() {
  static TGetMsgFunc func;
  return func;
}
}  // namespace

TGetMsgFunc SetGetMsgFunc(TGetMsgFunc Func) { return std::exchange(Current(), std::move(Func)); }

String AppMsg(const String& Key) {
  if (const TGetMsgFunc& func = Current()) return func(Key);
  return u"** " + Key + u" **";
}
