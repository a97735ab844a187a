// The trackbar's state and geometry, shared by its behaviour and its drawing.
#pragma once

#include <vector>

#include "win/controls/control_common.h"

namespace win::controls::trackbar {

enum class Drag { None, Thumb, PageUp, PageDown };

struct State : ControlBase {
    LONG min = 0, max = 100, pos = 0;
    LONG line = 1, page = 20;
    bool page_set = false;  // once set, the page no longer follows the range
    LONG tic_freq = 1;
    std::vector<LONG> tics;  // added with TBM_SETTIC
    int thumb_length = 0;    // 0: follows the control's height
    Drag drag = Drag::None;
    int grab_offset = 0;  // pointer minus thumb start while dragging
    POINT page_target{};  // where the pointer holds a page click
};

// Horizontal layout of a control of the given client size and style.
struct Geometry {
    RECT channel;                         // the sunken groove
    RECT thumb;                           // at the current position
    int tick_top = -1, tick_bottom = -1;  // y of the tick rows, -1 for none
};

inline constexpr int kThumbWidth = 11;
inline constexpr int kChannelMargin = 8;

Geometry layout(const State& s, DWORD style, const RECT& client);
// Left edge of the thumb for a position, and the position nearest a thumb left edge.
int thumb_left_for(const State& s, const RECT& channel, LONG pos);
LONG pos_for_thumb_left(const State& s, const RECT& channel, int left);
// Tick positions as drawn (both ends included), ascending.
std::vector<LONG> tick_positions(const State& s, DWORD style);

void paint(HWND hwnd, const State& s);

}  // namespace win::controls::trackbar
