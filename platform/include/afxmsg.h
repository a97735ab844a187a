// Message tables: each class keeps a constant array of typed entries, made
// from member-function pointers by the small templates below and chained to
// its base class's table. Nothing is registered at start-up.
#pragma once

#include <stddef.h>

#include <iterator>

#include "winuser.h"

class CCmdTarget;
class CWnd;

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // message, WM_COMMAND, WM_NOTIFY, or a reflected message
    UINT nCode;     // command or notification code
    UINT nID;       // first control or command id
    UINT nLastID;   // last id of the range
    // Calls the handler; false when it declines (the message goes on).
    bool (*pfn)(CCmdTarget* target, WPARAM wp, LPARAM lp, LRESULT* result);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
    size_t nEntries;
};

// Reflected messages: a control's own table sees its parent's notification.
#define WM_REFLECT_BASE 0xBC00

namespace afx {

template <class F>
struct member_of;
template <class C, class R, class... A>
struct member_of<R (C::*)(A...)> {
    using type = C;
};
template <auto F>
using class_of = typename member_of<decltype(F)>::type;

// Two entries for the same key would leave the second dead.
template <size_t N>
constexpr bool UniqueKeys(const AFX_MSGMAP_ENTRY (&e)[N]) {
    for (size_t i = 0; i < N; ++i)
        for (size_t j = i + 1; j < N; ++j)
            if (e[i].nMessage == e[j].nMessage && e[i].nCode == e[j].nCode &&
                e[i].nID <= e[j].nLastID && e[j].nID <= e[i].nLastID)
                return false;
    return true;
}

// void OnX() for a menu command or a button click (code 0).
template <auto F>
constexpr AFX_MSGMAP_ENTRY OnCommand(UINT id) {
    return {WM_COMMAND, 0, id, id, [](CCmdTarget* t, WPARAM, LPARAM, LRESULT*) {
                (static_cast<class_of<F>*>(t)->*F)();
                return true;
            }};
}

// void OnX() for one notification code of a control.
template <auto F>
constexpr AFX_MSGMAP_ENTRY OnControl(UINT code, UINT id) {
    return {WM_COMMAND, code, id, id, [](CCmdTarget* t, WPARAM, LPARAM, LRESULT*) {
                (static_cast<class_of<F>*>(t)->*F)();
                return true;
            }};
}

// void OnX(NMHDR*, LRESULT*) for WM_NOTIFY; the handler sets the result.
template <auto F>
constexpr AFX_MSGMAP_ENTRY OnNotify(UINT code, UINT id) {
    return {WM_NOTIFY, code, id, id, [](CCmdTarget* t, WPARAM, LPARAM lp, LRESULT* r) {
                (static_cast<class_of<F>*>(t)->*F)(reinterpret_cast<NMHDR*>(lp), r);
                return true;
            }};
}

// void OnX(NMHDR*, LRESULT*) in a control's own table for its notification.
template <auto F>
constexpr AFX_MSGMAP_ENTRY OnNotifyReflect(UINT code) {
    return {WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0xffff,
            [](CCmdTarget* t, WPARAM, LPARAM lp, LRESULT* r) {
                (static_cast<class_of<F>*>(t)->*F)(reinterpret_cast<NMHDR*>(lp), r);
                return true;
            }};
}

// LRESULT OnX(WPARAM, LPARAM) for any message, uncracked.
template <auto F>
constexpr AFX_MSGMAP_ENTRY OnMessage(UINT msg) {
    return {msg, 0, 0, 0, [](CCmdTarget* t, WPARAM wp, LPARAM lp, LRESULT* r) {
                *r = (static_cast<class_of<F>*>(t)->*F)(wp, lp);
                return true;
            }};
}

// Cracked forms of the messages the framework's classes handle.
template <auto F>  // void OnPaint()
constexpr AFX_MSGMAP_ENTRY OnPaint() {
    return {WM_PAINT, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM, LRESULT* r) {
                (static_cast<class_of<F>*>(t)->*F)();
                *r = 0;
                return true;
            }};
}

template <auto F>  // void OnDestroy()
constexpr AFX_MSGMAP_ENTRY OnDestroy() {
    return {WM_DESTROY, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM, LRESULT* r) {
                (static_cast<class_of<F>*>(t)->*F)();
                *r = 0;
                return true;
            }};
}

template <auto F>  // void OnClose()
constexpr AFX_MSGMAP_ENTRY OnClose() {
    return {WM_CLOSE, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM, LRESULT* r) {
                (static_cast<class_of<F>*>(t)->*F)();
                *r = 0;
                return true;
            }};
}

template <auto F>  // void OnTimer(UINT_PTR id)
constexpr AFX_MSGMAP_ENTRY OnTimer() {
    return {WM_TIMER, 0, 0, 0, [](CCmdTarget* t, WPARAM wp, LPARAM, LRESULT* r) {
                (static_cast<class_of<F>*>(t)->*F)(UINT_PTR(wp));
                *r = 0;
                return true;
            }};
}

template <auto F>  // void OnSysCommand(UINT id, LPARAM lp)
constexpr AFX_MSGMAP_ENTRY OnSysCommand() {
    return {WM_SYSCOMMAND, 0, 0, 0, [](CCmdTarget* t, WPARAM wp, LPARAM lp, LRESULT* r) {
                (static_cast<class_of<F>*>(t)->*F)(UINT(wp), lp);
                *r = 0;
                return true;
            }};
}

template <auto F>  // HCURSOR OnQueryDragIcon()
constexpr AFX_MSGMAP_ENTRY OnQueryDragIcon() {
    return {WM_QUERYDRAGICON, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM, LRESULT* r) {
                *r = LRESULT((static_cast<class_of<F>*>(t)->*F)());
                return true;
            }};
}

// void OnHScroll(UINT code, UINT pos, CWnd* control); the CWnd* is a
// scroll bar in the platform's signature; here any control.
CWnd* HScrollControl(LPARAM lp);
template <auto F>
constexpr AFX_MSGMAP_ENTRY OnHScroll() {
    return {WM_HSCROLL, 0, 0, 0, [](CCmdTarget* t, WPARAM wp, LPARAM lp, LRESULT* r) {
                (static_cast<class_of<F>*>(t)->*F)(UINT(LOWORD(wp)), UINT(HIWORD(wp)),
                                                   HScrollControl(lp));
                *r = 0;
                return true;
            }};
}

}  // namespace afx
