#pragma once
// TTimer: a component over a message window and a platform timer. It ticks while Enabled, Interval
// is not 0 and an OnTimer handler is assigned; changing any of them restarts the period.
#include <cstdint>

#include "framework/Component.h"
#include "platform/WinDefs.h"

namespace tv {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  std::uint32_t Interval() const { return interval_; }
  void SetInterval(std::uint32_t ms);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);
  HWND Handle() const { return window_; }

  // The raiser.
  virtual void Timer();

 private:
  void UpdateTimer();
  void WndProc(TMessage& message);

  bool enabled_ = true;
  std::uint32_t interval_ = 1000;
  TNotifyEvent onTimer_;
  HWND window_ = 0;
};

}  // namespace tv
