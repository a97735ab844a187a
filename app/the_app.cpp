// The one application object, and the resources the framework installs.
#include "app/korvane_app.h"
#include "res/korvane_resources.h"

CKorvaneApp theApp;

const win::res::Module* AfxProgramResources() { return &korvane_resources(); }
