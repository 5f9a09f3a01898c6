// Blocking sockets over real loopback connections: line reading, error codes,
// time-outs, stop requests, stream and block framing, options and hooks.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "FloodingSocket.h"
#include "LoopbackServer.h"
#include "net/blcksock.h"
#include "net/netutil.h"
#include "rtl/Streams.h"
#include "rtl/SyncObjs.h"
#include "rtl/Unicode.h"
#include "tests/fixture/FtpFixture.h"

namespace {

using nettest::LoopbackServer;
using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// A free loopback port: bound, read and released again.
String UnusedPort() {
  TTCPBlockSocket s;
  s.Bind(u"127.0.0.1", u"0");
  const Integer p = s.GetLocalSinPort();
  s.CloseSocket();
  return nettest::AsciiText(std::to_string(p));
}

struct Connected {
  TTCPBlockSocket Client;
  explicit Connected(LoopbackServer& server, bool convertLineEnd = true) {
    Client.SetConvertLineEnd(convertLineEnd);
    Client.Connect(u"127.0.0.1", server.Port());
  }
};

TEST(BlockSocketLines, TolerantLineEndsAllArrivingTogether) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString("a\r\nb\nc\n\rd\r");
    c.RecvPacket(5000);  // until the client closes
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  ASSERT_EQ(t.Client.LastError(), 0) << UTF16ToUTF8(t.Client.LastErrorDesc());
  // Wait until all bytes are there so they are read as one packet.
  for (int i = 0; i < 100 && t.Client.WaitingData() < 10; ++i) SleepMs(10);
  EXPECT_EQ(t.Client.RecvString(2000), "a");
  EXPECT_EQ(t.Client.RecvString(2000), "b");
  EXPECT_EQ(t.Client.RecvString(2000), "c");
  EXPECT_EQ(t.Client.RecvString(2000), "d");
  EXPECT_EQ(t.Client.LastError(), 0);
  t.Client.CloseSocket();
}

TEST(BlockSocketLines, CrLfSplitAcrossPacketsGivesNoEmptyLine) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString("x\r");
    SleepMs(300);
    c.SendString("\ny\r\n");
    c.RecvPacket(5000);
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  EXPECT_EQ(t.Client.RecvString(3000), "x");
  EXPECT_EQ(t.Client.RecvString(3000), "y");
  EXPECT_EQ(t.Client.LastError(), 0);
  t.Client.CloseSocket();
}

TEST(BlockSocketLines, ExactTerminatorWithoutConversion) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString("a\nb\r\nhelloENDrest");
    c.RecvPacket(5000);
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server, false);
  EXPECT_EQ(t.Client.RecvString(2000), "a\nb");
  EXPECT_EQ(t.Client.RecvTerminated(2000, "END"), "hello");
  EXPECT_EQ(t.Client.LineBuffer(), "rest");
  EXPECT_EQ(t.Client.RecvTerminated(2000, ""), "");
  t.Client.CloseSocket();
}

TEST(BlockSocketLines, TerminatorSplitAcrossPackets) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString("helloE");
    SleepMs(200);
    c.SendString("NDrest");
    c.RecvPacket(5000);
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server, false);
  EXPECT_EQ(t.Client.RecvTerminated(3000, "END"), "hello");
  t.Client.CloseSocket();
}

TEST(BlockSocketErrors, PeerCloseKeepsTheUnfinishedLine) {
  LoopbackServer server([](TTCPBlockSocket& c) { c.SendString("abc"); });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  server.Join();
  EXPECT_EQ(t.Client.RecvString(3000), "");
  EXPECT_EQ(t.Client.LastError(), 10054);
  EXPECT_EQ(t.Client.LastErrorDesc(), u"Connection reset by peer");
  EXPECT_EQ(t.Client.LineBuffer(), "abc");
  // Reads after the close fail at once, not after the time-out.
  t.Client.SetLineBuffer("");
  const auto start = Clock::now();
  EXPECT_EQ(t.Client.RecvString(20000), "");
  EXPECT_EQ(t.Client.LastError(), 10054);
  EXPECT_LT(MsSince(start), 10000);
}

