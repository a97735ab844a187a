// The program's platform without a display, on the real clock, for as long
// as a bench drives the main window.
#pragma once

#include "automation.h"
#include "clock.h"
#include "commctrl.h"
#include "korvane_resources.h"
#include "menus.h"
#include "registry.h"

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
