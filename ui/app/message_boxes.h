#pragma once

#include <QString>

#include "engine/run_ports.h"

class QWidget;

namespace ostrel::ui {

// Every message box of the main window goes through here, so that tests can
// answer them without a real modal box.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Shows a message with one OK button; returns when it has been closed.
    virtual void Show(QWidget* parent, const QString& text, engine::MessageIcon icon,
                      const QString& caption) = 0;

  protected:
    MessageBoxes() = default;
    MessageBoxes(const MessageBoxes&) = default;
    MessageBoxes& operator=(const MessageBoxes&) = default;
};

// Real, modal message boxes.
class QtMessageBoxes : public MessageBoxes {
  public:
    void Show(QWidget* parent, const QString& text, engine::MessageIcon icon,
              const QString& caption) override;
};

}  // namespace ostrel::ui
