// Socket against real loopback servers running on a thread of the test.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Socket.h"

using tv::platform::AddressFamily;
using tv::platform::Socket;
using tv::platform::SocketError;

namespace {

// A listening socket on a loopback address; Serve() runs `session` on a thread for one accepted
// connection and closes it afterwards.
class LoopbackServer {
 public:
  explicit LoopbackServer(bool ipv6 = false) {
    fd_ = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0) return;
    int one = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    int rc;
    if (ipv6) {
      sockaddr_in6 a{};
      a.sin6_family = AF_INET6;
      a.sin6_addr = in6addr_loopback;
      rc = ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
      socklen_t len = sizeof a;
      if (rc == 0) rc = ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
      port_ = ntohs(a.sin6_port);
    } else {
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      rc = ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
      socklen_t len = sizeof a;
      if (rc == 0) rc = ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
      port_ = ntohs(a.sin_port);
    }
    if (rc != 0 || ::listen(fd_, 4) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~LoopbackServer() {
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  std::uint16_t port() const { return port_; }

  void Serve(std::function<void(int)> session) {
    thread_ = std::thread([this, session = std::move(session)] {
      int c = ::accept(fd_, nullptr, nullptr);
      if (c < 0) return;
      session(c);
      ::close(c);
    });
  }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
  std::thread thread_;
};

std::string ReadAll(int fd) {
  std::string out;
  char buf[65536];
  ssize_t n;
  while ((n = ::recv(fd, buf, sizeof buf, 0)) > 0) out.append(buf, static_cast<std::size_t>(n));
  return out;
}

void WriteAll(int fd, const std::string& s) {
  std::size_t done = 0;
  while (done < s.size()) {
    ssize_t n = ::send(fd, s.data() + done, s.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

std::string ReceiveUntilClosed(Socket& s) {
  std::string out;
  char buf[4096];
  for (;;) {
    auto n = s.Receive(buf, sizeof buf);
    if (!n || *n == 0) break;
    out.append(buf, *n);
  }
  return out;
}

}  // namespace

TEST(SocketTest, ExchangesBytesBothWaysAndSeesOrderlyClose) {
  for (const char* host : {"127.0.0.1", "localhost"}) {
    LoopbackServer server;
    ASSERT_TRUE(server.ok());
    std::string received;
    server.Serve([&](int c) {
      char buf[5];
      std::size_t got = 0;
      while (got < sizeof buf) {
        ssize_t n = ::recv(c, buf + got, sizeof buf - got, 0);
        if (n <= 0) return;
        got += static_cast<std::size_t>(n);
      }
      received.assign(buf, got);
      WriteAll(c, "world!");
    });
    auto s = Socket::Connect(host, server.port(), AddressFamily::IPv4);
    ASSERT_TRUE(s.ok()) << host;
    auto sent = s->Send("hello", 5);
    ASSERT_TRUE(sent.ok());
    EXPECT_EQ(*sent, 5u);
    EXPECT_EQ(ReceiveUntilClosed(*s), "world!");
    // After the orderly close, Receive keeps answering 0.
    char c;
    auto again = s->Receive(&c, 1);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(*again, 0u);
    server.Join();
    EXPECT_EQ(received, "hello") << host;
  }
}

TEST(SocketTest, SendDeliversLargeBuffersCompletelyToASlowReader) {
  LoopbackServer server;
  ASSERT_TRUE(server.ok());
  std::string data(8 * 1024 * 1024, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 131 + i / 7);
  std::string got;
  server.Serve([&](int c) {
    // Let the sender's buffers fill up before reading, so its sends come back partial.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    got = ReadAll(c);
  });
  {
    auto s = Socket::Connect("127.0.0.1", server.port());
    ASSERT_TRUE(s.ok());
    auto sent = s->Send(data.data(), data.size());
    ASSERT_TRUE(sent.ok());
    EXPECT_EQ(*sent, data.size());
  }  // the destructor closes: the reader sees the end
  server.Join();
  EXPECT_EQ(got.size(), data.size());
  EXPECT_TRUE(got == data);
}

TEST(SocketTest, PollWaitsForDataAndReportsThePeerClosing) {
  LoopbackServer server;
  ASSERT_TRUE(server.ok());
  std::atomic<int> step{0};
  server.Serve([&](int c) {
    while (step.load() < 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    WriteAll(c, "x");
    while (step.load() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  auto s = Socket::Connect("127.0.0.1", server.port());
  ASSERT_TRUE(s.ok());

  auto idle = s->Poll(1);
  ASSERT_TRUE(idle.ok());
  EXPECT_FALSE(*idle);

  char buf[4];
  auto timed = s->Receive(buf, sizeof buf, 20);
  ASSERT_FALSE(timed.ok());
  EXPECT_EQ(timed.error(), SocketError::TimedOut);

  step = 1;
  auto ready = s->Poll(5000);
  ASSERT_TRUE(ready.ok());
  EXPECT_TRUE(*ready);
  auto n = s->Receive(buf, sizeof buf, 1000);
  ASSERT_TRUE(n.ok());
  EXPECT_EQ(*n, 1u);

  step = 2;  // the server closes the connection
  server.Join();
  auto closed = s->Poll(5000);
  ASSERT_TRUE(closed.ok());
  EXPECT_TRUE(*closed);
  auto eof = s->Receive(buf, sizeof buf);
  ASSERT_TRUE(eof.ok());
  EXPECT_EQ(*eof, 0u);
}

TEST(SocketTest, ShutdownSendEndsTheRequestButKeepsReceiving) {
  LoopbackServer server;
  ASSERT_TRUE(server.ok());
  server.Serve([](int c) {
    std::string req = ReadAll(c);  // returns at the client's end of stream
    WriteAll(c, "got " + req);
  });
  auto s = Socket::Connect("127.0.0.1", server.port());
  ASSERT_TRUE(s.ok());
  ASSERT_TRUE(s->Send("abc", 3).ok());
  s->ShutdownSend();
  EXPECT_EQ(ReceiveUntilClosed(*s), "got abc");
  server.Join();
}

TEST(SocketTest, ConnectReportsLookupAndConnectionFailures) {
  int port;
  {
    LoopbackServer gone;  // a port that was free a moment ago and has no listener now
    ASSERT_TRUE(gone.ok());
    port = gone.port();
  }
  struct Case {
    std::string host;
    int port;
    SocketError expected;
  };
  const Case cases[] = {
      {"127.0.0.1", port, SocketError::ConnectFailed},
      {"no-such-host.invalid", 80, SocketError::LookupFailed},
      {"", 80, SocketError::LookupFailed},
      {"999.1.1.1", 80, SocketError::LookupFailed},
  };
  for (const auto& c : cases) {
    auto s = Socket::Connect(c.host, static_cast<std::uint16_t>(c.port), AddressFamily::IPv4);
    ASSERT_FALSE(s.ok()) << c.host;
    EXPECT_EQ(s.error(), c.expected) << c.host;
  }
}

TEST(SocketTest, ConnectsOverIPv6Loopback) {
  LoopbackServer server(/*ipv6=*/true);
  if (!server.ok()) GTEST_SKIP() << "no IPv6 loopback on this machine";
  server.Serve([](int c) { WriteAll(c, "six"); });
  auto s = Socket::Connect("::1", server.port());
  ASSERT_TRUE(s.ok());
  EXPECT_EQ(ReceiveUntilClosed(*s), "six");
  server.Join();

  // Asking for IPv4 only never reaches an IPv6 address.
  auto v4 = Socket::Connect("::1", server.port(), AddressFamily::IPv4);
  EXPECT_FALSE(v4.ok());
}

TEST(SocketTest, SendToAResetConnectionFailsWithoutKillingTheProcess) {
  LoopbackServer server;
  ASSERT_TRUE(server.ok());
  server.Serve([](int c) {
    linger l{1, 0};  // close with a reset
    ::setsockopt(c, SOL_SOCKET, SO_LINGER, &l, sizeof l);
  });
  auto s = Socket::Connect("127.0.0.1", server.port());
  ASSERT_TRUE(s.ok());
  server.Join();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::vector<char> block(1 << 16, 'z');
  bool failed = false;
  for (int i = 0; i < 50 && !failed; ++i) {
    auto r = s->Send(block.data(), block.size());
    if (!r) {
      failed = true;
      EXPECT_EQ(r.error(), SocketError::SendFailed);
    }
  }
  EXPECT_TRUE(failed);
}

TEST(SocketTest, ClosedAndMovedFromSocketsRefuseWork) {
  LoopbackServer server;
  ASSERT_TRUE(server.ok());
  std::string seen;
  server.Serve([&](int c) { seen = ReadAll(c); });
  auto s = Socket::Connect("127.0.0.1", server.port());
  ASSERT_TRUE(s.ok());

  Socket moved = std::move(*s);
  EXPECT_FALSE(s->IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  char c = 0;
  auto r1 = s->Send("a", 1);
  ASSERT_FALSE(r1.ok());
  EXPECT_EQ(r1.error(), SocketError::Closed);

  ASSERT_TRUE(moved.Send("kept", 4).ok());
  Socket other;
  other = std::move(moved);  // the connection travels, still one owner
  ASSERT_TRUE(other.Send("!", 1).ok());
  other.Close();
  EXPECT_FALSE(other.IsOpen());
  auto r2 = other.Receive(&c, 1);
  ASSERT_FALSE(r2.ok());
  EXPECT_EQ(r2.error(), SocketError::Closed);
  auto r3 = other.Poll(0);
  ASSERT_FALSE(r3.ok());
  EXPECT_EQ(r3.error(), SocketError::Closed);
  other.Close();  // a second close is harmless

  server.Join();
  EXPECT_EQ(seen, "kept!");
}
