#pragma once
// The save-file dialog: a component over the platform's save dialog.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/Component.h"

namespace tv {

using TOpenOptions = std::uint32_t;
constexpr TOpenOptions ofReadOnly = 1u << 0;
constexpr TOpenOptions ofOverwritePrompt = 1u << 1;
constexpr TOpenOptions ofHideReadOnly = 1u << 2;
constexpr TOpenOptions ofNoChangeDir = 1u << 3;
constexpr TOpenOptions ofPathMustExist = 1u << 11;
constexpr TOpenOptions ofEnableSizing = 1u << 23;

class TSaveDialog : public TComponent {
 public:
  explicit TSaveDialog(TComponent* owner);

  // The extension added to a name typed without one, without the dot ("jpg").
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& ext);
  // "Description|*.ext;*.ext2|Other|*.x": pairs of description and patterns.
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& filter) { filter_ = filter; }
  // 1-based, as the classic dialog counts.
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int v) { filterIndex_ = v; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name) { fileName_ = name; }
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& dir) { initialDir_ = dir; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions o) { options_ = o; }

  // Runs the dialog (modal); true and FileName set when the user chose a file.
  virtual bool Execute();

  // The Filter as (description, patterns) pairs; a trailing description without patterns is
  // dropped, empty parts are skipped.
  static std::vector<std::pair<std::string, std::string>> ParseFilter(const std::string& filter);

 private:
  std::string defaultExt_;
  std::string filter_;
  int filterIndex_ = 1;
  std::string fileName_;
  std::string initialDir_;
  std::string title_;
  TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
};

}  // namespace tv
