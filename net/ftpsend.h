#pragma once
// The FTP client: one control connection, commands as text lines, numbered
// replies, a table-driven logon, and one data connection per transfer
// (passive or active, IPv4 or IPv6).
//
// Errors are results: operations answer a Boolean (or a number), the last
// reply stays in ResultCode/ResultString/FullResult and socket errors in
// Sock()->LastError(). Nothing here raises for protocol or network errors.
//
// Threads: one thread at a time uses a client. Another thread may only call
// Abort or TelnetAbort, to stop a running transfer. They only leave a
// request: every write on the control connection (the ABOR line too, and
// over TLS the socket allows no other way) is made by the thread that runs
// the transfer.
//
// Hardening beyond the classic protocol client:
// - a command whose text holds CR, LF or NUL is refused before anything is
//   sent (FTPCommand answers 0), so a remote name cannot smuggle commands;
// - a reply is read for at most MaxReplyLines lines / MaxReplyBytes bytes;
//   past that the reply fails (code 0) and the control connection, no longer
//   in step with the server, is dropped;
// - a passive data connection always goes to the control connection's peer,
//   whatever host a PASV reply names (its port is kept).
//
// Text on the control connection: replies and listed names are read as
// UTF-8 when their bytes are valid UTF-8, else in the ANSI code page
// (DecodeWireText). Commands are written in UTF-8 when the server said it
// uses it (FEAT lists UTF8, or OPTS UTF8 ON was accepted; asked once after
// the logon), else in the ANSI code page. A name the server listed is best
// sent back as its own bytes: the ...Raw commands take them.
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "net/blcksock.h"
#include "net/ftplist.h"
#include "rtl/StringList.h"
#include "rtl/Streams.h"
#include "rtl/Types.h"

// Base of protocol clients: where to connect, as whom, and how long to wait.
class TWirraClient : public TObject {
public:
  TWirraClient() = default;
  TWirraClient(const TWirraClient&) = delete;
  TWirraClient& operator=(const TWirraClient&) = delete;

  String TargetHost = u"127.0.0.1";
  // A number or a service name.
  String TargetPort = u"0";
  // Local address the client's sockets bind to; "0.0.0.0" means any.
  String IPInterface = u"0.0.0.0";
  // Milliseconds to wait for each piece of network data (not a whole operation).
  Integer Timeout = 5000;
  String UserName;
  String Password;
};

// Response false: Value is a command just sent (passwords in clear).
// Response true: Value is one reply line just read, or a line of the
// client's own that belongs in the same log (see List).
using TFTPStatus = std::function<void(TObject* Sender, Boolean Response, const String& Value)>;

// A logon program: six steps of three bytes (action, next step after 2xx,
// next step after 3xx). Steps are byte offsets 0, 3, ..., 15; 255 means
// logged on, 254 failed.
using TLogonActions = std::array<Byte, 18>;

namespace FtpLogon {
constexpr Byte LoggedOn = 255;
constexpr Byte Failed = 254;
}  // namespace FtpLogon

class TFTPSend : public TWirraClient {
public:
  // Limits of one reply (see the header comment).
  static constexpr Integer MaxReplyLines = 10000;
  static constexpr Integer MaxReplyBytes = 1024 * 1024;
  // Preliminary (1xx) greetings accepted before the real one.
  static constexpr Integer MaxPreliminaryReplies = 100;
  // Folders in a row whose "LIST -a" was refused while LIST listed them,
  // after which the option is given up (see List).
  static constexpr Integer MaxHiddenRefusals = 3;

  TFTPSend();
  // Both sockets get a TLS plug-in of this class (TSSLNone has no TLS; the
  // TLS options need a real one).
  explicit TFTPSend(TSSLClass SSLPlugin);
  ~TFTPSend() override;

  TFTPStatus OnStatus;

  // --- settings (defaults as the constructor sets them)
  String Account;
  // Firewall host; empty means a direct connection.
  String FWHost;
  String FWPort = u"21";
  String FWUsername;
  String FWPassword;
  // Logon program with a firewall: 0-8, or -1 for CustomLogon.
  Integer FWMode = 0;
  // Transfers use the local file DirectFileName instead of DataStream.
  Boolean DirectFile = false;
  String DirectFileName;
  Boolean PassiveMode = true;
  // Active mode listens on local port 20.
  Boolean ForceDefaultPort = false;
  // Never EPSV/EPRT, also on IPv6.
  Boolean ForceOldPort = false;
  Boolean BinaryMode = true;
  Boolean AutoTLS = false;
  Boolean TLSonData = true;
  // List with an empty directory also shows names beginning with "." (see
  // List).
  Boolean ListHidden = false;
  // TLS right after connecting (implicit TLS).
  Boolean FullSSL = false;
  TLogonActions CustomLogon{};

