#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace qov {

// Self-voicing through speech-dispatcher, in Japanese. The connection is made on the first
// request, on a thread of its own, so that a desktop without speech-dispatcher costs nothing
// until speech is asked for and the game never waits for the speech server.
class Speech {
 public:
  Speech() = default;
  // Cuts off what is being spoken and closes the connection.
  ~Speech();
  Speech(const Speech&) = delete;
  Speech& operator=(const Speech&) = delete;

  // Speaks `utf8` after what is being spoken.
  void say(std::string utf8);
  // Stops what is being spoken and forgets what waits.
  void cancel();
  // -100 (slowest) to 100 (fastest), 0 the voice's own; volume 0 to 100.
  void setRate(int rate);
  void setVolume(int percent);

  // Why speech-dispatcher cannot speak (it is missing or refused the connection), once: the
  // first call after the failure returns it, later calls nullopt. Until then everything asked
  // is forgotten silently.
  [[nodiscard]] std::optional<std::string> takeProblem();
  // Waits until everything asked so far has reached the speech server (or was given up).
  void flush();

 private:
  struct Request {
    enum class Kind { Say, Cancel, Rate, Volume } kind = Kind::Say;
    std::string text;
    int value = 0;
  };
  class Connection;

  void ask(Request request);
  void serve();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Request> waiting_;
  bool busy_ = false;  // the thread is sending a request
  bool ending_ = false;
  bool failed_ = false;
  int rate_ = 0;  // for the connection to come
  int volume_ = 100;
  std::optional<std::string> problem_;
  std::thread thread_;  // started by the first request
};

}  // namespace qov
