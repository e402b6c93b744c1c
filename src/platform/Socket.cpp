#include "platform/Socket.h"

#include <cerrno>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <string>
#include <utility>

namespace tv::platform {

const char* SocketErrorText(SocketError error) {
  switch (error) {
    case SocketError::LookupFailed: return "host lookup failed";
    case SocketError::ConnectFailed: return "connection failed";
    case SocketError::SendFailed: return "sending failed";
    case SocketError::ReceiveFailed: return "receiving failed";
    case SocketError::Closed: return "socket closed";
    case SocketError::TimedOut: return "timed out";
  }
  return "socket error";
}

Socket::~Socket() { Close(); }

Socket::Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

Result<Socket, SocketError> Socket::Connect(const std::string& host, std::uint16_t port, AddressFamily family) {
  addrinfo hints{};
  hints.ai_family = family == AddressFamily::IPv4 ? AF_INET : family == AddressFamily::IPv6 ? AF_INET6 : AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = AI_NUMERICSERV;
  if (host.empty() || host.find('\0') != std::string::npos) return Err{SocketError::LookupFailed};

  addrinfo* list = nullptr;
  const std::string service = std::to_string(port);
  int rc;
  do {
    rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
  } while (rc == EAI_SYSTEM && errno == EINTR);
  if (rc != 0 || !list) return Err{SocketError::LookupFailed};

  int connected = -1;
  for (addrinfo* ai = list; ai && connected < 0; ai = ai->ai_next) {
    int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) continue;
    int r = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
    if (r != 0 && errno == EINTR) {
      // The connection goes on in the background; wait for its outcome.
      pollfd p{fd, POLLOUT, 0};
      while ((r = ::poll(&p, 1, -1)) < 0 && errno == EINTR) {
      }
      int err = 0;
      socklen_t len = sizeof err;
      r = (r > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0) ? 0 : -1;
    }
    if (r == 0) {
      connected = fd;
    } else {
      ::close(fd);
    }
  }
  freeaddrinfo(list);
  if (connected < 0) return Err{SocketError::ConnectFailed};
  return Socket(connected);
}

Result<std::size_t, SocketError> Socket::Send(const void* data, std::size_t size) {
  if (fd_ < 0) return Err{SocketError::Closed};
  const auto* p = static_cast<const char*>(data);
  std::size_t sent = 0;
  while (sent < size) {
    ssize_t n = ::send(fd_, p + sent, size - sent, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Err{SocketError::SendFailed};
    }
    sent += static_cast<std::size_t>(n);
  }
  return sent;
}

Result<std::size_t, SocketError> Socket::Receive(void* buffer, std::size_t size) {
  if (fd_ < 0) return Err{SocketError::Closed};
  for (;;) {
    ssize_t n = ::recv(fd_, buffer, size, 0);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return Err{SocketError::ReceiveFailed};
  }
}

Result<std::size_t, SocketError> Socket::Receive(void* buffer, std::size_t size, int timeoutMs) {
  auto ready = Poll(timeoutMs);
  if (!ready) return Err{ready.error()};
  if (!*ready) return Err{SocketError::TimedOut};
  return Receive(buffer, size);
}

Result<bool, SocketError> Socket::Poll(int timeoutMs) {
  if (fd_ < 0) return Err{SocketError::Closed};
  pollfd p{fd_, POLLIN, 0};
  for (;;) {
    int n = ::poll(&p, 1, timeoutMs < 0 ? -1 : timeoutMs);
    if (n > 0) {
      if (p.revents & POLLNVAL) return Err{SocketError::ReceiveFailed};
      return (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    }
    if (n == 0) return false;
    if (errno != EINTR) return Err{SocketError::ReceiveFailed};
  }
}

void Socket::ShutdownSend() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_WR);
}

void Socket::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

}  // namespace tv::platform
