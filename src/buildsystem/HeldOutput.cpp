// The temporary file is opened with O_TMPFILE where the file system allows it, so it has no name
// and vanishes with its descriptor, also when the program is killed.
#include "HeldOutput.h"

#include "AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kRecordHeader = 5;

int OpenSpillFileIn(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  std::string name = folder + "/tessarin-held-XXXXXX";
  const int named = ::mkostemp(name.data(), O_CLOEXEC);
  if (named >= 0) ::unlink(name.c_str());
  return named;
}

// In `folder`, or else in the system's temporary folder.
int OpenSpillFile(const std::string& folder) {
  const int fd = folder.empty() ? -1 : OpenSpillFileIn(folder);
  if (fd >= 0) return fd;
  const char* temporary = std::getenv("TMPDIR");
  return OpenSpillFileIn(temporary && *temporary ? temporary : "/tmp");
}

bool ReadAll(int fd, char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t count = ::read(fd, data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    data += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

// Hands the whole records at the start of `records` over; returns the bytes they took.
std::size_t HandRecords(std::string_view records, const HeldOutput::Take& take) {
  std::size_t used = 0;
  while (records.size() - used >= kRecordHeader) {
    std::uint32_t length = 0;
    std::memcpy(&length, records.data() + used + 1, sizeof length);
    if (records.size() - used - kRecordHeader < length) break;
    take(records.substr(used + kRecordHeader, length), records[used] != 0);
    used += kRecordHeader + length;
  }
  return used;
}

} // namespace

HeldOutput::HeldOutput(std::string spillFolder, std::size_t inMemory)
    : spillFolder_(std::move(spillFolder)), inMemory_(inMemory) {}

HeldOutput::~HeldOutput() {
  if (spill_ >= 0) ::close(spill_);
}

void HeldOutput::Hold(std::string_view text, bool isError) {
  while (!text.empty()) {
    const std::size_t piece = std::min(text.size(), kLargestPiece);
    AddRecord(text.substr(0, piece), isError);
    text.remove_prefix(piece);
  }
}

void HeldOutput::AddRecord(std::string_view text, bool isError) {
  const bool fits = memory_.size() + kRecordHeader + text.size() <= inMemory_ || memory_.empty();
  if (!fits && !full_) Spill();
  // Once output was lost, what follows is dropped too: a hole in the middle would mislead.
  if (full_ && (dropped_ > 0 || !fits)) {
    dropped_ += text.size();
    return;
  }
  const auto length = static_cast<std::uint32_t>(text.size());
  memory_ += static_cast<char>(isError ? 1 : 0);
  memory_.append(reinterpret_cast<const char*>(&length), sizeof length);
  memory_.append(text);
}

// When the file cannot take it, the memory keeps what it holds, the start of the output.
void HeldOutput::Spill() {
  if (spill_ < 0) spill_ = OpenSpillFile(spillFolder_);
  if (spill_ >= 0 && WriteAll(spill_, memory_)) {
    spilled_ += memory_.size();
    memory_.clear();
  } else {
    full_ = true;
  }
}

std::uint64_t HeldOutput::Release(const Take& take) {
  if (spill_ >= 0) ReleaseSpilled(take);
  (void)HandRecords(memory_, take);
  const std::uint64_t dropped = dropped_;
  memory_.clear();
  memory_.shrink_to_fit();
  dropped_ = 0;
  full_ = false;
  return dropped;
}

// Read back in blocks; a record cut by a block's end is completed from the next block.
void HeldOutput::ReleaseSpilled(const Take& take) {
  constexpr std::size_t kBlock = 1 << 20;
  std::vector<char> block(kBlock + kRecordHeader + kLargestPiece);
  std::size_t kept = 0;
  std::uint64_t left = spilled_;
  bool readable = ::lseek(spill_, 0, SEEK_SET) == 0;
  while (readable && left > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlock));
    readable = ReadAll(spill_, block.data() + kept, want);
    if (!readable) break;
    left -= want;
    const std::size_t used = HandRecords(std::string_view(block.data(), kept + want), take);
    kept = kept + want - used;
    std::memmove(block.data(), block.data() + used, kept);
  }
  if (!readable) dropped_ += left + kept;
  ::close(spill_);
  spill_ = -1;
  spilled_ = 0;
}
