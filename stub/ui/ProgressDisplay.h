// The progress display's driver: a main bar and a small activity bar that moves on every step.
#pragma once
#include <functional>
#include <string>

// What the driver needs from the two bars (the window binding sends the bar messages).
class ProgressBars {
 public:
  virtual ~ProgressBars() = default;
  virtual void SetMainRange(int low, int high) = 0;  // both travel in 16 bits
  virtual void SetMainPosition(int position) = 0;
  virtual void SetMainStep(int step) = 0;
  virtual void StepMain() = 0;
  virtual void SetActivityRange(int low, int high) = 0;
  virtual void SetActivityPosition(int position) = 0;
  virtual void SetActivityStep(int step) = 0;
};

// Driver modes.
constexpr int kProgressStart = 0;  // start or reset a range
constexpr int kProgressStep = 1;   // advance one step

// The six arguments every caller of the display passes.
using ProgressCallback =
    std::function<void(int mode, int low, int maximum, const char* text, int step, int position)>;

// Connects the driver to the bars (nullptr disconnects; the driver then only counts).
void ProgressAttachBars(ProgressBars* bars);

// The display driver: mode 0 sets the main range (low .. maximum mod 65,536), position and
// step and restarts the activity bar at 0 of 0..5; mode 1 steps the main bar and moves the
// activity bar to the next of 1, 2, 3, 4, 5, 0. Other modes do nothing; the text is not shown.
void ProgressDriver(int mode, int low, int maximum, const char* text, int step, int position);

// Position of the activity bar after the last driver call (for diagnostics and tests).
int ProgressActivityPosition();

// The download code's progress object. Every operation lets the thread's pending messages
// through (`pump`) once before and once after the driver call so the window stays alive.
class TProgBar {
 public:
  TProgBar(ProgressCallback driver, std::function<void()> pump);
  ~TProgBar();
  TProgBar(const TProgBar&) = delete;
  TProgBar& operator=(const TProgBar&) = delete;

  void Start(int position, int maximum);
  void Step(const char* text);
  void Finish();
  void SetItemName(const char* text);
  const std::string& ItemName() const { return m_itemName; }

 private:
  void Call(int mode, int low, int maximum, const char* text, int step, int position);

  ProgressCallback m_driver;
  std::function<void()> m_pump;
  std::string m_itemName;
};

// Style choice of the progress label: right-to-left reading and right alignment for the
// Hebrew (177) and Arabic (178) character sets.
bool LabelIsRightToLeft(int charset);