  // --- state (read-only)
  TTCPBlockSocket* Sock() const { return FSock.get(); }
  TTCPBlockSocket* DSock() const { return FDSock.get(); }
  // The stop signal both sockets are given (see Abort): a caller that
  // lends them another one for a while gives this one back afterwards.
  const std::atomic<bool>* StopSignal() const { return &FStopSignal; }
  Integer ResultCode() const { return FResultCode; }
  const String& ResultString() const { return FResultString; }
  TStringList* FullResult() const { return FFullResult.get(); }
  TMemoryStream* DataStream() const { return FDataStream.get(); }
  const String& DataIP() const { return FDataIP; }
  const String& DataPort() const { return FDataPort; }
  Boolean CanResume() const { return FCanResume; }
  Boolean IsTLS() const { return FIsTLS; }
  Boolean IsDataTLS() const { return FIsDataTLS; }
  // The server said it uses UTF-8 (at the last Login).
  Boolean UTF8() const { return FUTF8; }
  // The bytes a command text is sent as (UTF-8 or the ANSI code page).
  AnsiString EncodeText(const String& Value) const;
  TFTPList* FtpList() const { return FFtpList.get(); }

  // --- control connection
  // Sends one command line; answers the reply's code (0 when the command
  // was refused or no reply could be read).
  virtual Integer FTPCommand(const String& Value);
  // The same with the line's bytes given as they are to be sent.
  Integer FTPCommandRaw(const AnsiString& Line);
  // Reads one complete reply; answers its code.
  virtual Integer ReadResult();
  virtual Boolean Login();
  virtual Boolean Logout();
  // May be called from another thread while a transfer runs (List,
  // RetrieveFile, the uploads), from its start to its end: the transfer ends
  // within one step of its waits (250 ms) and returns false, whatever it
  // waits for (a reply on the control connection, the data connection's
  // connect or accept, data). The request holds until the transfer ends.
  // Before the transfer command was accepted nothing more is sent, and the
  // data connection is closed; a reply the abort did not wait for is read
  // (and dropped) by the next command before it is sent, so that command
  // still reads its own reply (when that reply never comes within Timeout,
  // the control connection is closed: it is out of step for good). After
  // the transfer command was accepted, the transfer's thread sends "ABOR"
  // (TelnetAbort: the Telnet interrupt and data mark first) and reads the
  // transfer's last reply, which stays in ResultCode, and the reply to
  // ABOR. An abort asked for while no transfer runs aborts nothing.
  virtual void Abort();
  virtual void TelnetAbort();

  // --- single commands
  virtual Boolean NoOp();
  virtual Boolean ChangeWorkingDir(const String& Directory);
  virtual Boolean ChangeToParentDir();
  virtual Boolean ChangeToRootDir();
  virtual Boolean DeleteDir(const String& Directory);
  virtual Boolean CreateDir(const String& Directory);
  virtual Boolean DeleteFile(const String& FileName);
  virtual Boolean RenameFile(const String& OldName, const String& NewName);
  // -1 when refused or unreadable.
  virtual Int64 FileSize(const String& FileName);
  // Empty when refused. A quote doubled inside the quoted name stands for
  // one quote.
  virtual String GetCurrentDir();
  // The same commands with names or paths as their bytes (a listed name's
  // RawFileName, paths made of such names).
  Boolean ChangeWorkingDirRaw(const AnsiString& Directory);
  Boolean DeleteDirRaw(const AnsiString& Directory);
  Boolean DeleteFileRaw(const AnsiString& FileName);
  AnsiString GetCurrentDirRaw();