TEST(BlockSocketErrors, ShortFixedReadTimesOutAndConsumes) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString("xyz");
    c.RecvPacket(5000);
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  EXPECT_EQ(t.Client.RecvBufferStr(4, 500), "");
  EXPECT_EQ(t.Client.LastError(), 10060);
  EXPECT_EQ(t.Client.LastErrorDesc(), u"Connection timed out");
  EXPECT_EQ(t.Client.LineBuffer(), "");
  t.Client.CloseSocket();
}

TEST(BlockSocketErrors, TooLongLineIs10055) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString("0123456789ABCDEF\r\n");
    c.RecvPacket(5000);
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  t.Client.SetMaxLineLength(10);
  EXPECT_EQ(t.Client.RecvString(2000), "");
  EXPECT_EQ(t.Client.LastError(), 10055);
  EXPECT_EQ(t.Client.LastErrorDesc(), u"No Buffer space available");
  t.Client.CloseSocket();
}

TEST(BlockSocketErrors, ShortLinesFollowedByMoreDataAreNotTooLong) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString("abc\r\n" + AnsiString(100, 'z') + "\r\n");
    c.RecvPacket(5000);
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  t.Client.SetMaxLineLength(10);
  for (int i = 0; i < 100 && t.Client.WaitingData() < 107; ++i) SleepMs(10);
  EXPECT_EQ(t.Client.RecvString(2000), "abc");
  EXPECT_EQ(t.Client.LastError(), 0);
  EXPECT_EQ(t.Client.RecvString(2000), "");
  EXPECT_EQ(t.Client.LastError(), 10055);
  t.Client.CloseSocket();
}

TEST(BlockSocketErrors, ALineThatNeverEndsIsBoundedByDefault) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    const AnsiString chunk(64 * 1024, 'x');
    for (int i = 0; i < 40 && c.LastError() == 0; ++i) c.SendString(chunk);
    c.RecvPacket(10000);
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  ASSERT_EQ(t.Client.MaxLineLength(), 0);
  const auto start = Clock::now();
  EXPECT_EQ(t.Client.RecvString(20000), "");
  EXPECT_EQ(t.Client.LastError(), 10055);
  EXPECT_LT(MsSince(start), 15000);
  EXPECT_LE(t.Client.LineBuffer().size(), static_cast<std::size_t>(DefaultMaxLineLength) + 65536);
  t.Client.CloseSocket();
}

TEST(BlockSocketTimeouts, SilenceEndsALineReadWith10060) {
  LoopbackServer server([](TTCPBlockSocket& c) { c.RecvPacket(5000); });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  const auto start = Clock::now();
  EXPECT_EQ(t.Client.RecvString(300), "");
  EXPECT_EQ(t.Client.LastError(), 10060);
  EXPECT_LT(MsSince(start), 4000);
  t.Client.CloseSocket();
}

