// Entry point: one Application for the whole run; 0 after a normal run, 1 when
// start-up failed.
#include "app/Application.h"

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    Application app;
    if (!app.Init()) return 1;
    app.Run();
    return 0;
}
