// A small HTTP server on the loopback interface for the tests of the web view: fixed answers by
// path, a log of the requests it saw. It answers from threads of its own, so the program's event
// loop stays free while a test waits for a page. Every answer closes its connection.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace corvane::test {

struct HttpAnswer {
  int status = 200;
  std::string reason = "OK";
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  int delayMs = 0;     // waits this long before answering
  bool hang = false;   // reads the request and never answers (until the server stops)
  long long contentLength = -1;  // announced instead of the body's own length when not negative
};

struct HttpRequestSeen {
  std::string method, path;
  std::map<std::string, std::string> headers;  // names in lower case
};

class LoopbackHttpServer {
 public:
  LoopbackHttpServer() {
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_ < 0) throw std::runtime_error("socket");
    int one = 1;
    ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listen_, 32) != 0) {
      ::close(listen_);
      throw std::runtime_error("bind/listen");
    }
    socklen_t len = sizeof a;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
  }
  ~LoopbackHttpServer() {
    stop_ = true;
    acceptor_.join();
    std::vector<std::thread> workers;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      workers.swap(workers_);
    }
    for (auto& t : workers) t.join();
    ::close(listen_);
  }
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  int Port() const { return port_; }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

  void Serve(const std::string& path, HttpAnswer answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[path] = std::move(answer);
  }
  void ServePage(const std::string& path, const std::string& body, const std::string& contentType = "text/html; charset=utf-8") {
    HttpAnswer a;
    a.headers = {{"Content-Type", contentType}};
    a.body = body;
    Serve(path, std::move(a));
  }
  void Redirect(const std::string& path, const std::string& location, int status = 302) {
    HttpAnswer a;
    a.status = status;
    a.reason = "Found";
    a.headers = {{"Location", location}};
    Serve(path, std::move(a));
  }

  // Requests seen for a path (the query left out), and in all.
  int Requests(const std::string& path) const {
    std::lock_guard<std::mutex> lock(mutex_);
    int n = 0;
    for (const auto& r : seen_) n += r.path == path;
    return n;
  }
  std::vector<HttpRequestSeen> Seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  // Answers fully written (or given up by the client) so far.
  int Answered() const { return answered_; }

 private:
  void AcceptLoop() {
    while (!stop_) {
      pollfd p{listen_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::lock_guard<std::mutex> lock(mutex_);
      workers_.emplace_back([this, fd] { Handle(fd); });
    }
  }

  // Waits for the socket to be readable; false when the server stops first.
  bool WaitReadable(int fd, int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stop_ && std::chrono::steady_clock::now() < end) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 20) > 0) return true;
    }
    return false;
  }

  void Handle(int fd) {
    std::string in;
    char buf[4096];
    while (in.find("\r\n\r\n") == std::string::npos && in.size() < 65536) {
      if (!WaitReadable(fd, 5000)) break;
      ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      in.append(buf, static_cast<size_t>(n));
    }
    size_t headEnd = in.find("\r\n\r\n");
    if (headEnd == std::string::npos) { ::close(fd); return; }
    HttpRequestSeen req;
    size_t lineEnd = in.find("\r\n");
    std::string first = in.substr(0, lineEnd);
    size_t sp1 = first.find(' '), sp2 = first.rfind(' ');
    req.method = first.substr(0, sp1);
    std::string target = first.substr(sp1 + 1, sp2 - sp1 - 1);
    req.path = target.substr(0, target.find('?'));
    for (size_t pos = lineEnd + 2; pos < headEnd;) {
      size_t e = in.find("\r\n", pos);
      std::string line = in.substr(pos, e - pos);
      size_t colon = line.find(':');
      if (colon != std::string::npos) {
        std::string name = line.substr(0, colon);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        size_t v = line.find_first_not_of(' ', colon + 1);
        req.headers[name] = v == std::string::npos ? "" : line.substr(v);
      }
      pos = e + 2;
    }
    HttpAnswer answer;
    bool found;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.push_back(req);
      auto it = answers_.find(req.path);
      found = it != answers_.end();
      if (found) answer = it->second;
    }
    if (!found) {
      answer.status = 404;
      answer.reason = "Not Found";
      answer.headers = {{"Content-Type", "text/html"}};
      answer.body = "<html><body>not here</body></html>";
    }
    if (answer.hang) {
      while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      ::close(fd);
      return;
    }
    for (int waited = 0; waited < answer.delayMs && !stop_; waited += 5) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::string out = "HTTP/1.1 " + std::to_string(answer.status) + " " + answer.reason + "\r\n";
    for (const auto& [name, value] : answer.headers) out += name + ": " + value + "\r\n";
    long long announced = answer.contentLength >= 0 ? answer.contentLength : static_cast<long long>(answer.body.size());
    out += "Content-Length: " + std::to_string(announced) + "\r\nConnection: close\r\n\r\n";
    if (req.method != "HEAD") out += answer.body;
    for (size_t sent = 0; sent < out.size();) {
      ssize_t n = ::send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    ::shutdown(fd, SHUT_WR);
    WaitReadable(fd, 200);  // lets the client read everything before the socket goes
    ::close(fd);
    ++answered_;
  }

  int listen_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> answered_{0};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::vector<std::thread> workers_;
  std::map<std::string, HttpAnswer> answers_;
  std::vector<HttpRequestSeen> seen_;
};

// A loopback address where nothing listens: the port is held (bound, never listening), so every
// connection to it is refused and no other program can take it meanwhile.
class RefusingLoopbackPort {
 public:
  RefusingLoopbackPort() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) throw std::runtime_error("bind");
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
  }
  ~RefusingLoopbackPort() { ::close(fd_); }
  RefusingLoopbackPort(const RefusingLoopbackPort&) = delete;
  RefusingLoopbackPort& operator=(const RefusingLoopbackPort&) = delete;
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace corvane::test