TEST(BlockSocketTimeouts, WithoutInterPacketTimeoutATricklingPeerStillTimesOut) {
  std::atomic<bool> done{false};
  LoopbackServer server([&](TTCPBlockSocket& c) {
    for (int i = 0; i < 60 && !done && c.LastError() == 0; ++i) {
      c.SendString("x");
      SleepMs(100);
    }
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  t.Client.SetInterPacketTimeout(false);
  const auto start = Clock::now();
  EXPECT_EQ(t.Client.RecvString(600), "");
  EXPECT_EQ(t.Client.LastError(), 10060);
  EXPECT_LT(MsSince(start), 3500);
  EXPECT_FALSE(t.Client.LineBuffer().empty());  // nothing received is lost
  done = true;
  t.Client.CloseSocket();
}

TEST(BlockSocketStop, StopFlagFromAnotherThreadEndsAWait) {
  LoopbackServer server([](TTCPBlockSocket& c) { c.RecvPacket(15000); });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  std::thread stopper([&] {
    SleepMs(200);
    t.Client.SetStopFlag(true);
  });
  const auto start = Clock::now();
  EXPECT_EQ(t.Client.RecvString(20000), "");
  stopper.join();
  EXPECT_EQ(t.Client.LastError(), 10053);
  EXPECT_EQ(t.Client.LastErrorDesc(), u"Software caused connection abort");
  EXPECT_FALSE(t.Client.StopFlag());
  EXPECT_LT(MsSince(start), 10000);
  t.Client.CloseSocket();
}

// A host that drops every packet: the connect ends at ConnectTimeout, or
// at a stop request, never waiting for the system's own time-out.
TEST(BlockSocketConnect, TimeOutAndStopRequestEndAConnectThatNeverCompletes) {
  FtpServer silent({.blackhole = true});
  silent.Start();
  const String port = nettest::AsciiText(std::to_string(silent.BlackholePort()));
  {
    SCOPED_TRACE("time-out");
    TTCPBlockSocket s;
    s.SetConnectTimeout(600);
    const auto start = Clock::now();
    s.Connect(u"127.0.0.1", port);
    EXPECT_EQ(s.LastError(), 10060);
    EXPECT_EQ(s.LastErrorDesc(), u"Connection timed out");
    EXPECT_LT(MsSince(start), 15000);
  }
  {
    SCOPED_TRACE("stop request already there");
    TTCPBlockSocket s;
    s.SetConnectTimeout(60000);
    s.Bind(u"127.0.0.1", u"0");  // the socket exists: creating it no longer clears the flag
    s.SetStopFlag(true);
    s.Connect(u"127.0.0.1", port);
    EXPECT_EQ(s.LastError(), 10053);
    EXPECT_FALSE(s.StopFlag());
  }
  {
    SCOPED_TRACE("stop request from another thread");
    TTCPBlockSocket s;
    s.SetConnectTimeout(60000);
    TSimpleEvent created;
    s.OnCreateSocket = [&](TObject*) { created.SetEvent(); };
    std::thread stopper([&] {
      created.WaitFor(30000);
      s.SetStopFlag(true);
    });
    const auto start = Clock::now();
    s.Connect(u"127.0.0.1", port);
    stopper.join();
    EXPECT_EQ(s.LastError(), 10053);
    EXPECT_LT(MsSince(start), 30000);
  }
}

TEST(BlockSocketStop, StopFlagBeforeASendSendsNothing) {
  AnsiString got;
  LoopbackServer server([&](TTCPBlockSocket& c) { got = c.RecvPacket(1500); });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  t.Client.SetStopFlag(true);
  t.Client.SendString("data");
  EXPECT_EQ(t.Client.LastError(), 10053);
  EXPECT_FALSE(t.Client.StopFlag());
  server.Join();
  EXPECT_EQ(got, "");
  t.Client.CloseSocket();
}

// Purge drops what has arrived without waiting; a peer that keeps sending
// would keep it dropping for ever. Past its limit the socket is closed and
// the error stays, so the caller sees a broken connection.
TEST(BlockSocketPurge, APeerThatNeverStopsSendingIsCutOff) {
  TTCPBlockSocket s;
  s.Bind(u"127.0.0.1", u"0");
  ASSERT_NE(s.Socket(), INVALID_SOCKET_HANDLE);
  s.SetLineBuffer("stale");
  {
    nettest::FloodingSocket flood(s.Socket());
    s.Purge();
  }
  EXPECT_EQ(s.LastError(), WirraErr::Flooded);
  EXPECT_EQ(s.LastErrorDesc(), u"No Buffer space available");
  EXPECT_EQ(s.Socket(), INVALID_SOCKET_HANDLE);
  EXPECT_GE(nettest::FloodingSocket::Received(), MaxPurgeBytes);
  EXPECT_LE(nettest::FloodingSocket::Received(), MaxPurgeBytes + 65536);
}

TEST(BlockSocketFraming, SizePrefixesInBothByteOrders) {
  AnsiString got;
  LoopbackServer server([&](TTCPBlockSocket& c) { got = c.RecvBufferStr(4 + 258 + 4 + 258 + 7 + 4, 5000); });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  TMemoryStream m;
  AnsiString data;
  for (int i = 0; i < 258; ++i) data += static_cast<char>(i & 0xFF);
  m.Write(data.data(), 258);
  m.SetPosition(0);
  t.Client.SendStream(&m);
  m.SetPosition(0);
  t.Client.SendStreamBigEndianSize(&m);
  t.Client.SendBlock("abc");
  t.Client.SendInteger(0x01020304);
  server.Join();
  ASSERT_EQ(got.size(), 4u + 258 + 4 + 258 + 7 + 4);
  EXPECT_EQ(got.substr(0, 4), AnsiString("\x02\x01\x00\x00", 4));
  EXPECT_EQ(got.substr(4, 258), data);
  EXPECT_EQ(got.substr(262, 4), AnsiString("\x00\x00\x01\x02", 4));
  EXPECT_EQ(got.substr(266, 258), data);
  EXPECT_EQ(got.substr(524, 7), AnsiString("\x03\x00\x00\x00"
                                           "abc",
                                           7));
  EXPECT_EQ(got.substr(531, 4), AnsiString("\x04\x03\x02\x01", 4));
  t.Client.CloseSocket();
}

TEST(BlockSocketFraming, EmptyStreamSendsTheSizeAlone) {
  AnsiString got;
  LoopbackServer server([&](TTCPBlockSocket& c) { got = c.RecvBufferStr(4, 5000); });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  TMemoryStream m;
  t.Client.SendStream(&m);
  server.Join();
  EXPECT_EQ(got, AnsiString(4, '\0'));
  t.Client.CloseSocket();
}

TEST(BlockSocketFraming, ReceivingStreamsBlocksAndIntegers) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString(
        AnsiString("\x05\x00\x00\x00"
                   "hello",
                   9));  // RecvStream
    c.SendString(
        AnsiString("\x00\x00\x00\x03"
                   "abc",
                   7));  // RecvStreamBigEndianSize
    c.SendString(
        AnsiString("\x02\x00\x00\x00"
                   "zz",
                   6));                               // RecvBlock
    c.SendString(AnsiString("\x04\x03\x02\x01", 4));  // RecvInteger
    c.SendString("Q");                                // RecvByte
    c.SendString("tail");                             // RecvStreamRaw until close
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server, false);
  TMemoryStream a, b, raw;
  t.Client.RecvStream(&a, 3000);
  EXPECT_EQ(a.Size(), 5);
  EXPECT_EQ(std::memcmp(a.Memory(), "hello", 5), 0);
  t.Client.RecvStreamBigEndianSize(&b, 3000);
  EXPECT_EQ(b.Size(), 3);
  EXPECT_EQ(std::memcmp(b.Memory(), "abc", 3), 0);
  EXPECT_EQ(t.Client.RecvBlock(3000), "zz");
  EXPECT_EQ(t.Client.RecvInteger(3000), 0x01020304);
  EXPECT_EQ(t.Client.RecvByte(3000), 'Q');
  t.Client.RecvStreamRaw(&raw, 3000);
  EXPECT_EQ(t.Client.LastError(), 10054);
  EXPECT_EQ(raw.Size(), 4);
  t.Client.CloseSocket();
}

