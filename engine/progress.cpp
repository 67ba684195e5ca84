#include "engine/progress.h"

#include <string>

namespace ostrel::engine {

void ShowProgress(RunStatus& status, int& passCounter, bool reset) {
    passCounter = reset ? 0 : passCounter + 1;
    status.SetStatusText(1, "Pass " + std::to_string(passCounter));
    status.RepaintStatus();
}

void AskToGoOn(RunStatus& status) {
    if (!status.GoOn()) {
        throw RunCancelled{};
    }
}

}  // namespace ostrel::engine
