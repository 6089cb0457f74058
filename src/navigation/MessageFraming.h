// The language server protocol's framing over a byte stream: a header block with the body's
// Content-Length, a blank line, then the body. Bytes arrive in any pieces: a message split
// across reads, several in one read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The body framed for sending.
[[nodiscard]] std::string FramedMessage(std::string_view body);

class MessageReader {
public:
  // Headers longer than this, or a body larger than kMostBodyBytes, are no protocol.
  static constexpr std::size_t kMostHeaderBytes = 8 * 1024;
  static constexpr std::size_t kMostBodyBytes = 256 * 1024 * 1024;

  void Append(std::string_view bytes);

  enum class Status { Message, Incomplete, Broken };
  // The next whole message's body into `body`; Incomplete until its last byte came. Once Broken
  // (a header that is not the protocol's), always Broken: a stream out of step cannot be read on.
  Status Next(std::string& body);
  // Why the stream is broken; empty while it is not.
  [[nodiscard]] const std::string& Problem() const { return problem_; }

private:
  Status Fail(std::string problem);

  std::string buffer_;
  std::size_t start_ = 0; // where the unread bytes begin
  std::size_t bodyLength_ = 0;
  bool inBody_ = false;
  std::string problem_;
};
