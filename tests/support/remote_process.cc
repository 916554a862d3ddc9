// Starting and stopping duplane-remote (or duplane-remote.exe under Wine) from tests.
#include "support/remote_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace duplane {
namespace {

// The command that starts the module: the Linux executable, or a Wine loader
// and the Windows one.
std::vector<std::string> ModuleCommand() {
  const char* arch = std::getenv("DUPLANE_WINDOWS_ARCH");
  if (arch == nullptr || *arch == '\0') return {DUPLANE_REMOTE_EXE};
  const std::string name = arch;
#ifdef DUPLANE_WINDOWS_DIR
  const std::string exe = std::string(DUPLANE_WINDOWS_DIR) + "/" + name + "/duplane-remote.exe";
  return {name == "x86_64" ? DUPLANE_WINE64_LOADER : DUPLANE_WINE32_LOADER, exe};
#else
  return {"/nonexistent/" + name + "/duplane-remote.exe"};
#endif
}

int ExitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

std::string TempCablePath() {
  static std::atomic<int> counter{0};
  return "/dev/shm/duplane-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

bool RemoteProcess::IsWindowsModule() { return ModuleCommand().size() > 1; }

RemoteProcess::RemoteProcess(const std::vector<std::string>& args,
                             const std::function<void()>& in_child) {
  log_path_ = TempCablePath() + ".log";
  std::vector<std::string> command = ModuleCommand();
  command.insert(command.end(), args.begin(), args.end());
  pid_ = fork();
  if (pid_ == 0) {
    const int log = open(log_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) {
      dup2(log, 1);
      dup2(log, 2);
    }
#ifdef DUPLANE_WINE_PREFIX
    setenv("WINEPREFIX", DUPLANE_WINE_PREFIX, 1);
    setenv("WINEDEBUG", "-all", 0);  // unless a developer asks for its traces
#endif
    if (in_child) in_child();
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (!IsWindowsModule()) return;
  // Wine takes a while to start a process, and a Ctrl+C that arrives before
  // the module has set up its handler would end it without a word. Its first
  // log line (or its end) says it is up.
  struct stat info;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (std::chrono::steady_clock::now() < until) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      status_ = ExitStatus(status);
      return;
    }
    if (stat(log_path_.c_str(), &info) == 0 && info.st_size > 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

RemoteProcess::~RemoteProcess() {
  Stop();
  unlink(log_path_.c_str());
}

int RemoteProcess::Stop() {
  // Wine hands SIGINT to the module as Ctrl+C; SIGTERM would end it at once.
  if (pid_ > 0) kill(pid_, IsWindowsModule() ? SIGINT : SIGTERM);
  return Wait();
}

int RemoteProcess::Wait() {
  if (pid_ <= 0) return status_;
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  status_ = ExitStatus(status);
  return status_;
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
