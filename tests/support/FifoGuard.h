// A guard for tests of readers that must not block on a FIFO.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace corvane::test {

// Guards a test against a reader that blocks on a FIFO: when the test has not finished after the
// time-out, the FIFO is opened at its other end and closed again, which lets the blocked open and
// read return, and the guard reports that it had to (so a regression fails instead of hanging).
class FifoGuard {
 public:
  explicit FifoGuard(std::filesystem::path fifo) : fifo_(std::move(fifo)), thread_([this] { Watch(); }) {}
  ~FifoGuard() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  bool Fired() const { return fired_; }

 private:
  void Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::seconds(5), [this] { return done_; })) {
      fired_ = true;
      if (!std::filesystem::is_fifo(fifo_)) continue;
      int fd = ::open(fifo_.c_str(), O_RDWR | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
    }
  }
  std::filesystem::path fifo_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::atomic<bool> fired_{false};
  std::thread thread_;
};

}  // namespace corvane::test
