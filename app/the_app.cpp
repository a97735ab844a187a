// The one application object, and the resources the framework installs.
#include "korvane_app.h"
#include "korvane_resources.h"

CKorvaneApp theApp;

const win::res::Module* AfxProgramResources() { return &korvane_resources(); }
