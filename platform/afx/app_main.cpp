// The framework's entry: the display, the program's resources, then the
// application object's InitInstance.
#include <cstdio>
#include <cstdlib>

#include "afx/afx_state.h"
#include "commctrl.h"
#include "win/menus/menus.h"
#include "win/resources/registry.h"
#include "win/x11/x11.h"

// The program supplies its resources by defining this; a program without
// any gets none.
__attribute__((weak)) const win::res::Module* AfxProgramResources() { return nullptr; }

int AfxWinMain(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "No application object.\n");
        return 1;
    }
    app->m_argc = argc;
    app->m_argv = argv;
    if (!app->InitApplication()) return app->ExitInstance();
    auto display = win::x11::install();
    if (!display.ok()) {
        std::fprintf(stderr, "%s\n", display.error.c_str());
        return 1;
    }
    if (const win::res::Module* resources = AfxProgramResources())
        app->m_hInstance = win::res::install(*resources);
    InitCommonControls();
    win::menus::install();
    int code = 0;
    if (app->InitInstance())
        code = app->Run();
    else
        code = app->ExitInstance();
    return code;
}

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
