#include "framework/Timer.h"

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/MessageWindow.h"
#include "platform/Platform.h"

namespace tv {
namespace {
constexpr std::uintptr_t kTimerId = 1;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TTimer::~TTimer() {
  enabled_ = false;
  if (window_) {
    platform::GetPlatform().KillTimer(window_, kTimerId);
    DeallocateHWnd(window_);
  }
}

void TTimer::UpdateTimer() {
  auto& p = platform::GetPlatform();
  p.KillTimer(window_, kTimerId);
  if (interval_ != 0 && enabled_ && onTimer_) {
    if (!p.SetTimer(window_, kTimerId, interval_)) throw EOutOfResources("Not enough timers available");
  }
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  UpdateTimer();
}

void TTimer::SetInterval(std::uint32_t ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void TTimer::Timer() { RaiseEvent(onTimer_, this); }

void TTimer::WndProc(TMessage& m) {
  if (m.Msg != WM_TIMER) {
    m.Result = DefWindowProc(window_, m.Msg, m.WParam, m.LParam);
    return;
  }
  // Errors of a tick go to the error box; the timer keeps running.
  try {
    Timer();
  } catch (...) {
    if (Application)
      Application->HandleException(this);
    else
      throw;
  }
}

}  // namespace tv