TEST(BlockSocketFraming, AHugeAnnouncedBlockAllocatesOnlyWhatArrives) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString(
        AnsiString("\xFF\xFF\xFF\x7F"
                   "abc",
                   7));
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server, false);
  EXPECT_EQ(t.Client.RecvBlock(3000), "");
  EXPECT_EQ(t.Client.LastError(), 10054);
  t.Client.CloseSocket();
}

TEST(BlockSocketBandwidth, ASecondSendWaitsForItsSlot) {
  LoopbackServer server([](TTCPBlockSocket& c) { c.RecvBufferStr(4000, 5000); });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  std::vector<String> waits;
  t.Client.OnStatus = [&](TObject*, THookSocketReason r, const String& v) {
    if (r == HR_Wait) waits.push_back(v);
  };
  t.Client.SetMaxSendBandwidth(10000);
  t.Client.SendString(AnsiString(2000, 'a'));
  EXPECT_TRUE(waits.empty());
  const auto start = Clock::now();
  t.Client.SendString(AnsiString(2000, 'b'));
  ASSERT_EQ(waits.size(), 1u);
  const long long waited = std::stoll(UTF16ToUTF8(waits[0]));
  EXPECT_GT(waited, 0);
  EXPECT_LE(waited, 200);
  EXPECT_GE(MsSince(start), waited / 2);
  server.Join();
  t.Client.CloseSocket();
}

