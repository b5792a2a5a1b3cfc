#include "settingsEditor/tests/fakeDialogView.h"

#include <cstdlib>
#include <stdexcept>

#include "platform/src/environment.h"

#include "settingsEditor/src/channelSettings.h"

namespace settingsEditor::test {

using settingsEditor::FileDialogRequest;

FakeDialogView::FakeDialogView() {
  for (const auto& field : settingsEditor::exchangeOrder()) texts[field.controlId];
}

platform::MessageAnswer FakeDialogView::messageBox(const std::wstring& text,
                                                   platform::MessageButtons buttons) {
  boxes.push_back({text, buttons});
  if (boxAnswers.empty()) return platform::MessageAnswer::Cancel;
  const platform::MessageAnswer answer = boxAnswers.front();
  boxAnswers.pop_front();
  return answer;
}

std::wstring FakeDialogView::controlText(int id) const {
  const auto it = texts.find(id);
  if (it == texts.end()) throw std::logic_error("no control " + std::to_string(id));
  return it->second;
}

void FakeDialogView::setControlText(int id, const std::wstring& text) {
  showControlText(id, text);
  if (onChange) onChange();
}

void FakeDialogView::showControlText(int id, const std::wstring& text) {
  controlText(id);
  texts[id] = text;
}

std::optional<std::wstring> FakeDialogView::nextFile() {
  if (fileAnswers.empty()) return std::nullopt;
  std::optional<std::wstring> answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

std::optional<std::wstring> FakeDialogView::chooseFileToOpen(const FileDialogRequest& request) {
  openRequests.push_back(request);
  return nextFile();
}

std::optional<std::wstring> FakeDialogView::chooseFileToSave(const FileDialogRequest& request) {
  saveRequests.push_back(request);
  return nextFile();
}

void FakeDialogView::beginWaitCursor() {
  ++waitDepth;
  if (waitDepth > maxWaitDepth) maxWaitDepth = waitDepth;
}

settingsEditor::FontDescription FakeDialogView::controlFont(int id) const {
  const auto it = fonts.find(id);
  return it != fonts.end() ? it->second : settingsEditor::FontDescription{L"DejaVu Sans", 8};
}

std::optional<settingsEditor::Rect> FakeDialogView::controlRect(int id) const {
  const auto it = rects.find(id);
  if (it == rects.end()) return std::nullopt;
  return it->second;
}

TemporaryDirectory::TemporaryDirectory()
    : ScratchDir("pgDialogTmp"), previous_(platform::environmentVariable("TMP")) {
  ::setenv("TMP", path().c_str(), 1);
}

TemporaryDirectory::~TemporaryDirectory() {
  if (previous_) {
    ::setenv("TMP", previous_->c_str(), 1);
  } else {
    ::unsetenv("TMP");
  }
}

}  // namespace settingsEditor::test
