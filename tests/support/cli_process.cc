// Starting duplane-cli from tests, with its output in files.
#include "support/cli_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/remote_process.h"

namespace duplane {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void Redirect(const std::string& path, int fd, int flags) {
  const int opened = open(path.c_str(), flags, 0644);
  if (opened >= 0) dup2(opened, fd);
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args) {
  const std::string base = TempCablePath();
  out_path_ = base + ".out";
  err_path_ = base + ".err";
  pid_ = fork();
  if (pid_ == 0) {
    Redirect("/dev/null", 0, O_RDONLY);
    Redirect(out_path_, 1, O_WRONLY | O_CREAT | O_TRUNC);
    Redirect(err_path_, 2, O_WRONLY | O_CREAT | O_TRUNC);
    std::vector<char*> argv;
    static const char kExe[] = DUPLANE_CLI_EXE;
    argv.push_back(const_cast<char*>(kExe));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(kExe, argv.data());
    _exit(127);
  }
}

CliProcess::~CliProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    Wait();
  }
  unlink(out_path_.c_str());
  unlink(err_path_.c_str());
}

int CliProcess::Wait() {
  if (pid_ <= 0) return -1;
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void CliProcess::Signal(int signal_number) {
  if (pid_ > 0) kill(pid_, signal_number);
}

std::string CliProcess::Out() const { return Slurp(out_path_); }

std::string CliProcess::Err() const { return Slurp(err_path_); }

bool CliProcess::WaitForOut(const std::string& text, double seconds) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    if (Out().find(text) != std::string::npos) return true;
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

CliResult RunCli(const std::vector<std::string>& args) {
  CliProcess process(args);
  CliResult result;
  result.status = process.Wait();
  result.out = process.Out();
  result.err = process.Err();
  return result;
}

}  // namespace duplane
