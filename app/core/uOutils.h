#pragma once
// The update check: a worker (TMajWeb) fetches the maker's version page, and
// TMajWebCheck, on the user-interface thread, starts it, judges the reply and
// talks to the user through IMajWebHost. The decisions are plain functions so
// that they can be tested without a network.
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "app/core/HttpGet.h"
#include "rtl/FormatSettings.h"
#include "rtl/Threads.h"
#include "rtl/Types.h"

// At most this many bytes of the reply are read.
constexpr std::size_t MajWebMaxReply = 2049;
// Addresses followed through "URL" keys in one check, so that two pages that
// name each other cannot keep the program checking for ever.
constexpr Integer MajWebMaxRedirections = 5;
// How long the destructor of TMajWebCheck waits for a worker it stopped.
constexpr Cardinal MajWebAbandonWaitMs = 5000;

// The built-in check address and the download page.
extern const Char* const MajWebDefaultUrl;
extern const Char* const MajWebDownloadUrl;
// Whether a server answers at the built-in address. Until one does, every
// automatic check would end in the network-error box at start-up, so a new
// settings file starts with automatic checks off (the Options dialog turns
// them on); a check the user asks for still runs and reports its failure.
constexpr bool MajWebServeurEnService = false;
// "AutoCheck" of a settings file that has none: monthly once the server
// answers, none before.
constexpr Integer AutoCheckDefaut = MajWebServeurEnService ? 3 : 0;

// ---------------------------------------------------------------- decisions

// One or more decimal numbers separated by dots ("0.5.0.15"), spaces around
// it allowed.
bool IsVersionText(const String& Text);
// Part by part as numbers, missing parts counting as 0, so "0.5.0.15" is
// after "0.5.0.9" and "0.5" equals "0.5.0.0". A text that is not a version
// sorts before every version.
Integer CompareVersions(const String& A, const String& B);
// Candidate is a version and is after Current.
bool IsNewerVersion(const String& Candidate, const String& Current);

// A reply split up: one line without "=" is the version itself; otherwise
// the lines are key=value pairs (keys without regard to case, the first of a
// key wins) and "Quorvel" gives the version, "URL" a new check address.
// Blank lines do not count; lines end with CR, LF or both.
struct TMajWebReply {
  String Version;
  String Url;
};
TMajWebReply ParseMajWebReply(const String& Text);
// "_soft_" stands for "quorvel" in a "URL" value.
String ExpandMajWebUrl(const String& Url);
// Only http and https addresses are followed.
bool IsMajWebUrl(const String& Url);

// The automatic period of AutoCheckType: 1, 7 or 30 days; 0 (no automatic
// check) for any other value.
Integer AutoCheckPeriodDays(Integer AutoCheckType);
// A check is due when LastCheck is earlier than Now minus the period. A
// LastCheck more than a day ahead of Now (a clock that was wrong) counts as
// due, or no check would happen until that date.
bool AutoCheckDue(Integer AutoCheckType, TDateTime LastCheck, TDateTime Now);
// The settings texts: "AutoCheck" missing or not a whole number is
// AutoCheckDefaut; "LastCheck" missing or not a date-time in Settings' format is
// 31 days before Now.
Integer AutoCheckTypeFromText(const String& Text);
TDateTime LastCheckFromText(const String& Text, TDateTime Now, const TFormatSettings& Settings);

// ---------------------------------------------------------------- worker

class TMajWeb;

// What outlives a worker: the user-interface side keeps it to stop the
// worker or to learn that it is gone.
class TMajWebLink {
public:
  // Any thread: asks the worker, when it still exists, to stop now (its
  // request is cut short).
  void Stop();
  bool Gone() const;
  // Set on the user-interface thread: the completion handler must not run.
  std::atomic<bool> Abandoned{false};

private:
  friend class TMajWeb;
  mutable std::mutex FLock;
  TMajWeb* FWorker = nullptr;  // not owned; cleared by the worker's destructor
};

// One check: one GET of Url. Made suspended and FreeOnTerminate: the creator
// sets OnTerminate (run on the user-interface thread once Execute is done)
// and calls Start, and never touches it afterwards except through Link().
class TMajWeb : public TThread {
public:
  TMajWeb(const String& Url, bool Auto, const THttpTimeouts& Timeouts = THttpTimeouts());
  ~TMajWeb() override;

