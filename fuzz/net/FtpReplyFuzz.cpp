// FTP replies: the input is everything a server sends on the control
// connection. The client logs on and runs the commands a scan uses against
// it over loopback; whatever the server says, the client ends with a reply
// code or a failure, never a crash or a hang. The passive-mode replies are
// also parsed line by line.
#include <cstddef>
#include <cstdint>

#include "fuzz/common/FuzzCheck.h"
#include "fuzz/common/LoopbackPeer.h"
#include "net/ftpsend.h"
#include "rtl/Encoding.h"
#include "rtl/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static TLoopbackPeer* Peer = new TLoopbackPeer;
  const unsigned Before = Peer->Served();
  Peer->Serve(Data, Size);
  {
    TFTPSend Ftp;
    Ftp.TargetHost = u"127.0.0.1";
    Ftp.TargetPort = IntToStr(Peer->Port());
    Ftp.UserName = u"user";
    Ftp.Password = u"secret";
    Ftp.Timeout = 2000;
    if (Ftp.Login()) {
      Ftp.GetCurrentDir();
      Ftp.FileSize(u"file");
      Ftp.ChangeWorkingDir(u"folder");
      Ftp.NoOp();
    }
    FuzzCheck(Ftp.ResultCode() >= 0 && Ftp.ResultCode() <= 999, "reply code " + std::to_string(Ftp.ResultCode()));
    FuzzCheck(Ftp.FullResult()->Count() <= TFTPSend::MaxReplyLines, "a reply longer than the limit");
    Ftp.Logout();

    // Every line as the reply to PASV and to EPSV.
    std::size_t Start = 0;
    for (std::size_t I = 0; I <= Size; ++I) {
      if (I < Size && Data[I] != '\n') continue;
      const String Line = TEncoding::ANSI()->GetString(Data + Start, I - Start);
      // The port found may be any text: the data connection refuses one
      // outside 1 to 65535 before connecting.
      Ftp.ParseRemote(Line);
      Ftp.ParseRemoteEPSV(Line);
      Start = I + 1;
    }
  }
  Peer->WaitServed(Before + 1);
  return 0;
}
