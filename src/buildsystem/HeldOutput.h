// The output of a tool run that must wait for the runs started before it: held in the order it
// came, each piece with its stream, until the run's turn. Memory stays bounded whatever the tool
// prints: past kHeldInMemory bytes the output goes to an unnamed temporary file; when that cannot
// be written (no temporary folder, a full disk), the memory keeps the start of the output and the
// rest is counted and dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class HeldOutput {
public:
  static constexpr std::size_t kHeldInMemory = 1 << 20;
  using Take = std::function<void(std::string_view text, bool isError)>;

  // The temporary file goes into `spillFolder`, or when it cannot, the system's temporary folder.
  explicit HeldOutput(std::string spillFolder = {}, std::size_t inMemory = kHeldInMemory);
  ~HeldOutput();
  HeldOutput(const HeldOutput&) = delete;
  HeldOutput& operator=(const HeldOutput&) = delete;

  void Hold(std::string_view text, bool isError);
  // Hands everything held to `take`, in the order it came, in pieces of at most kLargestPiece
  // bytes, and forgets it. Returns how many bytes were dropped (then not handed over).
  std::uint64_t Release(const Take& take);

  // The bytes held in memory now.
  [[nodiscard]] std::size_t InMemory() const { return memory_.size(); }

  static constexpr std::size_t kLargestPiece = 64 * 1024;

private:
  void AddRecord(std::string_view text, bool isError);
  void Spill();
  void ReleaseSpilled(const Take& take);

  std::string spillFolder_;
  std::size_t inMemory_;
  // Records: the stream (one byte), the length (four bytes) and the text.
  std::string memory_;
  int spill_ = -1; // the temporary file, once the memory is full
  std::uint64_t spilled_ = 0;
  bool full_ = false; // the temporary file could not take more
  std::uint64_t dropped_ = 0;
};
