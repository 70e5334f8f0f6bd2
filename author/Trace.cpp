#include "author/Trace.h"

#include <ostream>
#include <string>

#include "platform/Encoding.h"

namespace qov::author {

void TraceWriter::commandStarts(const ScriptStore& store) {
  const std::int16_t lineNo = store.lineNo();
  // One write a line: the stream may be unbuffered.
  std::string line = store.scriptFile();
  line += ':';
  line += std::to_string(lineNo);
  line += ": ";
  line += toUtf8(store.ScriptLine(lineNo));
  line += '\n';
  out_ << line << std::flush;
}

}  // namespace qov::author
