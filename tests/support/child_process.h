// A second process for tests: started with a pipe on its standard output,
// killed and reaped when the object goes.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testing_support {

class ChildProcess {
 public:
  // Runs `program` with `argv` (argv[0] included, which may differ from the
  // program's path).
  ChildProcess(const std::string& program, const std::vector<std::string>& argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  // The next line the child writes, without its newline; "" when it ends or
  // says nothing within ten seconds.
  std::string readLine();
  // Kills the child and waits until it is gone.
  void kill();

 private:
  pid_t pid_ = -1;
  int output_ = -1;
};

}  // namespace testing_support