TEST(BlockSocketLifeCycle, BindToAnyCreatesNothingAndReportsNothing) {
  TTCPBlockSocket s;
  int statusCalls = 0;
  s.OnStatus = [&](TObject*, THookSocketReason, const String&) { ++statusCalls; };
  s.Bind(u"0.0.0.0", u"0");
  EXPECT_EQ(s.Socket(), INVALID_SOCKET_HANDLE);
  EXPECT_EQ(statusCalls, 0);
  EXPECT_EQ(s.LastError(), 0);
}

TEST(BlockSocketLifeCycle, ConnectStatusSequence) {
  LoopbackServer server([](TTCPBlockSocket& c) { c.RecvPacket(3000); });
  ASSERT_TRUE(server.Ok()) << server.Error();
  TTCPBlockSocket s;
  std::vector<std::pair<THookSocketReason, String>> log;
  s.OnStatus = [&](TObject* sender, THookSocketReason r, const String& v) {
    EXPECT_EQ(sender, &s);
    log.emplace_back(r, v);
  };
  bool afterConnect = false;
  s.OnAfterConnect = [&](TObject*) { afterConnect = true; };
  s.Connect(u"127.0.0.1", server.Port());
  ASSERT_EQ(s.LastError(), 0);
  EXPECT_TRUE(afterConnect);
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].first, HR_ResolvingBegin);
  EXPECT_EQ(log[0].second, u"127.0.0.1:" + server.Port());
  EXPECT_EQ(log[1].first, HR_ResolvingEnd);
  EXPECT_EQ(log[1].second, u"127.0.0.1:" + server.Port());
  EXPECT_EQ(log[2].first, HR_SocketCreate);
  EXPECT_EQ(log[2].second, u"IPv4");
  EXPECT_EQ(log[3].first, HR_Connect);
  EXPECT_EQ(s.GetRemoteSinIP(), u"127.0.0.1");
  EXPECT_EQ(s.GetRemoteSinPort(), server.PortNumber());
  EXPECT_EQ(s.GetLocalSinIP(), u"127.0.0.1");
  EXPECT_GT(s.GetLocalSinPort(), 0);
  EXPECT_EQ(s.Family(), SF_IP4);
  s.CloseSocket();
  EXPECT_EQ(s.Socket(), INVALID_SOCKET_HANDLE);
  EXPECT_EQ(s.Family(), SF_Any);
  EXPECT_EQ(log.back().first, HR_SocketClose);
}

TEST(BlockSocketLifeCycle, IPv6LiteralCreatesAnIPv6SocketAndCloseRestoresTheFamily) {
  LoopbackServer server([](TTCPBlockSocket& c) { c.RecvPacket(3000); }, u"::1");
  if (!server.Ok()) GTEST_SKIP() << "no IPv6 loopback here";
  TTCPBlockSocket s;
  s.Bind(u"0.0.0.0", u"0");
  EXPECT_EQ(s.Socket(), INVALID_SOCKET_HANDLE);
  s.Connect(u"::1", server.Port());
  ASSERT_EQ(s.LastError(), 0) << UTF16ToUTF8(s.LastErrorDesc());
  EXPECT_TRUE(s.IP6used());
  EXPECT_EQ(s.Family(), SF_IP6);
  EXPECT_EQ(s.GetRemoteSinIP(), u"::1");
  s.CloseSocket();
  EXPECT_EQ(s.Socket(), INVALID_SOCKET_HANDLE);
  EXPECT_EQ(s.Family(), SF_Any);
}

