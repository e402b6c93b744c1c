#pragma once
// The application object: title, main form, the message loop and its modal variants, the
// application window (the hidden window that stands for the task-bar button) with its hooks,
// minimising and restoring, and the default error box for exceptions no handler catches.
//
// Every platform event is turned into the Windows message and delivered to the window's procedure;
// an exception escaping a handler is caught there and shown (HandleException). No exception leaves
// the loop.
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Form.h"
#include "framework/MessageWindow.h"
#include "platform/Platform.h"

namespace tv {

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;
using TWindowHook = std::function<bool(TMessage& Message)>;

class TApplication : public TComponent {
 public:
  // Needs the platform installed; installs itself as the global Application when there is none.
  explicit TApplication(TComponent* owner = nullptr);
  ~TApplication() override;

  void Initialize() {}
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  // Constructs the form with the application as owner; `reference`, when given, is set before the
  // creation completes (so OnCreate handlers can use it). The first form becomes MainForm.
  template <class T>
  T* CreateForm(T** reference = nullptr) {
    T* form = new T(this);
    if (reference) *reference = form;
    try {
      form->AfterConstruction();
    } catch (...) {
      if (reference) *reference = nullptr;
      delete form;
      throw;
    }
    if (!mainForm_) SetMainFormFromCreate(form);
    return form;
  }
  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }

  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool v) { showMainForm_ = v; }

  // Shows the main form (when ShowMainForm), then handles messages until Terminate.
  void Run();
  // Handles every message already queued (and paints), without waiting.
  void ProcessMessages();
  // Paints, waits for at least one message and handles what is queued.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles messages until `done` says so (or the application terminates).
  void RunModalLoop(const std::function<bool()>& done);
  // Paints and presents every form that needs it.
  void UpdateForms();

  // ---- the application window -------------------------------------------------------------------
  HWND Handle() const { return handle_; }
  // Every message of the application window goes to the hooks first (newest first); a hook that
  // returns true consumes it. Then the application handles it. The id removes the hook again.
  int HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(int id);
  bool WindowVisible() const { return windowVisible_; }
  bool WindowMinimized() const { return minimized_; }
  // Applies the rule that the application window is shown while any form is.
  void UpdateWindowVisible();
  void SetWindowVisibleFlag(bool v) { windowVisible_ = v; }

  void Minimize();
  void Restore();
  // Brings the application to the front: the active form (or main form) is activated.
  void BringToFront();

  // ---- errors -----------------------------------------------------------------------------------
  TExceptionEvent OnException;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnIdle;
  // Handles the exception being caught (call from a catch block): OnException when assigned,
  // otherwise ShowException; EAbort is silent.
  void HandleException(TObject* sender);
  void ShowException(const std::exception& e);
  // Shows an exception text in the default error box. Default: stderr; the message box of the
  // controls layer replaces it.
  void SetExceptionPresenter(std::function<void(const std::string& text)> presenter);

  // ---- dispatch (used by the loop) ----------------------------------------------------------------
  // Turns one platform event into its message and delivers it.
  void DispatchEvent(const platform::Event& event);
  // The modifier keys of the input event being handled.
  TShiftState CurrentShiftState() const { return currentShift_; }

 protected:
  virtual void WndProc(TMessage& message);

 private:
  void SetMainFormFromCreate(TForm* form);
  void InternalMinimize();
  void InternalRestore();
  void DeliverInput(TForm* form, const platform::Event& e);

  std::string title_;
  TForm* mainForm_ = nullptr;
  bool showMainForm_ = true;
  bool terminated_ = false;
  bool running_ = false;
  HWND handle_ = 0;
  bool windowVisible_ = false;
  bool minimized_ = false;
  bool active_ = false;
  struct Hook {
    int id;
    TWindowHook fn;
  };
  std::vector<Hook> hooks_;
  int nextHookId_ = 1;
  std::function<void(const std::string&)> presenter_;
  TShiftState currentShift_ = 0;
  bool ownsScreen_ = false;
};

// The application of the process (nullptr before one exists).
extern TApplication* Application;

}  // namespace tv
