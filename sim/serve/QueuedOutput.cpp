#include "sim/serve/QueuedOutput.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>

namespace sim {
namespace {

// A pipe that polls writable takes this much without blocking, so the writer can always look up
// between pieces and see whether it must give up.
constexpr std::size_t WritePiece = 4096;
constexpr int PollMilliseconds = 100;

}  // namespace

QueuedOutput::QueuedOutput(QueuedOutputOptions options) : options_(std::move(options)) {
  writer_ = std::thread([this] { WriteLoop(); });
}

QueuedOutput::~QueuedOutput() { Finish(std::chrono::seconds(1)); }

void QueuedOutput::Push(std::string line, std::int64_t t) {
  {
    const std::lock_guard lock(mutex_);
    if (closed_ || finishing_) return;
    if (lines_.size() >= options_.capacity) {
      lines_.pop_front();
      ++unreported_;
      ++droppedTotal_;
      lastDroppedT_ = t;
    }
    line += '\n';
    lines_.push_back(std::move(line));
  }
  wake_.notify_one();
}

void QueuedOutput::Finish(std::chrono::milliseconds grace) {
  {
    std::unique_lock lock(mutex_);
    finishing_ = true;
    wake_.notify_one();
    if (!finished_.wait_for(lock, grace, [this] { return done_; })) {
      abandon_ = true;
      wake_.notify_one();
    }
  }
  if (writer_.joinable()) writer_.join();
}

std::uint64_t QueuedOutput::DroppedTotal() const {
  const std::lock_guard lock(mutex_);
  return droppedTotal_;
}

bool QueuedOutput::Closed() const {
  const std::lock_guard lock(mutex_);
  return closed_;
}

void QueuedOutput::WriteLoop() {
  for (;;) {
    std::deque<std::string> batch;
    std::uint64_t dropped = 0;
    std::int64_t droppedT = 0;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return !lines_.empty() || unreported_ > 0 || finishing_ || abandon_; });
      if (abandon_ || closed_ || (lines_.empty() && unreported_ == 0)) break;
      batch.swap(lines_);
      dropped = std::exchange(unreported_, 0);
      droppedT = lastDroppedT_;
    }
    // Lines are dropped from the front of the queue, so the gap lies between what was written and this
    // batch: the report goes there.
    std::string bytes;
    if (dropped > 0) {
      if (options_.droppedLine) bytes = options_.droppedLine(dropped, droppedT) + "\n";
      if (options_.onDropped) options_.onDropped(dropped);
    }
    for (const std::string& line : batch) bytes += line;
    if (!WriteAll(bytes)) break;
  }
  bool closedNow = false;
  {
    const std::lock_guard lock(mutex_);
    closedNow = closed_;
    lines_.clear();
    done_ = true;
  }
  finished_.notify_all();
  if (closedNow && options_.onClosed) options_.onClosed();
}

bool QueuedOutput::WriteAll(const std::string& bytes) {
  std::string_view rest(bytes);
  while (!rest.empty()) {
    {
      const std::lock_guard lock(mutex_);
      if (abandon_) return false;
    }
    pollfd ready{options_.fd, POLLOUT, 0};
    const int polled = ::poll(&ready, 1, PollMilliseconds);
    if (polled == 0 || (polled < 0 && errno == EINTR)) continue;
    const ssize_t written = polled < 0 ? -1 : ::write(options_.fd, rest.data(), std::min(rest.size(), WritePiece));
    if (written < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (written <= 0) {
      // The reader is gone (EPIPE with SIGPIPE ignored), or the descriptor is no output at all.
      const std::lock_guard lock(mutex_);
      closed_ = true;
      return false;
    }
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace sim
