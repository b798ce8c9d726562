// Owns an output the game never waits for: lines go into a bounded queue and a thread of its own writes
// them, dropping the oldest unwritten ones when the reader falls behind.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace sim {

struct QueuedOutputOptions {
  int fd = -1;
  std::size_t capacity = 8192;  // lines waiting at most; the writer may hold as many more in hand
  // The line written where lines were dropped: count of them, and the `t` of the last one. Empty: none.
  std::function<std::string(std::uint64_t count, std::int64_t t)> droppedLine;
  // Told, on the writer's thread, each time dropped lines are reported.
  std::function<void(std::uint64_t count)> onDropped;
  // Told once, on the writer's thread, when the reader has gone (the pipe is closed and the like).
  std::function<void()> onClosed;
};

// A reader that has gone ends this output only: its lines are thrown away from then on, and nothing
// else notices. Writing needs SIGPIPE ignored, or a closed pipe would end the process.
class QueuedOutput {
 public:
  explicit QueuedOutput(QueuedOutputOptions options);
  QueuedOutput(const QueuedOutput&) = delete;
  QueuedOutput& operator=(const QueuedOutput&) = delete;
  // Finish with a short grace.
  ~QueuedOutput();

  // Queues line (without its newline); t is the game time it belongs to. Any thread; never blocks on
  // the reader.
  void Push(std::string line, std::int64_t t = 0);
  // Waits up to grace for what is queued to be written, then stops writing. A reader that stalls cannot
  // hold the end up longer than that.
  void Finish(std::chrono::milliseconds grace);

  [[nodiscard]] std::uint64_t DroppedTotal() const;
  [[nodiscard]] bool Closed() const;

 private:
  void WriteLoop();
  bool WriteAll(const std::string& bytes);

  QueuedOutputOptions options_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;      // the writer: lines, or the end
  std::condition_variable finished_;  // Finish: the writer is done
  std::deque<std::string> lines_;
  std::uint64_t unreported_ = 0;  // dropped and not yet reported
  std::int64_t lastDroppedT_ = 0;
  std::uint64_t droppedTotal_ = 0;
  bool closed_ = false;
  bool finishing_ = false;
  bool abandon_ = false;
  bool done_ = false;
  std::thread writer_;
};

}  // namespace sim
