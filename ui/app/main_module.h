#pragma once

namespace ostrel::ui {

// The program's start: refuses a second copy, shows the About box as a splash
// for four seconds above the main window, prepares help and shows the main
// window. Returns the program's exit status.
int Main(int argc, char** argv);

}  // namespace ostrel::ui
