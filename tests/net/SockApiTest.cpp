#include <gtest/gtest.h>

#include <cstring>

#include "net/blcksock.h"
#include "net/sockapi.h"

namespace {

struct Loaded : ::testing::Test {
  void SetUp() override { InitSocketInterface(); }
};

using SockApi = Loaded;

TEST_F(SockApi, LoadIsCountedAndTheTableStays) {
  const Integer before = SocketLibraryLoadCount();
  ASSERT_GE(before, 1);
  EXPECT_TRUE(LoadSocketLibrary());
  EXPECT_EQ(SocketLibraryLoadCount(), before + 1);
  EXPECT_TRUE(UnloadSocketLibrary());
  EXPECT_EQ(SocketLibraryLoadCount(), before);
  EXPECT_NE(SocketFunctions.socket, nullptr);
  EXPECT_NE(SocketFunctions.select, nullptr);
  EXPECT_TRUE(EnhancedResolverAvailable || IPv6HelperResolverAvailable);
}

TEST_F(SockApi, WSADataFilledByTheStartUp) {
  TBlockSocket s;
  EXPECT_EQ(s.WSAData().wVersion, 0x0202);
}

Integer FailingStartup(Word, TWSAData&) { return Wsa::SysNotReady; }

TEST_F(SockApi, AFailedWSAStartupIsReportedNotIgnored) {
  const Integer before = SocketLibraryLoadCount();
  const auto saved = SocketFunctions.WSAStartup;
  SocketFunctions.WSAStartup = FailingStartup;
  TWSAData data;
  try {
    StartSocketLibrary(String(), data);
    ADD_FAILURE() << "no exception";
  } catch (const EWirraError& e) {
    EXPECT_EQ(e.ErrorCode(), 10091);
    EXPECT_EQ(e.ErrorMessage(), u"Network subsystem is unusable");
    EXPECT_EQ(e.Message(), u"Wirra TCP/IP Socket error 10091: Network subsystem is unusable");
  }
  SocketFunctions.WSAStartup = saved;
  EXPECT_EQ(SocketLibraryLoadCount(), before);
}

TEST(SockApiFdSet, HoldsAtMost64Sockets) {
  TFDSet set;
  FD_Zero(set);
  for (TSocket s = 1; s <= 70; ++s) FD_Add(s, set);
  EXPECT_EQ(set.fd_count, 64u);
  EXPECT_TRUE(FD_Contains(64, set));
  EXPECT_FALSE(FD_Contains(65, set));
  FD_Remove(10, set);
  EXPECT_EQ(set.fd_count, 63u);
  EXPECT_FALSE(FD_Contains(10, set));
  FD_Add(64, set);
  EXPECT_EQ(set.fd_count, 63u);
}

TEST(SockApiSin, AddressLengthRule) {
  TVarSin sin;
  EXPECT_EQ(SizeOfVarSin(sin), 0);
  sin.AddressFamily = Ws::AfInet;
  EXPECT_EQ(SizeOfVarSin(sin), 16);
  sin.AddressFamily = Ws::AfInet6;
  EXPECT_EQ(SizeOfVarSin(sin), 28);
}

TEST_F(SockApi, FillSockAddrAnyAndLoopback) {
  TVarSin sin;
  ASSERT_EQ(FillSockAddr(sin, "0.0.0.0", "0", true, Ws::SockStream, Ws::IpprotoTcp, Ws::AfInet), 0);
  EXPECT_EQ(sin.AddressFamily, Ws::AfInet);
  EXPECT_EQ(GetSinPort(sin), 0);
  EXPECT_EQ(GetSinIP(sin), "0.0.0.0");

  ASSERT_EQ(FillSockAddr(sin, "127.0.0.1", "21", true, Ws::SockStream, Ws::IpprotoTcp, Ws::AfUnspec), 0);
  EXPECT_EQ(sin.AddressFamily, Ws::AfInet);
  EXPECT_EQ(GetSinPort(sin), 21);
  EXPECT_EQ(GetSinIP(sin), "127.0.0.1");

  ASSERT_EQ(FillSockAddr(sin, "::1", "21", true, Ws::SockStream, Ws::IpprotoTcp, Ws::AfInet6), 0);
  EXPECT_EQ(sin.AddressFamily, Ws::AfInet6);
  EXPECT_EQ(GetSinPort(sin), 21);
  EXPECT_EQ(0, std::memcmp(sin.sin6_addr, IPv6LoopbackAddress, 16));
  EXPECT_EQ(GetSinIP(sin), "::1");

  ASSERT_EQ(FillSockAddr(sin, "192.0.2.7", "2121", true, Ws::SockStream, Ws::IpprotoTcp, Ws::AfUnspec), 0);
  EXPECT_EQ(GetSinIP(sin), "192.0.2.7");
  EXPECT_EQ(GetSinPort(sin), 2121);
}

TEST_F(SockApi, AnIPv6OnlyLiteralResolvesOnTheSecondAttempt) {
  TVarSin sin;
  ASSERT_EQ(FillSockAddr(sin, "2001:db8::5", "80", true, Ws::SockStream, Ws::IpprotoTcp, Ws::AfUnspec), 0);
  EXPECT_EQ(sin.AddressFamily, Ws::AfInet6);
  EXPECT_EQ(GetSinIP(sin), "2001:db8::5");
}

TEST_F(SockApi, AnUnknownHostGivesAResolverCode) {
  TVarSin sin;
  const Integer r = FillSockAddr(sin, "no-such-host.invalid", "21", true, Ws::SockStream, Ws::IpprotoTcp, Ws::AfUnspec);
  EXPECT_GE(r, 11001);
  EXPECT_LE(r, 11004);
}

TEST_F(SockApi, PortTexts) {
  EXPECT_EQ(ResolvePort("2121", Ws::AfInet, Ws::IpprotoTcp, Ws::SockStream), 2121);
  EXPECT_EQ(ResolvePort("abc", Ws::AfInet, Ws::IpprotoTcp, Ws::SockStream), 0);
  const Word ftp = ResolvePort("ftp", Ws::AfInet, Ws::IpprotoTcp, Ws::SockStream);
  if (ftp == 0) GTEST_SKIP() << "this machine has no service database entry for ftp";
  EXPECT_EQ(ftp, 21);
}

TEST_F(SockApi, NamesToAddresses) {
  std::vector<AnsiString> list;
  ResolveNameToIP("127.0.0.1", Ws::AfInet, Ws::IpprotoTcp, Ws::SockStream, list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0], "127.0.0.1");
  ResolveNameToIP("no-such-host.invalid", Ws::AfUnspec, Ws::IpprotoTcp, Ws::SockStream, list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0], "0.0.0.0");
  EXPECT_FALSE(LocalHostName().empty());
}

TEST(SockApiErrors, DescriptionsFromTheFixedTable) {
  EXPECT_EQ(TBlockSocket::GetErrorDesc(0), u"");
  EXPECT_EQ(TBlockSocket::GetErrorDesc(10053), u"Software caused connection abort");
  EXPECT_EQ(TBlockSocket::GetErrorDesc(10054), u"Connection reset by peer");
  EXPECT_EQ(TBlockSocket::GetErrorDesc(10055), u"No Buffer space available");
  EXPECT_EQ(TBlockSocket::GetErrorDesc(10060), u"Connection timed out");
  EXPECT_EQ(TBlockSocket::GetErrorDesc(10061), u"Connection refused");
  EXPECT_EQ(TBlockSocket::GetErrorDesc(10091), u"Network subsystem is unusable");
  EXPECT_EQ(TBlockSocket::GetErrorDesc(11004), u"Valid name, no data record of requested type");
  EXPECT_EQ(TBlockSocket::GetErrorDesc(12345), u"Other Winsock error (12345)");
}

}  // namespace
