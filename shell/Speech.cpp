#include "shell/Speech.h"

#include <libspeechd.h>
#include <pthread.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <utility>

namespace qov {

namespace {

constexpr const char* kLanguage = "ja";

// SSIP's volume runs from -100 to 100; 100 is full.
int ssipVolume(int percent) {
  return percent * 2 - 100;
}

}  // namespace

// One connection to speech-dispatcher, used only by the speech thread.
class Speech::Connection {
 public:
  explicit Connection(SPDConnection* link) : link_(link) {}
  ~Connection() { spd_close(link_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // The address is the user's (SPEECHD_ADDRESS, else speech-dispatcher's own socket), which
  // starts the server when it is installed and not running.
  static std::unique_ptr<Connection> open(std::string& problem) {
    char* error = nullptr;
    SPDConnection* link =
        spd_open2("qov", "main", nullptr, SPD_MODE_SINGLE, nullptr, /*autospawn=*/1, &error);
    if (link == nullptr) {
      problem = error != nullptr ? error : "no connection";
      std::free(error);
      return nullptr;
    }
    std::free(error);
    return std::make_unique<Connection>(link);
  }

  // False when the server no longer answers.
  bool send(const Request& request) {
    switch (request.kind) {
      case Request::Kind::Say:
        if (!languageSet_) {
          // A server without a Japanese voice still speaks with its own.
          static_cast<void>(spd_set_language(link_, kLanguage));
          languageSet_ = true;
        }
        return spd_say(link_, SPD_TEXT, request.text.c_str()) >= 0;
      case Request::Kind::Cancel:
        return spd_cancel(link_) == 0;
      case Request::Kind::Rate:
        return spd_set_voice_rate(link_, request.value) == 0;
      case Request::Kind::Volume:
        return spd_set_volume(link_, ssipVolume(request.value)) == 0;
    }
    return true;
  }

 private:
  SPDConnection* link_;
  bool languageSet_ = false;
};

Speech::~Speech() {
  {
    const std::lock_guard lock(mutex_);
    waiting_.clear();
    // Closing the window cuts off the page being spoken.
    if (thread_.joinable()) waiting_.push_back(Request{Request::Kind::Cancel, {}, 0});
    ending_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Speech::say(std::string utf8) {
  ask(Request{Request::Kind::Say, std::move(utf8), 0});
}

void Speech::cancel() {
  ask(Request{Request::Kind::Cancel, {}, 0});
}

void Speech::setRate(int rate) {
  ask(Request{Request::Kind::Rate, {}, rate});
}

void Speech::setVolume(int percent) {
  ask(Request{Request::Kind::Volume, {}, percent});
}

void Speech::ask(Request request) {
  {
    const std::lock_guard lock(mutex_);
    if (failed_) return;
    if (request.kind == Request::Kind::Rate) rate_ = request.value;
    if (request.kind == Request::Kind::Volume) volume_ = request.value;
    // Before the first words there is nothing to change or cut off, and no thread.
    if (request.kind != Request::Kind::Say && !thread_.joinable()) return;
    // Requests go to the server in the order they were asked, a cut-off included, so that what
    // is spoken never depends on how fast this thread runs.
    waiting_.push_back(std::move(request));
    if (!thread_.joinable()) thread_ = std::thread([this] { serve(); });
  }
  changed_.notify_all();
}

std::optional<std::string> Speech::takeProblem() {
  const std::lock_guard lock(mutex_);
  return std::exchange(problem_, std::nullopt);
}

void Speech::flush() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return (waiting_.empty() && !busy_) || !thread_.joinable(); });
}

void Speech::serve() {
  // A server that goes away makes a write fail instead of ending the program.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

  std::unique_ptr<Connection> link;
  for (;;) {
    Request request;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
      if (waiting_.empty()) return;
      request = std::move(waiting_.front());
      waiting_.pop_front();
      busy_ = true;
    }
    std::string problem;
    // Only words to speak are worth a connection.
    if (!link && request.kind == Request::Kind::Say) {
      int rate = 0;
      int volume = 0;
      {
        const std::lock_guard lock(mutex_);
        rate = rate_;
        volume = volume_;
      }
      link = Connection::open(problem);
      if (link && !(link->send({Request::Kind::Rate, {}, rate}) &&
                    link->send({Request::Kind::Volume, {}, volume}))) {
        problem = "the speech server refused the voice's rate or volume";
        link.reset();
      }
    }
    if (link && !link->send(request)) {
      problem = "the speech server stopped answering";
      link.reset();
    }
    {
      const std::lock_guard lock(mutex_);
      busy_ = false;
      if (!problem.empty()) {
        failed_ = true;
        problem_ = std::move(problem);
        waiting_.clear();
      }
    }
    changed_.notify_all();
  }
}

}  // namespace qov
