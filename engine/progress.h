#pragma once

#include "engine/run_host.h"

namespace ostrel::engine {

// The pass counter on status bar panel 1: reset sets it to 0, otherwise it goes
// up by one; "Pass " and the count are shown and painted at once.
void ShowProgress(RunHost& host, int& passCounter, bool reset);

// Thrown when the host no longer wants the run to go on.
struct RunCancelled {};

// Asks the host whether to go on; throws RunCancelled when it says no.
void AskToGoOn(RunHost& host);

}  // namespace ostrel::engine
