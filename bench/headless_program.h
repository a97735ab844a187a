// The program's platform without a display, on the real clock, for as long
// as a bench drives the main window.
#pragma once

#include "commctrl.h"
#include "res/korvane_resources.h"
#include "win/core/automation.h"
#include "win/core/clock.h"
#include "win/menus/menus.h"
#include "win/resources/registry.h"

namespace bench {

class HeadlessProgram {
  public:
    HeadlessProgram() {
        win::automation::reset(&clock_);
        InitCommonControls();
        win::menus::install();
        resources_ = win::res::install(korvane_resources());
    }
    ~HeadlessProgram() { win::res::uninstall(resources_); }
    HeadlessProgram(const HeadlessProgram&) = delete;
    HeadlessProgram& operator=(const HeadlessProgram&) = delete;

  private:
    win::MonotonicClock clock_;
    HINSTANCE resources_ = nullptr;
};

}  // namespace bench
