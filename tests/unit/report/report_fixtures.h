// Records, environment and a pair-status tool stand-in shared by the report tests.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "inquiry/dev_identity.h"
#include "platform/platform.h"
#include "support/fake_backend.h"

namespace vox::test {

template <std::size_t N>
void set_text(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  std::memcpy(field, text, strnlen(text, N - 1));
}

// The volume of the worked examples: harddisk1 on CL1-A of array 64015, LDEV 1234.
inline DevIdentity sample_record() {
  DevIdentity r;
  set_text(r.port_name, "CL1-A");
  set_text(r.vendor_id, "TARVELO ");
  set_text(r.product_id, "DISK-1          ");
  r.serial = 64015;
  r.ldev = 1234;
  r.sl_id = 0xFF;
  r.cl_id = 0xFF;
  return r;
}

struct Printed {
  std::string out;
  std::string err;
};

inline Printed capture(const std::function<void()>& body) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  body();
  std::fflush(stdout);
  std::fflush(stderr);
  Printed p;
  p.out = testing::internal::GetCapturedStdout();
  p.err = testing::internal::GetCapturedStderr();
  return p;
}

// Sets (or, with a null value, removes) an environment variable for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Answers the command lines of the pair-status tool: each popen gets the next canned
// answer (a null text makes popen fail with ENOENT), each system call the next status.
class ToolBackend : public FakeBackend {
 public:
  struct Answer {
    const char* text;  // null: popen fails
    int status;
  };

  std::FILE* popen(const char* command, const char* mode) override {
    commands.emplace_back(command);
    modes.emplace_back(mode);
    if (answers.empty()) {
      errno = ENOENT;
      return nullptr;
    }
    const Answer a = answers.front();
    answers.pop_front();
    if (a.text == nullptr) {
      errno = ENOENT;
      return nullptr;
    }
    std::FILE* f = std::tmpfile();
    std::fputs(a.text, f);
    std::rewind(f);
    open_statuses.push_back(a.status);
    return f;
  }
  int pclose(std::FILE* f) override {
    std::fclose(f);
    const int status = open_statuses.front();
    open_statuses.pop_front();
    return status;
  }
  int system(const char* command) override {
    commands.emplace_back(command);
    if (system_errno != 0) errno = system_errno;
    return system_status;
  }

  std::vector<std::string> commands;
  std::vector<std::string> modes;
  std::deque<Answer> answers;
  std::deque<int> open_statuses;
  int system_status = 0;
  int system_errno = 0;
};

// Installs a ToolBackend for the test and keeps a pointer to it.
class ToolTest : public testing::Test {
 protected:
  void SetUp() override {
    auto b = std::make_unique<ToolBackend>();
    tool = b.get();
    plat::set_backend(std::move(b));
  }
  ToolBackend* tool = nullptr;
};

}  // namespace vox::test
