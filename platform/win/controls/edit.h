// The single-line EDIT control's state and layout, shared by its behaviour
// and its drawing.
#pragma once

#include <string>

#include "win/controls/control_common.h"

namespace win::controls::edit {

inline constexpr int kMargin = 2;

struct State : ControlBase {
    std::string text;
    size_t anchor = 0;  // the fixed end of the selection
    size_t caret = 0;   // the moving end, where the caret is
    int scroll = 0;     // pixels of text scrolled off to the left
    size_t limit = 30000;
    bool modified = false;
    bool dragging = false;
    // Shift and Ctrl as of the key message being handled: followed from the
    // key messages themselves, since input may be queued ahead of handling.
    bool shift = false, ctrl = false;

    size_t sel_min() const { return anchor < caret ? anchor : caret; }
    size_t sel_max() const { return anchor < caret ? caret : anchor; }
};

// Width of the first n characters in the control's font.
int prefix_width(const State& s, size_t n);
int line_height(const State& s);
// Top of the text line in the client area.
int text_top(HWND hwnd, const State& s);
// The character boundary nearest a client x.
size_t index_at(HWND hwnd, const State& s, int x);

void paint(HWND hwnd, const State& s);

}  // namespace win::controls::edit