TEST(BlockSocketErrors, RefusedConnectRaisesWhenAsked) {
  const String port = UnusedPort();
  TTCPBlockSocket s;
  s.Connect(u"127.0.0.1", port);
  EXPECT_EQ(s.LastError(), 10061);
  EXPECT_EQ(s.LastErrorDesc(), u"Connection refused");
  s.CloseSocket();

  TTCPBlockSocket r;
  r.SetRaiseExcept(true);
  try {
    r.Connect(u"127.0.0.1", port);
    FAIL() << "no exception";
  } catch (const EWirraError& e) {
    EXPECT_EQ(e.Message(), u"Wirra TCP/IP Socket error 10061: Connection refused");
    EXPECT_EQ(e.ErrorCode(), 10061);
    EXPECT_EQ(e.ErrorMessage(), u"Connection refused");
  }
}

TEST(BlockSocketErrors, ErrorStatusCarriesCodeAndText) {
  const String port = UnusedPort();
  TTCPBlockSocket s;
  String error;
  s.OnStatus = [&](TObject*, THookSocketReason r, const String& v) {
    if (r == HR_Error) error = v;
  };
  s.Connect(u"127.0.0.1", port);
  EXPECT_EQ(error, u"10061,Connection refused");
}

TEST(BlockSocketOptions, LingerSetBeforeTheSocketIsAppliedAtCreation) {
  LoopbackServer server([](TTCPBlockSocket& c) { c.RecvPacket(3000); });
  ASSERT_TRUE(server.Ok()) << server.Error();
  TTCPBlockSocket s;
  s.SetLinger(true, 10000);
  s.SetSizeRecvBuffer(32768);
  s.Connect(u"127.0.0.1", server.Port());
  ASSERT_EQ(s.LastError(), 0);
  TLinger li;
  Integer len = sizeof(li);
  ASSERT_EQ(GetSockOpt(s.Socket(), Ws::SolSocket, Ws::SoLinger, &li, len), 0);
  EXPECT_EQ(li.l_onoff != 0, true);
  EXPECT_EQ(li.l_linger, 10);
  EXPECT_GE(s.SizeRecvBuffer(), 32768);
  s.SetLinger(false, 0);
  len = sizeof(li);
  ASSERT_EQ(GetSockOpt(s.Socket(), Ws::SolSocket, Ws::SoLinger, &li, len), 0);
  EXPECT_EQ(li.l_onoff, 0);
  s.CloseSocket();
}

TEST(BlockSocketOptions, SizeQueriesWithoutASocket) {
  TTCPBlockSocket s;
  EXPECT_EQ(s.SizeRecvBuffer(), 1024);
  EXPECT_EQ(s.SizeSendBuffer(), 1024);
}

TEST(BlockSocketHooks, ReadFilterAndMonitor) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString("hello\r\n");
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  AnsiString seenOut, seenIn;
  t.Client.OnMonitor = [&](TObject*, bool writing, const void* buf, Integer len) {
    (writing ? seenOut : seenIn).append(static_cast<const char*>(buf), static_cast<std::size_t>(len));
  };
  t.Client.OnReadFilter = [](TObject*, AnsiString& v) {
    for (char& c : v) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  };
  t.Client.SendString("ping");
  EXPECT_EQ(t.Client.RecvString(3000), "HELLO");
  EXPECT_EQ(seenOut, "ping");
  EXPECT_EQ(seenIn, "hello\r\n");
  EXPECT_EQ(t.Client.SendCounter(), 4);
  EXPECT_EQ(t.Client.RecvCounter(), 7);
  t.Client.CloseSocket();
}

