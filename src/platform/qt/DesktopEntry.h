#pragma once
// The autorun store on XDG desktops: one autostart desktop entry per value,
// $XDG_CONFIG_HOME/autostart/<name>.desktop, whose Exec line runs the stored command.
#include <optional>
#include <string>

namespace tv::platform::qt {

// $XDG_CONFIG_HOME/autostart, or ~/.config/autostart; empty when neither can be found.
std::string AutostartDirectory();

// Whether `name` can be a value name (it becomes a file name: no separators, no "." or "..").
bool IsValidAutorunName(const std::string& name);

// The Exec value for running `command` as one program path, quoted and escaped as the Desktop
// Entry rules ask (argument quoting, "%%", then the string escapes of the file).
std::string EncodeExecValue(const std::string& command);
// The inverse: the command an Exec value runs. One argument comes back as it is; several are
// joined by spaces, arguments with blanks in double quotes. Field codes (%f, %u ...) are dropped.
std::string DecodeExecValue(const std::string& value);

// The whole file for a value.
std::string DesktopEntryText(const std::string& name, const std::string& command);
// The command of a desktop entry, or nothing when it has no Exec key in its [Desktop Entry]
// group or is hidden (Hidden=true: the user turned it off).
std::optional<std::string> DesktopEntryCommand(const std::string& text);

// Writes through a temporary file in the same folder and a rename, so readers see the old or the
// new content, never a part.
bool WriteFileAtomically(const std::string& path, const std::string& content);

}  // namespace tv::platform::qt
