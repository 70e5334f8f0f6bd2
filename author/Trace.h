#pragma once

#include <iosfwd>

#include "engine/Interpreter.h"

namespace qov::author {

// Writes each command the interpreter runs as "NAME.QOV:LINE: text", one line each.
class TraceWriter final : public CommandObserver {
 public:
  explicit TraceWriter(std::ostream& out) : out_(out) {}
  void commandStarts(const ScriptStore& store) override;

 private:
  std::ostream& out_;
};

}  // namespace qov::author
