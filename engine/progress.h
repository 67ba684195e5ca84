#pragma once

#include "engine/run_ports.h"

namespace ostrel::engine {

// The pass counter on status bar panel 1: reset sets it to 0, otherwise it goes
// up by one; "Pass " and the count are shown and painted at once.
void ShowProgress(RunStatus& status, int& passCounter, bool reset);

// Thrown when the user no longer wants the run to go on.
struct RunCancelled {};

// Asks whether to go on; throws RunCancelled when the answer is no.
void AskToGoOn(RunStatus& status);

}  // namespace ostrel::engine
