#include "app/core/uOutils.h"

#include <algorithm>
#include <string_view>

#include "rtl/DateUtils.h"
#include "rtl/Encoding.h"
#include "rtl/Format.h"
#include "rtl/SysUtils.h"

const Char* const MajWebDefaultUrl = u"https://www.quorvel.example/versions.php?soft=quorvel";
const Char* const MajWebDownloadUrl = u"https://www.quorvel.example/download.php?soft=quorvel";

namespace {

const Char* const CrLf = u"\r\n";

bool IsBlank(Char c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimBlanks(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The numeric parts of a version, leading zeros dropped so that parts of any
// length compare as numbers; false for anything that is not a version.
bool SplitVersion(const String& Text, std::vector<std::u16string_view>& Parts) {
  Parts.clear();
  std::u16string_view s = TrimBlanks(Text);
  if (s.empty()) return false;
  for (;;) {
    const std::size_t dot = s.find(u'.');
    std::u16string_view part = s.substr(0, dot);
    if (part.empty()) return false;
    for (Char c : part)
      if (c < u'0' || c > u'9') return false;
    while (part.size() > 1 && part.front() == u'0') part.remove_prefix(1);
    Parts.push_back(part);
    if (dot == std::u16string_view::npos) return true;
    s.remove_prefix(dot + 1);
  }
}

Integer ComparePart(std::u16string_view A, std::u16string_view B) {
  if (A.size() != B.size()) return A.size() < B.size() ? -1 : 1;
  const int c = A.compare(B);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace

bool IsVersionText(const String& Text) {
  std::vector<std::u16string_view> parts;
  return SplitVersion(Text, parts);
}

Integer CompareVersions(const String& A, const String& B) {
  std::vector<std::u16string_view> a, b;
  const bool va = SplitVersion(A, a);
  const bool vb = SplitVersion(B, b);
  if (!va || !vb) return va == vb ? 0 : va ? 1 : -1;
  const std::size_t n = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const std::u16string_view pa = i < a.size() ? a[i] : u"0";
    const std::u16string_view pb = i < b.size() ? b[i] : u"0";
    if (const Integer c = ComparePart(pa, pb); c != 0) return c;
  }
  return 0;
}

bool IsNewerVersion(const String& Candidate, const String& Current) {
  return IsVersionText(Candidate) && CompareVersions(Candidate, Current) > 0;
}

TMajWebReply ParseMajWebReply(const String& Text) {
  std::vector<std::u16string_view> lines;
  std::u16string_view rest = Text;
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of(u"\r\n");
    const std::u16string_view line = TrimBlanks(rest.substr(0, end));
    if (!line.empty()) lines.push_back(line);
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  TMajWebReply reply;
  if (lines.size() == 1 && lines[0].find(u'=') == std::u16string_view::npos) {
    reply.Version = String(lines[0]);
    return reply;
  }
  bool haveVersion = false, haveUrl = false;
  for (const std::u16string_view line : lines) {
    const std::size_t eq = line.find(u'=');
    if (eq == std::u16string_view::npos) continue;
    const String key(TrimBlanks(line.substr(0, eq)));
    const String value(TrimBlanks(line.substr(eq + 1)));
    if (!haveVersion && SameText(key, u"Quorvel")) {
      reply.Version = value;
      haveVersion = true;
    } else if (!haveUrl && SameText(key, u"URL")) {
      reply.Url = value;
      haveUrl = true;
    }
  }
  return reply;
}

String ExpandMajWebUrl(const String& Url) { return StringReplace(Url, u"_soft_", u"quorvel", rfReplaceAll); }

bool IsMajWebUrl(const String& Url) {
  const bool scheme = StartsText(u"http://", Url) || StartsText(u"https://", Url);
  return scheme && Url.size() < 2048 &&
         std::none_of(Url.begin(), Url.end(), [](Char c) { return c <= 0x20 || c == 0x7F; });
}

Integer AutoCheckPeriodDays(Integer AutoCheckType) {
  switch (AutoCheckType) {
    case 1:
      return 1;
    case 2:
      return 7;
    case 3:
      return 30;
    default:
      return 0;
  }
}

bool AutoCheckDue(Integer AutoCheckType, TDateTime LastCheck, TDateTime Now) {
  const Integer days = AutoCheckPeriodDays(AutoCheckType);
  if (days == 0) return false;
  return LastCheck < Now - days || LastCheck > Now + 1;
}

Integer AutoCheckTypeFromText(const String& Text) { return StrToIntDef(Text, AutoCheckDefaut); }

TDateTime LastCheckFromText(const String& Text, TDateTime Now, const TFormatSettings& Settings) {
  TDateTime value = 0;
  if (!Text.empty() && TryStrToDateTime(Text, value, Settings)) return value;
  return Now - 31;
}

// ---------------------------------------------------------------- TMajWebLink

void TMajWebLink::Stop() {
  std::lock_guard<std::mutex> lock(FLock);
  if (FWorker) FWorker->Terminate();
}

bool TMajWebLink::Gone() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FWorker == nullptr;
}

// ---------------------------------------------------------------- TMajWeb

TMajWeb::TMajWeb(const String& Url, bool Auto, const THttpTimeouts& Timeouts)
    : TThread(true), FHttp(NewHttpGet(Timeouts)), FAutoCheck(Auto), FUrl(Url), FLink(std::make_shared<TMajWebLink>()) {
  FreeOnTerminate = true;
  FLink->FWorker = this;
}

TMajWeb::~TMajWeb() {
  // Whoever waits for the worker to be gone serves Sends meanwhile: wake it,
  // under the lock, so that it cannot see the worker gone (and tear the
  // dispatcher down) before the wake is done.
  std::lock_guard<std::mutex> lock(FLink->FLock);
  FLink->FWorker = nullptr;
  if (IDispatcher* dispatcher = MainDispatcher()) dispatcher->Wake();
}

void TMajWeb::TerminatedSet() { FHttp->Abort(); }

void TMajWeb::Execute() {
  if (Terminated()) return;
  const THttpReply reply = FHttp->Get(FUrl, MajWebMaxReply);
  FAnswered = reply.Done;
  FStatusCode = reply.StatusCode;
  FErrorText = reply.ErrorText;
  if (!reply.Body.empty()) FVersion = TEncoding::ANSI()->GetString(reply.Body.data(), reply.Body.size());
}

// ---------------------------------------------------------------- TMajWebCheck

TMajWebCheck::TMajWebCheck(IMajWebHost* Host, const String& ProgramVersion)
    : Clock([] { return Now(); }), FHost(Host), FProgramVersion(ProgramVersion), FUrlUpdate(MajWebDefaultUrl) {}

TMajWebCheck::~TMajWebCheck() { Abandon(MajWebAbandonWaitMs); }

void TMajWebCheck::aMajWebExecute(TObject* Sender) {
  if (Busy()) return;
  FChain.clear();
  Start(Sender == nullptr);
}

bool TMajWebCheck::StartupCheck(TDateTime Now) {
  if (Busy() || !AutoCheckDue(FAutoCheckType, FLastCheck, Now)) return false;
  aMajWebExecute(nullptr);
  return true;
}

void TMajWebCheck::Start(bool Auto) {
  FHost->MajWebEnable(false);
  FChain.push_back(FUrlUpdate);
  TMajWeb* worker = new TMajWeb(FUrlUpdate, Auto, FTimeouts);
  std::shared_ptr<TMajWebLink> link = worker->Link();
  worker->OnTerminate = [this, link](TObject* Sender) {
    if (!link->Abandoned.load()) MajWebTerminee(static_cast<TMajWeb*>(Sender), link);
  };
  FLink = link;
  FWorkerLink = link;
  try {
    worker->Start();
  } catch (...) {
    FLink.reset();
    FWorkerLink.reset();
    delete worker;
    FHost->MajWebEnable(true);
    throw;
  }
}

void TMajWebCheck::Abandon(Cardinal WaitMs) {
  if (FLink) {
    FLink->Abandoned.store(true);
    FLink.reset();
  }
  if (!FWorkerLink) return;
  const std::shared_ptr<TMajWebLink> link = std::move(FWorkerLink);
  FWorkerLink.reset();
  link->Stop();
  if (WaitMs == 0) return;
  IDispatcher* dispatcher = MainDispatcher();
  if (dispatcher && dispatcher->IsUIThread()) {
    dispatcher->WaitServingSends([&link] { return link->Gone(); }, WaitMs);
  } else {
    const UInt64 until = TThread::GetTickCount64() + WaitMs;
    while (!link->Gone() && TThread::GetTickCount64() < until) TThread::Sleep(10);
  }
}

void TMajWebCheck::Finish(const std::shared_ptr<TMajWebLink>& Link) {
  if (FLink == Link) FLink.reset();
}

void TMajWebCheck::ShowNetError(const String& Detail) {
  FHost->MajWebBox(FHost->MajWebMsg(u"NetError") + CrLf + CrLf + Detail, u"Erreur", mwbError);
}

void TMajWebCheck::MajWebTerminee(TMajWeb* Worker, const std::shared_ptr<TMajWebLink>& Link) {
  // The worker is released when this returns; keep what is needed of it.
  const bool autoCheck = Worker->AutoCheck();
  FHost->MajWebEnable(true);
  if (!Worker->Answered()) {
    Finish(Link);
    ShowNetError(Worker->ErrorText());
    return;
  }
  if (Worker->StatusCode() != 200) {
    Finish(Link);
    ShowNetError(u"HTTP " + IntToStr(Worker->StatusCode()));
    return;
  }
  if (Worker->Version().empty()) {
    Finish(Link);
    return;
  }
  const TMajWebReply reply = ParseMajWebReply(Worker->Version());
  bool redirectionRefused = false;
  if (!reply.Url.empty()) {
    const String url = ExpandMajWebUrl(reply.Url);
    if (url != FUrlUpdate) {
      const bool seen = std::find(FChain.begin(), FChain.end(), url) != FChain.end();
      if (IsMajWebUrl(url) && !seen && static_cast<Integer>(FChain.size()) <= MajWebMaxRedirections && FLink == Link) {
        FLastCheck = Clock();
        FUrlUpdate = url;
        FLink.reset();
        Start(false);
        return;
      }
      redirectionRefused = true;
    }
  }
  Finish(Link);
  if (!IsVersionText(reply.Version)) {
    ShowNetError(redirectionRefused ? String(u"Redirection refused: ") + ExpandMajWebUrl(reply.Url)
                                    : String(u"The reply holds no version number"));
    return;
  }
  FLastCheck = Clock();
  const String candidate = String(TrimBlanks(reply.Version));
  if (IsNewerVersion(candidate, FProgramVersion)) {
    const String format = FHost->MajWebMsg(u"NewVersion");
    String text;
    try {
      text = Format(format, {candidate});
    } catch (const Exception&) {
      text = format + u" " + candidate;  // a translation without its %s
    }
    if (FHost->MajWebBox(text, u"Information", mwbAskYesNo)) FHost->MajWebOpen(MajWebDownloadUrl);
  } else if (!autoCheck) {
    FHost->MajWebBox(FHost->MajWebMsg(u"NoNewVersion"), u"Information", mwbInformation);
  }
}