  // --- data connections and transfers
  virtual Boolean OpenDataChannel();
  virtual Boolean AcceptDataChannel();
  virtual void ParseRemote(const String& Value);
  virtual void ParseRemoteEPSV(const String& Value);
  virtual Boolean DataRead(TStream* DestStream);
  virtual Boolean DataWrite(TStream* SourceStream);
  virtual Boolean StoreFromStream(const String& Command, Int64 RestoreAt);
  // With ListHidden, an empty Directory and NameList false, names that
  // begin with "." are listed too: many servers (vsftpd, pure-ftpd,
  // proftpd) leave them out of a plain LIST but show them for "LIST -a",
  // while others take "-a" for a file name (refusing it, or listing nothing).
  // So the first folder that plainly lists anything is listed both ways:
  // "LIST -a" is used for the rest of the session only when its listing
  // holds every name of the plain one, and never again otherwise. It is
  // also given up when the server answers it in a way that shows it did
  // not understand the option (500, 501, 502, 504, or a refusal naming
  // "-a"), or refuses it in MaxHiddenRefusals folders in a row that a plain
  // LIST lists. Any other failure (the data connection, another refusal)
  // is this folder's alone: a refused LIST -a is followed by a plain LIST
  // for the folder, a failed data connection fails the listing, and the
  // next folder asks again. Giving it up is reported through OnStatus
  // (Response true, a line of the client's own).
  virtual Boolean List(const String& Directory, Boolean NameList);
  virtual Boolean RetrieveFile(const String& FileName, Boolean Restore);
  virtual Boolean StoreFile(const String& FileName, Boolean Restore);
  virtual Boolean StoreUniqueFile();
  virtual Boolean AppendFile(const String& FileName);

  // The built-in logon program of a mode (0 for modes outside 1-8).
  static const TLogonActions& BuiltInLogon(Integer Mode);

protected:
  virtual Boolean RunLogonSequence(Integer Mode);
  virtual Boolean OpenControlConnection();
  virtual void NotifyStatus(Boolean Response, const String& Value);

private:
  String LogonCommand(Byte Action, const String& Target) const;
  // Sends Line (refused when it holds a line break) and reads the reply;
  // Shown is the command as the status event reports it.
  Integer SendCommandLine(const AnsiString& Line, const String& Shown);
  // Clears the last reply (a command that was not sent) and answers 0.
  Integer NoReply();
  class TTransferScope;
  // Where a listing failed.
  enum class TListFailure { None, Prepare, Refused, Transfer };
  // One LIST or NLST command, with its data, into DataStream and FtpList.
  Boolean ListWith(const String& Command, Boolean NameList, TListFailure* Failure = nullptr);
  // Whether "LIST -a" shows everything a plain LIST does, on this server.
  enum class THiddenListing { Unknown, Works, Fails };
  THiddenListing FHiddenListing = THiddenListing::Unknown;
  Integer FHiddenRefusals = 0;  // see MaxHiddenRefusals
  void GiveUpHiddenListing(const String& Reason);
  Boolean FUTF8 = false;
  void RequestAbort(int Kind);
  bool AbortRequested() const { return FAbortRequest.load() != 0; }
  // Aborts are taken from the start of a transfer to its end (or until the
  // transfer's thread begins to finish one).
  void OpenAborts();
  void CloseAborts(bool KeepRequest);
  // The last reply read was cut short by an abort.
  bool ReplyCut() const;
  // Reads the replies owed to commands whose reply an abort cut short;
  // false when they could not be read (the control connection is closed
  // unless a new abort cut the reading again).
  Boolean SettleOwedReplies();
  // An abort before the transfer command was accepted: closes the data
  // connection, so that the server ends what it began. Always false.
  Boolean AbandonTransfer();
  // The transfer's thread, once the server has accepted the transfer
  // command and an abort was asked for: sends ABOR, closes the data
  // connection, reads the transfer's reply and then ABOR's. Always false.
  Boolean FinishAbortedTransfer();

  // Declared so that destruction frees DSock, Sock, FtpList, DataStream,
  // FullResult in this order.
  std::unique_ptr<TStringList> FFullResult;
  std::unique_ptr<TMemoryStream> FDataStream;
  std::unique_ptr<TFTPList> FFtpList;
  std::unique_ptr<TTCPBlockSocket> FSock;
  std::unique_ptr<TTCPBlockSocket> FDSock;
  Integer FResultCode = 0;
  String FResultString;
  AnsiString FResultRaw;  // ResultString's bytes
  String FDataIP;
  String FDataPort;
  Boolean FCanResume = false;
  Boolean FIsTLS = false;
  Boolean FIsDataTLS = false;
  // 0 none, 1 ABOR, 2 the Telnet interrupt and ABOR; set from any thread
  // while aborts are taken, cleared when a transfer starts and ends.
  std::atomic<int> FAbortRequest{0};
  // Raised with a request and lowered by the transfer's thread only: given
  // to both sockets as their stop signal, it ends every wait of the
  // transfer, including the ones of sockets made after the request.
  std::atomic<bool> FStopSignal{false};
  std::mutex FAbortLock;       // orders requests against a transfer's start and end
  bool FTakingAborts = false;  // under FAbortLock
  int FTransferDepth = 0;      // transfers running (StoreFile runs StoreFromStream)
  // Commands sent whose reply an abort did not wait for.
  Integer FOwedReplies = 0;
};
