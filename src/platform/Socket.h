#pragma once
// A blocking TCP client socket over POSIX: host lookup, connect, send, receive, wait for data.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Result.h"

namespace tv::platform {

enum class SocketError : std::uint8_t {
  LookupFailed,   // the host name could not be resolved
  ConnectFailed,  // no address of the host accepted the connection
  SendFailed,     // the connection was reset, aborted or shut down while sending
  ReceiveFailed,  // the connection was reset or aborted while receiving
  Closed,         // the socket is not open
  TimedOut,       // nothing arrived within the time limit
};

const char* SocketErrorText(SocketError error);

enum class AddressFamily : std::uint8_t { Any, IPv4, IPv6 };

class Socket {
 public:
  Socket() = default;
  ~Socket();
  Socket(Socket&& other) noexcept;
  Socket& operator=(Socket&& other) noexcept;
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Resolves `host` (a name or a numeric IPv4/IPv6 address) and connects to the first address
  // that accepts, in the order the resolver returns them. Blocks until connected or refused.
  static Result<Socket, SocketError> Connect(const std::string& host, std::uint16_t port,
                                             AddressFamily family = AddressFamily::Any);

  // Sends all `size` bytes (looping over partial sends); never raises SIGPIPE.
  Result<std::size_t, SocketError> Send(const void* data, std::size_t size);
  // Receives up to `size` bytes, blocking until some arrive. 0 = the peer closed its side.
  Result<std::size_t, SocketError> Receive(void* buffer, std::size_t size);
  // As Receive, but gives up with TimedOut when nothing arrives within timeoutMs.
  Result<std::size_t, SocketError> Receive(void* buffer, std::size_t size, int timeoutMs);
  // Waits up to timeoutMs (negative = without limit) until a Receive would not block: data has
  // arrived, or the peer closed or reset the connection. false = the time ran out.
  Result<bool, SocketError> Poll(int timeoutMs);

  // Ends the sending direction (the peer reads end-of-stream); receiving still works.
  void ShutdownSend();
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int Handle() const { return fd_; }

 private:
  explicit Socket(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace tv::platform
