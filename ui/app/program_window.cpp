#include "ui/app/program_window.h"

#include "ui/app/password_dialog.h"
#include "ui/app/window_geometry.h"
#include "ui/preview/preview_dialog.h"

namespace ostrel::ui {
ProgramWindow::ProgramWindow(const QString& switchFile)
    : askingEngine_(engine_, AskForPassword),
      switches_(switchFile.isEmpty() ? settings::SwitchStore::DefaultFilePath() : switchFile),
      formatter_(engine::MakeLocaleFormatter()),
      runner_(askingEngine_, switches_, *formatter_),
      window_(MainWindowServices{
          .engine = askingEngine_,
          .switches = switches_,
          .runner = runner_,
          .help = help_,
          .messages = messages_,
          .fileDialogs = fileDialogs_,
          .loadPreview = [](QWidget* parent) -> std::unique_ptr<engine::PagedOutput> {
              auto preview = std::make_unique<PreviewDialog>(parent);
              // Within the screen, also at a large scale or on a small screen.
              FitToScreen(*preview);
              preview->ShowWhileLayingOut(true);
              return preview;
          }}) {
    help_.InitHelp(&window_);
}

}  // namespace ostrel::ui
