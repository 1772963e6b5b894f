#include "ui/ProgressDisplay.h"

namespace {

ProgressBars* g_bars = nullptr;
int g_activity = 0;  // position of the activity bar, cycles 0..5

constexpr int kActivityTop = 5;

}  // namespace

void ProgressAttachBars(ProgressBars* bars) { g_bars = bars; }

int ProgressActivityPosition() { return g_activity; }

void ProgressDriver(int mode, int low, int maximum, const char* /*text*/, int step, int position) {
  if (mode == kProgressStart) {
    g_activity = 0;
    if (!g_bars) return;
    // The range message carries both bounds as 16-bit halves.
    g_bars->SetMainRange(low & 0xFFFF, maximum & 0xFFFF);
    g_bars->SetMainPosition(position);
    g_bars->SetMainStep(step);
    g_bars->SetActivityRange(0, kActivityTop);
    g_bars->SetActivityPosition(0);
    g_bars->SetActivityStep(1);
  } else if (mode == kProgressStep) {
    g_activity = g_activity + 1 > kActivityTop ? 0 : g_activity + 1;
    if (!g_bars) return;
    g_bars->StepMain();
    g_bars->SetActivityPosition(g_activity);
  }
}

TProgBar::TProgBar(ProgressCallback driver, std::function<void()> pump)
    : m_driver(std::move(driver)), m_pump(std::move(pump)) {}

TProgBar::~TProgBar() { Finish(); }

void TProgBar::Call(int mode, int low, int maximum, const char* text, int step, int position) {
  if (m_pump) m_pump();
  if (m_driver) m_driver(mode, low, maximum, text, step, position);
  if (m_pump) m_pump();
}

void TProgBar::Start(int position, int maximum) { Call(kProgressStart, 0, maximum, nullptr, 1, position); }

void TProgBar::Step(const char* text) { Call(kProgressStep, 0, 0, text, 0, 0); }

void TProgBar::Finish() { Call(kProgressStart, 0, 0, nullptr, 1, 0); }

void TProgBar::SetItemName(const char* text) { m_itemName = text ? text : ""; }

bool LabelIsRightToLeft(int charset) { return charset == 177 || charset == 178; }