TEST(BlockSocketWaiting, PurgePeekGroupAndHeartbeat) {
  LoopbackServer server([](TTCPBlockSocket& c) {
    c.SendString("junk");
    c.RecvTerminated(5000, "go");
    c.SendString("P");
    c.RecvPacket(5000);
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  for (int i = 0; i < 100 && t.Client.WaitingData() < 4; ++i) SleepMs(10);
  EXPECT_TRUE(t.Client.CanReadEx(0));
  t.Client.Purge();
  EXPECT_EQ(t.Client.WaitingDataEx(), 0);
  EXPECT_EQ(t.Client.LastError(), 0);

  int beats = 0;
  t.Client.SetHeartbeatRate(50);
  t.Client.OnHeartbeat = [&](TObject*) { ++beats; };
  EXPECT_FALSE(t.Client.CanRead(300));
  EXPECT_GE(beats, 2);
  t.Client.SetHeartbeatRate(0);

  t.Client.SendString("go");
  EXPECT_EQ(t.Client.PeekByte(3000), 'P');
  EXPECT_EQ(t.Client.WaitingData(), 1);
  std::vector<TObject*> group{&t.Client};
  std::vector<TBlockSocket*> ready;
  EXPECT_TRUE(t.Client.GroupCanRead(group, 1000, ready));
  ASSERT_EQ(ready.size(), 1u);
  EXPECT_EQ(ready[0], &t.Client);
  EXPECT_EQ(t.Client.RecvPacket(1000), "P");
  t.Client.CloseSocket();
}

TEST(BlockSocketClose, GracefulCloseLetsThePeerSeeTheEnd) {
  AnsiString got;
  Integer endError = 0;
  LoopbackServer server([&](TTCPBlockSocket& c) {
    TMemoryStream m;
    c.RecvStreamRaw(&m, 5000);
    endError = c.LastError();
    got.assign(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
  });
  ASSERT_TRUE(server.Ok()) << server.Error();
  Connected t(server);
  TMemoryStream src;
  const AnsiString payload(200000, 'q');
  src.Write(payload.data(), static_cast<Integer>(payload.size()));
  src.SetPosition(0);
  t.Client.SendStreamRaw(&src);
  EXPECT_EQ(t.Client.LastError(), 0);
  t.Client.CloseSocket();
  server.Join();
  EXPECT_EQ(endError, 10054);
  EXPECT_EQ(got, payload);
}

TEST(BlockSocketClose, OperationsOnAClosedSocketFailAtOnce) {
  TTCPBlockSocket s;
  const auto start = Clock::now();
  EXPECT_EQ(s.RecvString(5000), "");
  EXPECT_NE(s.LastError(), 0);
  EXPECT_LT(MsSince(start), 4000);
}

TEST(TcpSocketTls, TheDefaultPlugInHasNoTls) {
  TTCPBlockSocket s;
  ASSERT_NE(s.SSL(), nullptr);
  EXPECT_EQ(s.SSL()->LibName(), u"ssl_none");
  EXPECT_EQ(s.SSL()->LibVersion(), u"Without SSL support");
  EXPECT_FALSE(s.SSL()->SSLEnabled());
  EXPECT_EQ(s.GetSocketType(), 1);
  EXPECT_EQ(s.GetSocketProtocol(), 6);
  s.SSLDoConnect();
  EXPECT_EQ(s.LastError(), 10091);
  EXPECT_EQ(s.LastErrorDesc(), u"SSL/TLS support is not compiled!");
  EXPECT_FALSE(s.SSLAcceptConnection());
  EXPECT_EQ(s.SSL()->GetVerifyCert(), 1);
  EXPECT_EQ(s.SSL()->GetPeerSerialNo(), -1);

  TTCPBlockSocket other;
  other.SSL()->SNIHost = u"example";
  other.SSL()->VerifyCert = true;
  other.SSL()->SSHChannelType = u"not copied";
  s.SSL()->Assign(*other.SSL());
  EXPECT_EQ(s.SSL()->SNIHost, u"example");
  EXPECT_TRUE(s.SSL()->VerifyCert);
  EXPECT_EQ(s.SSL()->SSHChannelType, u"");
}

TEST(BlockSocketNames, LocalNameAndResolving) {
  TTCPBlockSocket s;
  EXPECT_FALSE(s.LocalName().empty());
  EXPECT_EQ(s.ResolveName(u"127.0.0.1"), u"127.0.0.1");
  EXPECT_EQ(s.ResolvePort(u"2121"), 2121);
  EXPECT_FALSE(s.ResolveIPToName(u"127.0.0.1").empty());
}

}  // namespace
