// A connected handle on the simulated BIOS API device, with the trace on so
// that every trace line of the layer is formatted too.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "ArdoTrace.h"
#include "keb_inter.h"
#include "kebbapi_inter.h"
#include "sim_sandbox.h"

namespace simtest {

class TraceOn : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* base = getenv("KEBSIM_TEST_TMP");
    std::string dir = base && *base ? base : "/tmp";
    std::string profile = dir + "/trace.ini";
    std::ofstream(profile) << "[TRACE_SETTINGS]\nTrace=1\nTraceClear=1\nTraceLevel=30\nTraceFile=" << dir
                           << "/calls.trc\n";
    g_trc.Enable_By_Profile(profile.c_str(), true);
  }
};

class CallsTest : public ::testing::Test {
 protected:
  void Connect(const std::string& settings = "") {
    Disconnect();
    box_.reset();
    box_.reset(new Sandbox(settings));
    uint32_t version = 0;
    ASSERT_EQ(0, DRV_Connect("/dev/kebbapi", &fd_, &version));
    box_->ClearLog();
  }
  void Disconnect() {
    if (fd_ >= 0) DRV_Disconnect(fd_);
    fd_ = -1;
  }
  void SetUp() override { Connect(); }
  void TearDown() override {
    Disconnect();
    box_.reset();
  }
  std::vector<Record> Log() { return box_->Log(); }
  // Control input bytes of the n-th logged request.
  std::vector<uint8_t> CtrlIn(size_t n) { return FromHex(Log().at(n)["ctrl_in"]); }

  int fd_ = -1;
  std::unique_ptr<Sandbox> box_;
};

}  // namespace simtest
