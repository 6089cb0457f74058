// The protocol's framing read back from a stream cut anywhere: every body whole and in order;
// a stream that breaks the framing is reported, never read on.
#include "MessageFraming.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<std::string> ReadAll(MessageReader& reader, MessageReader::Status& last) {
  std::vector<std::string> bodies;
  std::string body;
  while ((last = reader.Next(body)) == MessageReader::Status::Message)
    bodies.push_back(body);
  return bodies;
}

MessageReader::Status StatusOf(const std::string& stream) {
  MessageReader reader;
  reader.Append(stream);
  MessageReader::Status last{};
  ReadAll(reader, last);
  return last;
}

} // namespace

TEST(MessageFraming, BodiesComeBackWholeHoweverTheStreamIsCut) {
  std::mt19937 random(17);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> sent;
    std::string stream;
    for (int i = static_cast<int>(random() % 6); i > 0; --i) {
      std::string body(random() % 300, 'x');
      for (char& c : body)
        c = static_cast<char>(random()); // any bytes, "\r\n\r\n" included
      sent.push_back(body);
      // Other headers, any case, may come before or after the length.
      if (random() % 3 == 0) stream += "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\n";
      stream +=
          (random() % 2 ? "Content-Length: " : "content-length:") + std::to_string(body.size()) + "\r\n";
      if (random() % 3 == 0) stream += "X-Other: 12\r\n";
      stream += "\r\n" + body;
    }
    MessageReader reader;
    std::vector<std::string> received;
    MessageReader::Status last{};
    for (std::size_t at = 0; at < stream.size();) {
      const std::size_t piece = std::min<std::size_t>(stream.size() - at, 1 + random() % 40);
      reader.Append(std::string_view(stream).substr(at, piece));
      at += piece;
      for (std::string& body : ReadAll(reader, last))
        received.push_back(std::move(body));
      ASSERT_EQ(last, MessageReader::Status::Incomplete) << round;
    }
    ASSERT_EQ(received, sent) << round;
  }
  EXPECT_EQ(FramedMessage("{}"), "Content-Length: 2\r\n\r\n{}");
}

TEST(MessageFraming, AStreamOutOfStepIsBrokenForGood) {
  for (const std::string& stream : std::vector<std::string>{
           "Content-Length: x\r\n\r\n", "Content-Length: -1\r\n\r\n", "Content-Length: 99999999999\r\n\r\n{}",
           "Content-Type: a\r\n\r\n{}", "no colon\r\n\r\n", "\r\n\r\n", std::string(9000, 'a')}) {
    MessageReader reader;
    reader.Append(stream);
    std::string body;
    EXPECT_EQ(reader.Next(body), MessageReader::Status::Broken) << stream.substr(0, 40);
    EXPECT_FALSE(reader.Problem().empty());
    reader.Append(FramedMessage("{}"));
    EXPECT_EQ(reader.Next(body), MessageReader::Status::Broken) << "and stays broken";
  }
  EXPECT_EQ(StatusOf("Content-Length: 5\r\n\r\n{}"), MessageReader::Status::Incomplete);
  EXPECT_EQ(StatusOf(std::string(8000, 'a')), MessageReader::Status::Incomplete) << "a header may still end";
}
