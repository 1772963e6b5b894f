#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/ProgressDisplay.h"

namespace {

// Records what the driver sends to the bars.
class RecordingBars : public ProgressBars {
 public:
  std::vector<std::string> calls;
  void SetMainRange(int low, int high) override { Add("main range", low, high); }
  void SetMainPosition(int p) override { Add("main pos", p); }
  void SetMainStep(int s) override { Add("main step", s); }
  void StepMain() override { calls.push_back("main stepit"); }
  void SetActivityRange(int low, int high) override { Add("activity range", low, high); }
  void SetActivityPosition(int p) override { Add("activity pos", p); }
  void SetActivityStep(int s) override { Add("activity step", s); }

 private:
  void Add(const char* what, int a, int b = -1) {
    calls.push_back(std::string(what) + " " + std::to_string(a) + (b >= 0 ? " " + std::to_string(b) : ""));
  }
};

class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override { ProgressAttachBars(&bars); }
  void TearDown() override { ProgressAttachBars(nullptr); }
  RecordingBars bars;
};

TEST_F(ProgressTest, StartSetsBothBars) {
  ProgressDriver(0, 0, 100, "ignored", 1, 5);
  std::vector<std::string> want = {"main range 0 100", "main pos 5", "main step 1",
                                   "activity range 0 5", "activity pos 0", "activity step 1"};
  EXPECT_EQ(bars.calls, want);
}

TEST_F(ProgressTest, MaximumTravelsInSixteenBits) {
  struct Case { int maximum; int range; } cases[] = {{70000, 4464}, {65535, 65535}, {65536, 0}, {10, 10}};
  for (const auto& c : cases) {
    bars.calls.clear();
    ProgressDriver(0, 0, c.maximum, nullptr, 1, 0);
    EXPECT_EQ(bars.calls.at(0), "main range 0 " + std::to_string(c.range));
  }
}

TEST_F(ProgressTest, ActivityCyclesThroughSixPositions) {
  ProgressDriver(0, 0, 100, nullptr, 1, 0);
  std::vector<int> seen;
  for (int i = 0; i < 8; ++i) {
    ProgressDriver(1, 0, 0, nullptr, 0, 0);
    seen.push_back(ProgressActivityPosition());
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 0, 1, 2}));
  EXPECT_EQ(bars.calls.back(), "activity pos 2");
  ProgressDriver(0, 0, 10, nullptr, 1, 0);   // a new start restarts the cycle
  EXPECT_EQ(ProgressActivityPosition(), 0);
  bars.calls.clear();
  ProgressDriver(7, 0, 10, nullptr, 1, 0);   // unknown modes do nothing
  EXPECT_TRUE(bars.calls.empty());
}

TEST_F(ProgressTest, WithoutBarsOnlyCounts) {
  ProgressAttachBars(nullptr);
  ProgressDriver(0, 0, 10, nullptr, 1, 0);
  ProgressDriver(1, 0, 0, nullptr, 0, 0);
  EXPECT_EQ(ProgressActivityPosition(), 1);
  EXPECT_TRUE(bars.calls.empty());
}

TEST(TProgBar, OperationsPumpAroundEachDriverCall) {
  std::vector<std::string> log;
  auto driver = [&](int mode, int low, int maximum, const char*, int step, int position) {
    log.push_back("drv " + std::to_string(mode) + " " + std::to_string(low) + " " + std::to_string(maximum) +
                  " " + std::to_string(step) + " " + std::to_string(position));
  };
  {
    TProgBar bar(driver, [&] { log.push_back("pump"); });
    bar.Start(1, 11);
    bar.Step("chunk");
    bar.SetItemName("file.bin");
    EXPECT_EQ(bar.ItemName(), "file.bin");
    bar.Finish();
  }  // destruction resets the bars once more
  std::vector<std::string> want = {"pump", "drv 0 0 11 1 1", "pump", "pump", "drv 1 0 0 0 0", "pump",
                                   "pump", "drv 0 0 0 1 0", "pump", "pump", "drv 0 0 0 1 0", "pump"};
  EXPECT_EQ(log, want);
}

TEST(ProgressLabel, RightToLeftCharsets) {
  struct Case { int charset; bool rtl; } cases[] = {{177, true}, {178, true}, {0, false}, {1, false}, {161, false}};
  for (const auto& c : cases) EXPECT_EQ(LabelIsRightToLeft(c.charset), c.rtl) << c.charset;
}

}  // namespace
