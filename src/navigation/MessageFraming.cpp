// Headers are ASCII lines ending in CR LF; Content-Type is allowed and ignored, as any other
// header the protocol may add.
#include "MessageFraming.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kHeaderEnd = "\r\n\r\n";
constexpr std::string_view kLengthName = "content-length";

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

// The body length a header block gives into `length`; what is wrong with the block, or empty.
std::string ReadLength(std::string_view headers, std::size_t& length) {
  bool haveLength = false;
  while (!headers.empty()) {
    const std::size_t end = headers.find("\r\n");
    const std::string_view line = headers.substr(0, end);
    headers.remove_prefix(end == std::string_view::npos ? headers.size() : end + 2);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return "a header line without a colon";
    if (Lower(Trimmed(line.substr(0, colon))) != kLengthName) continue;
    const std::string_view value = Trimmed(line.substr(colon + 1));
    if (value.empty() || value.size() > 10 ||
        !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return "a Content-Length that is no number";
    length = std::stoull(std::string(value));
    if (length > MessageReader::kMostBodyBytes) return "a message too large to be one";
    haveLength = true;
  }
  return haveLength ? std::string() : "a message without a Content-Length";
}

} // namespace

std::string FramedMessage(std::string_view body) {
  std::string message = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  message += body;
  return message;
}

void MessageReader::Append(std::string_view bytes) {
  if (!problem_.empty()) return;
  // Read bytes are dropped once they are half the buffer, so a long session does not keep them.
  if (start_ > 0 && start_ >= buffer_.size() / 2) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(bytes);
}

MessageReader::Status MessageReader::Fail(std::string problem) {
  problem_ = std::move(problem);
  buffer_.clear();
  start_ = 0;
  return Status::Broken;
}

MessageReader::Status MessageReader::Next(std::string& body) {
  if (!problem_.empty()) return Status::Broken;
  if (!inBody_) {
    const std::string_view unread = std::string_view(buffer_).substr(start_);
    const std::size_t end = unread.find(kHeaderEnd);
    if (end == std::string_view::npos) {
      if (unread.size() > kMostHeaderBytes) return Fail("headers that never end");
      return Status::Incomplete;
    }
    if (end > kMostHeaderBytes) return Fail("headers that never end");
    const std::string problem = ReadLength(unread.substr(0, end), bodyLength_);
    if (!problem.empty()) return Fail(problem);
    start_ += end + kHeaderEnd.size();
    inBody_ = true;
  }
  if (buffer_.size() - start_ < bodyLength_) return Status::Incomplete;
  body.assign(buffer_, start_, bodyLength_);
  start_ += bodyLength_;
  inBody_ = false;
  return Status::Message;
}
