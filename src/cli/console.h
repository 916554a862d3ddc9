// The terminal or log that a duplane-cli run writes to. On a terminal one
// progress line is rewritten in place and questions can be asked; anything
// else (a file, a pipe) gets whole lines only and is never asked anything.
#pragma once

#include <cstdint>
#include <string>

namespace duplane {

class Console {
 public:
  // Looks at standard input and output once.
  Console();

  // Standard output is a terminal: a progress line instead of log lines.
  bool terminal() const { return terminal_; }
  // Questions can be answered: standard input and output are both terminals.
  bool interactive() const { return interactive_; }

  // One line on standard output, flushed at once so a log is current when the
  // run is cut short.
  void Line(const std::string& text);
  // "duplane-cli: " + text on standard error.
  void Error(const std::string& text);
  // Rewrites the progress line (terminal only), cut to the terminal's width.
  void Progress(const std::string& text);
  void ClearProgress();

  // Shows `question` and reads one answer line. Returns the answer's first
  // character in lower case, '\n' for an empty answer, or '\0' when input ends
  // or a signal arrives while waiting (InterruptCount() rises).
  char Ask(const std::string& question);

 private:
  bool terminal_ = false;
  bool interactive_ = false;
  bool progress_shown_ = false;
};

// Message texts separate their lines with a carriage return; a console wants
// `separator` there ("\n" for a block of text, "; " for a one-line error).
std::string ConsoleText(const std::string& text, const std::string& separator);
// 1234567 as "1,234,567".
std::string GroupedNumber(std::int64_t value);

}  // namespace duplane
