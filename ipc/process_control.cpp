#include "ipc/process_control.h"

namespace {

// Appends the argument so that the runtime library's command-line splitting
// gives it back unchanged.
void AppendQuoted(std::u16string& line, std::u16string_view argument) {
  if (!argument.empty() && argument.find_first_of(u" \t\n\v\"") == std::u16string_view::npos) {
    line += argument;
    return;
  }
  line += u'"';
  std::size_t i = 0;
  while (true) {
    std::size_t backslashes = 0;
    while (i < argument.size() && argument[i] == u'\\') {
      ++backslashes;
      ++i;
    }
    if (i == argument.size()) {
      // Doubled, so that the closing quote stays a quote.
      line.append(backslashes * 2, u'\\');
      break;
    }
    if (argument[i] == u'"') {
      line.append(backslashes * 2 + 1, u'\\');
    } else {
      line.append(backslashes, u'\\');
    }
    line += argument[i];
    ++i;
  }
  line += u'"';
}

}  // namespace

std::u16string BuildCommandLine(std::u16string_view path,
                                const std::vector<std::u16string>& arguments) {
  const std::size_t slash = path.rfind(u'\\');
  std::u16string line(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
  for (const std::u16string& argument : arguments) {
    line += u' ';
    AppendQuoted(line, argument);
  }
  return line;
}

std::uint32_t ProcessWaitMilliseconds(std::uint32_t waitSeconds) {
  return waitSeconds * 1000u;
}
