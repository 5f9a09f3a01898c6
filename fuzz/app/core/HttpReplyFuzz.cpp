// The update check's HTTP replies: the input is everything the server sends.
// The client reads it over loopback with the check's size limit, and the
// body goes through the check's own reading (version, new address); any
// reply ends in a result or an error text, never a crash or a hang.
#include <cstddef>
#include <cstdint>

#include "app/core/HttpGet.h"
#include "app/core/uOutils.h"
#include "fuzz/common/FuzzCheck.h"
#include "fuzz/common/LoopbackPeer.h"
#include "rtl/Encoding.h"
#include "rtl/SysUtils.h"

namespace {

int Sign(Integer V) { return V < 0 ? -1 : V > 0 ? 1 : 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static TLoopbackPeer* Peer = new TLoopbackPeer;
  const unsigned Before = Peer->Served();
  Peer->Serve(Data, Size);
  THttpTimeouts Timeouts;
  Timeouts.ConnectMs = 2000;
  Timeouts.ReceiveMs = 2000;
  Timeouts.TotalMs = 5000;
  THttpReply Reply;
  {
    std::unique_ptr<THttpGet> Get = NewSocketHttpGet(Timeouts);
    Reply = Get->Get(u"http://127.0.0.1:" + IntToStr(Peer->Port()) + u"/version.txt", MajWebMaxReply);
  }
  Peer->WaitServed(Before + 1);

  if (!Reply.Done) {
    FuzzCheck(!Reply.ErrorText.empty(), "a failed request without an error text");
    return 0;
  }
  FuzzCheck(Reply.StatusCode >= 0 && Reply.StatusCode <= 999, "status " + std::to_string(Reply.StatusCode));
  FuzzCheck(Reply.Body.size() <= MajWebMaxReply, "a body past the limit");

  const String Text = TEncoding::ANSI()->GetString(Reply.Body.data(), Reply.Body.size());
  const TMajWebReply Parsed = ParseMajWebReply(Text);
  const String Current = u"0.5.0.15";
  FuzzCheck(Sign(CompareVersions(Parsed.Version, Current)) == -Sign(CompareVersions(Current, Parsed.Version)),
            "version order not symmetric for " + FuzzText(Parsed.Version));
  if (IsVersionText(Parsed.Version)) {
    FuzzCheck(CompareVersions(Parsed.Version, Parsed.Version) == 0, "a version unequal to itself");
    FuzzCheck(IsNewerVersion(Parsed.Version, Current) == (CompareVersions(Parsed.Version, Current) > 0),
              "newer and order disagree for " + FuzzText(Parsed.Version));
  }
  if (!Parsed.Url.empty()) {
    const String Url = ExpandMajWebUrl(Parsed.Url);
    THttpUrlParts Parts;
    if (IsMajWebUrl(Url) && SplitHttpUrl(Url, Parts))
      FuzzCheck(Parts.Port >= 1 && Parts.Port <= 65535 && !Parts.Host.empty(),
                "a bad address accepted: " + FuzzText(Url));
  }
  return 0;
}
