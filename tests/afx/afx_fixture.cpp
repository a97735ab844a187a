#include "afx_fixture.h"

#include "commctrl.h"
#include "res/korvane_resources.h"
#include "win/menus/menus.h"
#include "win/resources/registry.h"

const win::res::Module& afx_test_resources();

namespace afx_test {

void AfxTest::SetUp() {
    win::automation::reset(&clock);
    InitCommonControls();
    win::menus::install();
    program_module = win::res::install(korvane_resources());
    test_module = win::res::install(afx_test_resources());
}

void AfxTest::TearDown() {
    win::automation::reset(&clock);
    win::res::uninstall(test_module);
    win::res::uninstall(program_module);
}

}  // namespace afx_test
