// The base of tests that call vorda: a fresh stand-in host for each test,
// watched by the probe from before the first call, with a host object to
// report to.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_probe.h"
#include "tarn.h"
#include "vorda.h"

namespace vorda_test {

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tarn::host().Reset();
    host_ = tarn::host().NewObject("script");
  }
  std::vector<std::string> Messages() const { return tarn::host().Messages(); }

  HostProbe& probe_ = probe();
  HostObject host_ = 0;
};

}  // namespace vorda_test
