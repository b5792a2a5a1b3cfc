#include "settingsEditor/qt/src/cQtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace settingsEditor::qt {

namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

QMessageBox::StandardButtons standardButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return QMessageBox::Ok;
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::None:
      return QMessageBox::NoIcon;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

MessageAnswer answerOf(int result, MessageButtons buttons) {
  switch (result) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
  }
}

}  // namespace

CQtMessageBoxes::CQtMessageBoxes() {
  m_previous =
      platform::setMessageBoxHandler([this](const std::wstring& caption, const std::wstring& text,
                                            MessageButtons buttons, MessageIcon icon) {
        const QCoreApplication* app = QCoreApplication::instance();
        if (app == nullptr || QThread::currentThread() != app->thread()) {
          return m_previous ? m_previous(caption, text, buttons, icon)
                            : platform::defaultMessageBox(caption, text);
        }
        return show(caption, text, buttons, icon);
      });
}

CQtMessageBoxes::~CQtMessageBoxes() {
  platform::setMessageBoxHandler(std::move(m_previous));
}

MessageAnswer CQtMessageBoxes::show(const std::wstring& caption, const std::wstring& text,
                                    MessageButtons buttons, MessageIcon icon) {
  QWidget* owner = QApplication::activeModalWidget();
  if (owner == nullptr) owner = QApplication::activeWindow();
  QMessageBox box(boxIcon(icon), QString::fromStdWString(caption), QString::fromStdWString(text),
                  standardButtons(buttons), owner);
  return answerOf(box.exec(), buttons);
}

}  // namespace settingsEditor::qt
