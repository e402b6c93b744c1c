#pragma once
// Errors raised inside handlers. The message loop catches them and shows the default error box
// with what(); library code returns Result values instead and handlers turn them into these.
#include <stdexcept>
#include <string>

namespace tv {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// The silent exception: the message loop swallows it without showing anything.
class EAbort : public Exception {
 public:
  using Exception::Exception;
  EAbort() : Exception("Operation aborted") {}
};
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};
class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace tv
