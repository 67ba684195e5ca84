#include "ui/app/main_module.h"

int main(int argc, char** argv) {
    return ostrel::ui::Main(argc, argv);
}
