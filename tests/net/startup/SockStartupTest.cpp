// The process-wide start of the socket library, in a process of its own: the
// library is loaded once per process, so a failed first load can only be
// seen before anything else has used sockets.
#include <gtest/gtest.h>

#include "net/blcksock.h"
#include "net/sockapi.h"

namespace {

TEST(SocketStartUp, AMissingLibraryRaisesTheLoadErrorAndLeavesNothingLoaded) {
  ASSERT_EQ(SocketLibraryLoadCount(), 0);
  TWSAData data;
  try {
    StartSocketLibrary(u"quorvel_no_such_socket_library.dll", data);
    FAIL() << "no exception";
  } catch (const EWirraError& e) {
    EXPECT_EQ(e.Message(), u"Error loading Socket interface (ws2_32.dll)!");
    EXPECT_EQ(e.ErrorCode(), 0);
    EXPECT_EQ(e.ErrorMessage(), e.Message());
  }
  EXPECT_EQ(SocketLibraryLoadCount(), 0);
  EXPECT_EQ(SocketFunctions.socket, nullptr);
}

TEST(SocketStartUp, TheFirstSocketStartsTheLibraryOnce) {
  {
    TTCPBlockSocket s;
    EXPECT_EQ(SocketLibraryLoadCount(), 1);
    EXPECT_EQ(s.WSAData().wVersion, 0x0202);
    s.Bind(u"127.0.0.1", u"0");
    EXPECT_EQ(s.LastError(), 0);
    EXPECT_GT(s.GetLocalSinPort(), 0);
  }
  TTCPBlockSocket again;
  EXPECT_EQ(SocketLibraryLoadCount(), 1);
}

}  // namespace
