#pragma once

#include <QString>

#include <memory>

#include "components/jet/jet_engine.h"
#include "engine/value_formatter.h"
#include "settings/switch_store.h"
#include "ui/app/engine_report_runner.h"
#include "ui/app/file_dialogs.h"
#include "ui/app/help_system.h"
#include "ui/app/main_window.h"
#include "ui/app/message_boxes.h"
#include "ui/app/password_asking_engine.h"

namespace ostrel::ui {

// The main window with everything it runs on, wired as the program uses it:
// the Jet reader (asking for passwords in a dialog), the stored report switches, the report runner,
// message boxes, file dialogs, help and the preview window. Help is set up for the window; the
// window is not shown yet.
class ProgramWindow {
  public:
    // The report switches are kept in switchFile, or in the user's settings
    // file when it is empty.
    explicit ProgramWindow(const QString& switchFile = {});

    MainWindow& Window() { return window_; }
    ContextIDs& Help() { return help_; }
    settings::SwitchStore& Switches() { return switches_; }

  private:
    jet::JetEngine engine_;
    PasswordAskingEngine askingEngine_;
    settings::SwitchStore switches_;
    std::unique_ptr<engine::ValueFormatter> formatter_;
    EngineReportRunner runner_;
    QtMessageBoxes messages_;
    QtFileDialogs fileDialogs_;
    ContextIDs help_;
    MainWindow window_;
};

}  // namespace ostrel::ui
