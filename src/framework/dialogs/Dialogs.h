#pragma once
// The framework's standard dialogs: message boxes and the text input box, each a modal form of
// our own, centred on the screen.
#include <string>

#include "platform/WinDefs.h"

namespace tv {

// MessageBox flags and answers, Windows values.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_RETRYCANCEL = 0x5;
constexpr UINT MB_TYPEMASK = 0xF;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONHAND = MB_ICONERROR;
constexpr UINT MB_ICONSTOP = MB_ICONERROR;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_ICONASTERISK = MB_ICONINFORMATION;
constexpr UINT MB_ICONMASK = 0xF0;
constexpr UINT MB_DEFBUTTON1 = 0x000;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;
constexpr UINT MB_DEFMASK = 0xF00;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// A modal message box; returns the id of the button that closed it. Lines break at "\r\n" and
// long lines wrap. Enter clicks the default button; Escape (and closing the window) answers
// Cancel when there is a Cancel button, OK in an OK-only box, and does nothing otherwise.
int MessageBox(const std::string& text, const std::string& caption, UINT flags = MB_OK);
// A message box with the application's title as its caption.
void ShowMessage(const std::string& text);

// Makes the message box the application's error box (call once at start-up, after the
// application object exists).
void InstallDialogs();

// A modal text query: `value` is the initial text (all selected); only OK hands the edited text
// back (and returns true). At most 255 characters.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
// As InputQuery; returns the edited text after OK, the default otherwise.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);

}  // namespace tv
