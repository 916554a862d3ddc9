// Starting and stopping duplane-remote from tests.
#include "support/remote_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace duplane {

std::string TempCablePath() {
  static std::atomic<int> counter{0};
  return "/dev/shm/duplane-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

RemoteProcess::RemoteProcess(const std::vector<std::string>& args,
                             const std::function<void()>& in_child) {
  log_path_ = TempCablePath() + ".log";
  pid_ = fork();
  if (pid_ == 0) {
    const int log = open(log_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) {
      dup2(log, 1);
      dup2(log, 2);
    }
    if (in_child) in_child();
    std::vector<char*> argv;
    static const char kExe[] = DUPLANE_REMOTE_EXE;
    argv.push_back(const_cast<char*>(kExe));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(kExe, argv.data());
    _exit(127);
  }
}

RemoteProcess::~RemoteProcess() {
  Stop();
  unlink(log_path_.c_str());
}

int RemoteProcess::Stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  return Wait();
}

int RemoteProcess::Wait() {
  if (pid_ <= 0) return -1;
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string RemoteProcess::Log() const {
  std::ifstream in(log_path_);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool RemoteProcess::WaitForLog(const std::string& text, double seconds) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (Log().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return Log().find(text) != std::string::npos;
}

}  // namespace duplane
