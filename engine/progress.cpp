#include "engine/progress.h"

#include <string>

namespace ostrel::engine {

void ShowProgress(RunHost& host, int& passCounter, bool reset) {
    passCounter = reset ? 0 : passCounter + 1;
    host.SetStatusText(1, "Pass " + std::to_string(passCounter));
    host.RepaintStatus();
}

void AskToGoOn(RunHost& host) {
    if (!host.GoOn()) {
        throw RunCancelled{};
    }
}

}  // namespace ostrel::engine
