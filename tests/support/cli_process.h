// A real duplane-cli process for tests: standard input empty, standard output
// and error each kept in a file (so the program sees no terminal, as in a
// script), waited for or signalled like a user would.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace duplane {

class CliProcess {
 public:
  explicit CliProcess(const std::vector<std::string>& args);
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // Waits for the end; the exit status, or -1 when a signal ended it.
  int Wait();
  void Signal(int signal_number);
  std::string Out() const;
  std::string Err() const;
  // Waits up to `seconds` for `text` to appear on standard output.
  bool WaitForOut(const std::string& text, double seconds) const;

 private:
  pid_t pid_ = -1;
  std::string out_path_;
  std::string err_path_;
};

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs duplane-cli with `args` to its end.
CliResult RunCli(const std::vector<std::string>& args);

}  // namespace duplane
