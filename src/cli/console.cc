// Console output and questions for duplane-cli.
#include "cli/console.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>

#include "cli/interrupt.h"

namespace duplane {
namespace {

std::size_t TerminalWidth() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

Console::Console()
    : terminal_(isatty(STDOUT_FILENO) != 0), interactive_(terminal_ && isatty(STDIN_FILENO) != 0) {}

void Console::Line(const std::string& text) {
  ClearProgress();
  std::fputs(text.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void Console::Error(const std::string& text) {
  ClearProgress();
  std::fprintf(stderr, "duplane-cli: %s\n", text.c_str());
  std::fflush(stderr);
}

void Console::Progress(const std::string& text) {
  if (!terminal_) return;
  // One column less than the width, so the cursor never wraps to a new line.
  const std::size_t width = TerminalWidth() - 1;
  std::string line = text.size() > width ? text.substr(0, width) : text;
  std::fprintf(stdout, "\r%s\033[K", line.c_str());
  std::fflush(stdout);
  progress_shown_ = true;
}

void Console::ClearProgress() {
  if (!progress_shown_) return;
  std::fputs("\r\033[K", stdout);
  std::fflush(stdout);
  progress_shown_ = false;
}

char Console::Ask(const std::string& question) {
  ClearProgress();
  std::fputs(question.c_str(), stdout);
  std::fflush(stdout);
  const int interrupts = InterruptCount();
  std::string answer;
  // Polled rather than a plain read: Ctrl+C must end the wait even though the
  // handler restarts interrupted calls.
  for (;;) {
    if (InterruptCount() != interrupts) {
      std::fputc('\n', stdout);
      return '\0';
    }
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, 100) <= 0) continue;
    char c = 0;
    if (read(STDIN_FILENO, &c, 1) != 1) return '\0';
    if (c == '\n') break;
    answer += c;
  }
  for (char c : answer) {
    if (!std::isspace(static_cast<unsigned char>(c))) {
      return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return '\n';
}

std::string ConsoleText(const std::string& text, const std::string& separator) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += separator;
    } else {
      out += c;
    }
  }
  return out;
}

std::string GroupedNumber(std::int64_t value) {
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const std::string digits = std::to_string(magnitude);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

}  // namespace duplane
