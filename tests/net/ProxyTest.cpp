// SOCKS 4, 4a and 5 and HTTP CONNECT: byte-exact exchanges against tiny
// in-test proxies on loopback. Each proxy checks what the client sent and
// answers from a script; after a granted request it plays the target server.
#include <gtest/gtest.h>

#include "LoopbackServer.h"
#include "net/blcksock.h"
#include "net/netutil.h"
#include "rtl/Unicode.h"

namespace {

using nettest::LoopbackServer;
using nettest::ReadExactly;

AnsiString B(std::initializer_list<int> bytes) {
  AnsiString s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

// Reads a request line by line until the empty line; returns it whole.
AnsiString ReadHttpRequest(TTCPBlockSocket& c) {
  AnsiString all;
  for (int i = 0; i < 20; ++i) {
    const AnsiString line = c.RecvTerminated(5000, "\r\n");
    if (c.LastError() != 0) break;
    all += line + "\r\n";
    if (line.empty()) break;
  }
  return all;
}

struct Socks5Target {
  TTCPBlockSocket Client;
  explicit Socks5Target(LoopbackServer& proxy) {
    Client.SetSocksIP(u"127.0.0.1");
    Client.SetSocksPort(proxy.Port());
    Client.SetSocksTimeout(5000);
  }
};

TEST(Socks5, NameWithoutUserIsSentForTheProxyToResolve) {
  AnsiString greeting, request;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    greeting = ReadExactly(c, 3);
    c.SendString(B({5, 0}));
    request = ReadExactly(c, 4 + 1 + 7 + 2);
    c.SendString(B({5, 0, 0, 1, 10, 0, 0, 1, 4, 1}));
    c.SendString("220 hi\r\n");
    c.RecvPacket(5000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  bool after = false;
  t.Client.OnAfterConnect = [&](TObject*) { after = true; };
  t.Client.SetConvertLineEnd(true);
  t.Client.Connect(u"example", u"21");
  ASSERT_EQ(t.Client.LastError(), 0) << UTF16ToUTF8(t.Client.LastErrorDesc());
  EXPECT_EQ(greeting, B({5, 1, 0}));
  EXPECT_EQ(request, B({5, 1, 0, 3, 7}) + "example" + B({0, 21}));
  EXPECT_TRUE(after);
  EXPECT_TRUE(t.Client.UsingSocks());
  EXPECT_EQ(t.Client.SocksLastError(), 0);
  EXPECT_EQ(t.Client.GetLocalSinIP(), u"10.0.0.1");
  EXPECT_EQ(t.Client.GetLocalSinPort(), 1025);
  EXPECT_EQ(t.Client.GetRemoteSinIP(), u"example");
  EXPECT_EQ(t.Client.GetRemoteSinPort(), 21);
  EXPECT_EQ(t.Client.RecvString(5000), "220 hi");
  t.Client.CloseSocket();
}

TEST(Socks5, UserAndPasswordThenAnIPv4Target) {
  AnsiString greeting, auth, request;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    greeting = ReadExactly(c, 4);
    c.SendString(B({5, 2}));
    auth = ReadExactly(c, 1 + 1 + 4 + 1 + 4);
    c.SendString(B({1, 0}));
    request = ReadExactly(c, 10);
    c.SendString(B({5, 0, 0, 3, 4}) + "prox" + B({0x13, 0x88}));
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.SetSocksUsername(u"user");
  t.Client.SetSocksPassword(u"pass");
  t.Client.Connect(u"10.1.2.3", u"21");
  ASSERT_EQ(t.Client.LastError(), 0) << UTF16ToUTF8(t.Client.LastErrorDesc());
  EXPECT_EQ(greeting, B({5, 2, 2, 0}));
  EXPECT_EQ(auth, B({1, 4}) + "user" + B({4}) + "pass");
  EXPECT_EQ(request, B({5, 1, 0, 1, 10, 1, 2, 3, 0, 21}));
  EXPECT_EQ(t.Client.SocksResponseIP(), u"prox");
  EXPECT_EQ(t.Client.SocksResponsePort(), u"5000");
  t.Client.CloseSocket();
}

TEST(Socks5, AnIPv6TargetIsSentAsSixteenBytes) {
  AnsiString request;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadExactly(c, 3);
    c.SendString(B({5, 0}));
    request = ReadExactly(c, 4 + 16 + 2);
    c.SendString(B({5, 0, 0, 4, 0x20, 1, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 80}));
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.Connect(u"2001:db8::1", u"443");
  ASSERT_EQ(t.Client.LastError(), 0) << UTF16ToUTF8(t.Client.LastErrorDesc());
  EXPECT_EQ(request, B({5, 1, 0, 4, 0x20, 1, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0xBB}));
  EXPECT_EQ(t.Client.SocksResponseIP(), u"2001:db8::1");
  EXPECT_EQ(t.Client.SocksResponsePort(), u"80");
  t.Client.CloseSocket();
}

TEST(Socks5, RefusedAuthenticationIs10091) {
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadExactly(c, 4);
    c.SendString(B({5, 2}));
    ReadExactly(c, 1 + 1 + 1 + 1 + 1);
    c.SendString(B({1, 1}));
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.SetSocksUsername(u"u");
  t.Client.SetSocksPassword(u"p");
  t.Client.Connect(u"example", u"21");
  EXPECT_EQ(t.Client.LastError(), 10091);
  EXPECT_EQ(t.Client.LastErrorDesc(), u"Network subsystem is unusable");
  EXPECT_FALSE(t.Client.UsingSocks());
}

TEST(Socks5, ARefusedRequestKeepsTheProxyCode) {
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadExactly(c, 3);
    c.SendString(B({5, 0}));
    ReadExactly(c, 10);
    c.SendString(B({5, 5, 0, 1, 0, 0, 0, 0, 0, 0}));
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.Connect(u"10.1.2.3", u"21");
  EXPECT_EQ(t.Client.LastError(), 10091);
  EXPECT_EQ(t.Client.SocksLastError(), 5);
}

TEST(Socks5, ALongUserNameOrPasswordIsRefusedNotCut) {
  struct Case {
    AnsiString user, pass;
  } cases[] = {{AnsiString(256, 'u'), "p"}, {"u", AnsiString(256, 'p')}};
  for (const auto& c : cases) {
    AnsiString seen = "unset";
    LoopbackServer proxy([&](TTCPBlockSocket& conn) { seen = conn.RecvPacket(1500); });
    ASSERT_TRUE(proxy.Ok()) << proxy.Error();
    Socks5Target t(proxy);
    t.Client.SetSocksUsername(UTF8ToUTF16(c.user));
    t.Client.SetSocksPassword(UTF8ToUTF16(c.pass));
    t.Client.Connect(u"example", u"21");
    EXPECT_EQ(t.Client.LastError(), 10091);
    t.Client.CloseSocket();
    proxy.Join();
    EXPECT_EQ(seen, "") << "nothing may be sent for a name or password that does not fit";
  }
}

TEST(Socks5, The255ByteLimitItselfIsAccepted) {
  AnsiString auth;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadExactly(c, 4);
    c.SendString(B({5, 2}));
    auth = ReadExactly(c, 1 + 1 + 255 + 1 + 255);
    c.SendString(B({1, 0}));
    ReadExactly(c, 10);
    c.SendString(B({5, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.SetSocksUsername(String(255, u'u'));
  t.Client.SetSocksPassword(String(255, u'p'));
  t.Client.Connect(u"10.1.2.3", u"21");
  EXPECT_EQ(t.Client.LastError(), 0);
  EXPECT_EQ(auth, B({1, 255}) + AnsiString(255, 'u') + B({255}) + AnsiString(255, 'p'));
  t.Client.CloseSocket();
}

TEST(Socks5, ALongHostNameIsRefused) {
  AnsiString request = "unset";
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadExactly(c, 3);
    c.SendString(B({5, 0}));
    request = c.RecvPacket(1500);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.Connect(String(256, u'h'), u"21");
  EXPECT_EQ(t.Client.LastError(), 10091);
  t.Client.CloseSocket();
  proxy.Join();
  EXPECT_EQ(request, "");
}

TEST(Socks5, LocalResolutionSendsTheAddress) {
  AnsiString request;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadExactly(c, 3);
    c.SendString(B({5, 0}));
    request = ReadExactly(c, 10);
    c.SendString(B({5, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.SetSocksResolver(false);
  t.Client.Connect(u"127.0.0.1", u"2121");
  EXPECT_EQ(t.Client.LastError(), 0);
  EXPECT_EQ(request, B({5, 1, 0, 1, 127, 0, 0, 1, 0x08, 0x49}));
  t.Client.CloseSocket();
}

TEST(Socks5, ListenAndAcceptThroughTheProxy) {
  AnsiString request;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadExactly(c, 3);
    c.SendString(B({5, 0}));
    request = ReadExactly(c, 10);
    c.SendString(B({5, 0, 0, 1, 0, 0, 0, 0, 0x13, 0x88}));
    SleepMs(100);
    c.SendString(B({5, 0, 0, 1, 192, 0, 2, 1, 0x13, 0x89}));
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.Bind(u"127.0.0.1", u"0");
  const Integer localPort = t.Client.GetLocalSinPort();
  t.Client.Listen();
  ASSERT_EQ(t.Client.LastError(), 0) << UTF16ToUTF8(t.Client.LastErrorDesc());
  EXPECT_EQ(request, B({5, 2, 0, 1, 127, 0, 0, 1, localPort >> 8, localPort & 0xFF}));
  EXPECT_EQ(t.Client.GetLocalSinIP(), u"127.0.0.1");  // the proxy's own address for 0.0.0.0
  EXPECT_EQ(t.Client.GetLocalSinPort(), 5000);
  const TSocket h = t.Client.Accept();
  EXPECT_EQ(h, t.Client.Socket());
  EXPECT_EQ(t.Client.LastError(), 0);
  EXPECT_EQ(t.Client.GetRemoteSinIP(), u"192.0.2.1");
  EXPECT_EQ(t.Client.GetRemoteSinPort(), 5001);
  t.Client.CloseSocket();
}

TEST(Socks5, ARefusedBindIs11003) {
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadExactly(c, 3);
    c.SendString(B({5, 0}));
    ReadExactly(c, 10);
    c.SendString(B({5, 7, 0, 1, 0, 0, 0, 0, 0, 0}));
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.Bind(u"127.0.0.1", u"0");
  t.Client.Listen();
  EXPECT_EQ(t.Client.LastError(), 11003);
  EXPECT_EQ(t.Client.LastErrorDesc(), u"Non recoverable error");
}

TEST(Socks4, AnIPv4TargetWithAUserId) {
  AnsiString request;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    request = ReadExactly(c, 10);
    c.SendString(B({0, 0x5A, 0, 0, 0, 0, 0, 0}));
    c.SendString("220 ok\r\n");
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.SetSocksType(ST_Socks4);
  t.Client.SetSocksUsername(u"u");
  t.Client.Connect(u"10.1.2.3", u"21");
  ASSERT_EQ(t.Client.LastError(), 0) << UTF16ToUTF8(t.Client.LastErrorDesc());
  EXPECT_EQ(request, B({4, 1, 0, 0x15, 0x0A, 1, 2, 3}) + "u" + B({0}));
  EXPECT_EQ(t.Client.SocksLastError(), 90);
  EXPECT_EQ(t.Client.RecvString(3000), "220 ok");
  t.Client.CloseSocket();
}

TEST(Socks4, AHostNameUsesThe4aForm) {
  AnsiString request;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    request = ReadExactly(c, 8 + 2 + 8);
    c.SendString(B({0, 0x5A, 0, 21, 10, 0, 0, 9}));
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.SetSocksType(ST_Socks4);
  t.Client.SetSocksUsername(u"u");
  t.Client.Connect(u"example", u"21");
  ASSERT_EQ(t.Client.LastError(), 0);
  EXPECT_EQ(request, B({4, 1, 0, 21, 0, 0, 0, 1}) + "u" + B({0}) + "example" + B({0}));
  EXPECT_EQ(t.Client.SocksResponseIP(), u"10.0.0.9");
  EXPECT_EQ(t.Client.SocksResponsePort(), u"21");
  t.Client.CloseSocket();
}

TEST(Socks4, ARejectedRequestIs10091) {
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadExactly(c, 9);
    c.SendString(B({0, 0x5B, 0, 0, 0, 0, 0, 0}));
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  Socks5Target t(proxy);
  t.Client.SetSocksType(ST_Socks4);
  t.Client.Connect(u"10.1.2.3", u"21");
  EXPECT_EQ(t.Client.LastError(), 10091);
  EXPECT_EQ(t.Client.SocksLastError(), 91);
}

TEST(SocksProxy, AnUnreachableProxyKeepsTheSocketError) {
  TTCPBlockSocket probe;
  probe.Bind(u"127.0.0.1", u"0");
  const String port = nettest::AsciiText(std::to_string(probe.GetLocalSinPort()));
  probe.CloseSocket();
  TTCPBlockSocket s;
  s.SetSocksIP(u"127.0.0.1");
  s.SetSocksPort(port);
  s.Connect(u"example", u"21");
  EXPECT_EQ(s.LastError(), 10061);
}

struct TunnelClient {
  TTCPBlockSocket Client;
  explicit TunnelClient(LoopbackServer& proxy) {
    Client.SetHTTPTunnelIP(u"127.0.0.1");
    Client.SetHTTPTunnelPort(proxy.Port());
    Client.SetHTTPTunnelTimeout(5000);
    Client.SetConvertLineEnd(true);
  }
};

TEST(HttpTunnel, ConnectOpensTheTunnel) {
  AnsiString request;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    request = ReadHttpRequest(c);
    c.SendString("HTTP/1.0 200 Connection established\r\nProxy-agent: test\r\n\r\n220 ready\r\n");
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  TunnelClient t(proxy);
  bool after = false;
  t.Client.OnAfterConnect = [&](TObject*) { after = true; };
  t.Client.Connect(u"example", u"21");
  ASSERT_EQ(t.Client.LastError(), 0) << UTF16ToUTF8(t.Client.LastErrorDesc());
  EXPECT_EQ(request, "CONNECT example:21 HTTP/1.0\r\n\r\n");
  EXPECT_TRUE(t.Client.HTTPTunnel());
  EXPECT_TRUE(after);
  EXPECT_EQ(t.Client.GetRemoteSinIP(), u"example");
  EXPECT_EQ(t.Client.GetRemoteSinPort(), 21);
  EXPECT_EQ(t.Client.RecvString(3000), "220 ready");
  t.Client.CloseSocket();
}

TEST(HttpTunnel, CredentialsAndIPv6Literal) {
  AnsiString request;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    request = ReadHttpRequest(c);
    c.SendString("HTTP/1.1 200 OK\r\n\r\n");
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  TunnelClient t(proxy);
  t.Client.SetHTTPTunnelUser(u"user");
  t.Client.SetHTTPTunnelPass(u"pass");
  t.Client.Connect(u"::1", u"2121");
  ASSERT_EQ(t.Client.LastError(), 0);
  EXPECT_EQ(request, "CONNECT [::1]:2121 HTTP/1.0\r\nProxy-Authorization: Basic dXNlcjpwYXNz\r\n\r\n");
  t.Client.CloseSocket();
}

TEST(HttpTunnel, AStatusOtherThan2xxIs10091) {
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadHttpRequest(c);
    c.SendString("HTTP/1.0 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n");
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  TunnelClient t(proxy);
  t.Client.Connect(u"example", u"21");
  EXPECT_EQ(t.Client.LastError(), 10091);
  EXPECT_FALSE(t.Client.HTTPTunnel());
}

TEST(HttpTunnel, AnAnswerWithBareLineFeeds) {
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    ReadHttpRequest(c);
    c.SendString("HTTP/1.0 200 OK\nX: y\n\n");
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  TunnelClient t(proxy);
  t.Client.Connect(u"example", u"21");
  EXPECT_EQ(t.Client.LastError(), 0);
  EXPECT_TRUE(t.Client.HTTPTunnel());
  t.Client.CloseSocket();
}

TEST(HttpTunnel, ALineEndInTheHostIsRefusedBeforeSending) {
  AnsiString seen = "unset";
  LoopbackServer proxy([&](TTCPBlockSocket& c) { seen = c.RecvPacket(1500); });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  TunnelClient t(proxy);
  t.Client.Connect(u"evil\r\nX-Injected: 1", u"21");
  EXPECT_EQ(t.Client.LastError(), 10091);
  t.Client.CloseSocket();
  proxy.Join();
  EXPECT_EQ(seen, "");
}

TEST(HttpTunnel, AServiceNameIsSentAsItsNumber) {
  TTCPBlockSocket probe;
  if (probe.ResolvePort(u"ftp") != 21) GTEST_SKIP() << "no service database entry for ftp";
  AnsiString request;
  LoopbackServer proxy([&](TTCPBlockSocket& c) {
    request = ReadHttpRequest(c);
    c.SendString("HTTP/1.0 200 OK\r\n\r\n");
    c.RecvPacket(3000);
  });
  ASSERT_TRUE(proxy.Ok()) << proxy.Error();
  TunnelClient t(proxy);
  t.Client.Connect(u"example", u"ftp");
  EXPECT_EQ(request, "CONNECT example:21 HTTP/1.0\r\n\r\n");
  t.Client.CloseSocket();
}

}  // namespace
