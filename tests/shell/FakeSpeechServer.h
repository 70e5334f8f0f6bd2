#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qov::test {

// A speech server of our own on a Unix socket: it answers enough of SSIP (speech-dispatcher's
// protocol) for a client and records what it is asked to speak ("SPEAK text") and to cancel
// ("CANCEL"), in order, and apart from that the voice's settings asked for.
class FakeSpeechServer {
 public:
  explicit FakeSpeechServer(std::filesystem::path socket) : path_(std::move(socket)) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path_.c_str(), sizeof(address.sun_path) - 1);
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 4) != 0 || ::pipe(stop_) != 0) {
      throw std::runtime_error("cannot listen on " + path_.string());
    }
    thread_ = std::thread([this] { serve(); });
  }
  ~FakeSpeechServer() {
    static_cast<void>(::write(stop_[1], "x", 1));
    thread_.join();
    for (const int fd : {listener_, stop_[0], stop_[1]}) ::close(fd);
  }
  FakeSpeechServer(const FakeSpeechServer&) = delete;
  FakeSpeechServer& operator=(const FakeSpeechServer&) = delete;

  // What SPEECHD_ADDRESS names to reach it.
  [[nodiscard]] std::string address() const { return "unix_socket:" + path_.string(); }
  [[nodiscard]] std::vector<std::string> record() const {
    const std::lock_guard lock(mutex_);
    return record_;
  }
  // "SET SELF RATE 30" and the like, in capitals, without the priority of each message.
  [[nodiscard]] std::vector<std::string> settings() const {
    const std::lock_guard lock(mutex_);
    return settings_;
  }
  [[nodiscard]] int connections() const {
    const std::lock_guard lock(mutex_);
    return connections_;
  }

 private:
  // Waits until `fd` can be read; false when the server is to stop.
  bool readable(int fd) const {
    pollfd fds[] = {{fd, POLLIN, 0}, {stop_[0], POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0) {
    }
    return (fds[1].revents & POLLIN) == 0;
  }

  void serve() {
    while (readable(listener_)) {
      const int client = ::accept(listener_, nullptr, nullptr);
      if (client < 0) continue;
      {
        const std::lock_guard lock(mutex_);
        ++connections_;
      }
      talk(client);
      ::close(client);
    }
  }

  void talk(int client) {
    std::string input;
    bool receiving = false;
    std::string text;
    while (readable(client)) {
      char buffer[4096];
      const ssize_t n = ::read(client, buffer, sizeof buffer);
      if (n <= 0) return;
      input.append(buffer, static_cast<std::size_t>(n));
      for (std::size_t end; (end = input.find("\r\n")) != std::string::npos;) {
        std::string line = input.substr(0, end);
        input.erase(0, end + 2);
        if (receiving) {
          if (line == ".") {
            receiving = false;
            log("SPEAK " + text);
            answer(client, "225-" + std::to_string(++messages_) + "\r\n225 OK MESSAGE QUEUED");
            continue;
          }
          if (line.rfind("..", 0) == 0) line.erase(0, 1);
          text += (text.empty() ? "" : "\n") + line;
          continue;
        }
        // Commands are read without regard to case.
        for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (line == "SPEAK") {
          receiving = true;
          text.clear();
          answer(client, "230 OK RECEIVING DATA");
        } else if (line.rfind("CANCEL", 0) == 0) {
          log("CANCEL");
          answer(client, "210 OK CANCELED");
        } else if (line == "QUIT") {
          answer(client, "231 HAPPY HACKING");
        } else if (line.rfind("HISTORY GET CLIENT_ID", 0) == 0) {
          answer(client, "240-1\r\n240 OK CLIENT ID SENT");
        } else {
          // The priority comes with every message; the client's name is the client's.
          if (line.rfind("SET SELF ", 0) == 0 && line.find("CLIENT_NAME") == std::string::npos &&
              line.find("PRIORITY") == std::string::npos) {
            const std::lock_guard lock(mutex_);
            settings_.push_back(line);
          }
          answer(client, "200 OK");
        }
      }
    }
  }

  static void answer(int client, const std::string& reply) {
    const std::string bytes = reply + "\r\n";
    static_cast<void>(::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL));
  }
  void log(std::string entry) {
    const std::lock_guard lock(mutex_);
    record_.push_back(std::move(entry));
  }

  std::filesystem::path path_;
  int listener_ = -1;
  int stop_[2] = {-1, -1};
  int messages_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> record_;
  std::vector<std::string> settings_;
  int connections_ = 0;
  std::thread thread_;
};

}  // namespace qov::test