  // Read by the completion handler.
  bool AutoCheck() const { return FAutoCheck; }
  const String& Url() const { return FUrl; }
  // The server answered (with any status); otherwise ErrorText says why not.
  bool Answered() const { return FAnswered; }
  const String& ErrorText() const { return FErrorText; }
  Integer StatusCode() const { return FStatusCode; }
  // The reply, as text of the system code page.
  const String& Version() const { return FVersion; }

  std::shared_ptr<TMajWebLink> Link() const { return FLink; }

protected:
  void Execute() override;
  // Terminate also cuts the request in progress short.
  void TerminatedSet() override;

private:
  std::unique_ptr<THttpGet> FHttp;
  String FErrorText;
  String FVersion;
  Integer FStatusCode = 0;
  bool FAnswered = false;
  const bool FAutoCheck;
  const String FUrl;
  std::shared_ptr<TMajWebLink> FLink;
};

// ---------------------------------------------------------------- the window's side

enum TMajWebBox {
  mwbError,        // OK button, error icon
  mwbInformation,  // OK button, information icon
  mwbAskYesNo      // Yes and No buttons, information icon
};

// What the main window provides; called on the user-interface thread only.
class IMajWebHost {
public:
  virtual ~IMajWebHost() = default;
  // The action "aMajWeb".
  virtual void MajWebEnable(bool Enabled) = 0;
  // The translation table's message (GetMsg).
  virtual String MajWebMsg(const String& Key) = 0;
  // A modal message box; true when Yes was chosen.
  virtual bool MajWebBox(const String& Text, const String& Caption, TMajWebBox Kind) = 0;
  // Opens a web page with the system's "open" verb.
  virtual void MajWebOpen(const String& Url) = 0;
};

// The main window's update-check state and handlers. User-interface thread
// only; needs the main dispatcher for the completion handler.
class TMajWebCheck : public TObject {
public:
  // Host is not owned and must outlive the checks (or Abandon them first).
  TMajWebCheck(IMajWebHost* Host, const String& ProgramVersion);
  // Abandons a running check.
  ~TMajWebCheck() override;
  TMajWebCheck(const TMajWebCheck&) = delete;
  TMajWebCheck& operator=(const TMajWebCheck&) = delete;

  const String& UrlUpdate() const { return FUrlUpdate; }
  void SetUrlUpdate(const String& Value) { FUrlUpdate = Value; }
  TDateTime LastCheck() const { return FLastCheck; }
  void SetLastCheck(TDateTime Value) { FLastCheck = Value; }
  Integer AutoCheckType() const { return FAutoCheckType; }
  void SetAutoCheckType(Integer Value) { FAutoCheckType = Value; }
  const String& ProgramVersion() const { return FProgramVersion; }
  void SetProgramVersion(const String& Value) { FProgramVersion = Value; }
  const THttpTimeouts& Timeouts() const { return FTimeouts; }
  void SetTimeouts(const THttpTimeouts& Value) { FTimeouts = Value; }
  // "Now" for LastCheck; the system clock unless replaced.
  std::function<TDateTime()> Clock;

  // The action's handler: Sender nullptr is the automatic check. Does
  // nothing while a check runs.
  void aMajWebExecute(TObject* Sender);
  // Starts the automatic check when it is due at Now; returns whether it did.
  bool StartupCheck(TDateTime Now);
  // A check (with the redirections it follows) is under way.
  bool Busy() const { return FLink != nullptr; }
  // Gives up the running check: its completion handler will not run, its
  // request is cut short, and this waits up to WaitMs (serving the
  // dispatcher's Sends) for the last worker to be gone, so that none is left
  // running into the program's exit. For the main window's destruction.
  void Abandon(Cardinal WaitMs);
  // Whether the last worker has ended and freed itself.
  bool WorkerGone() const { return !FWorkerLink || FWorkerLink->Gone(); }

private:
  void Start(bool Auto);
  void MajWebTerminee(TMajWeb* Worker, const std::shared_ptr<TMajWebLink>& Link);
  void ShowNetError(const String& Detail);
  void Finish(const std::shared_ptr<TMajWebLink>& Link);

  IMajWebHost* FHost;  // not owned
  String FProgramVersion;
  String FUrlUpdate;
  TDateTime FLastCheck = 0;
  Integer FAutoCheckType = AutoCheckDefaut;
  THttpTimeouts FTimeouts;
  std::shared_ptr<TMajWebLink> FLink;        // the running check
  std::shared_ptr<TMajWebLink> FWorkerLink;  // the last worker, until it is gone
  std::vector<String> FChain;                // addresses asked in the current check
};
