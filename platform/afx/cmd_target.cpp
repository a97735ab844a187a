// Looking messages up in the chained tables.
#include "afx/afx_state.h"

namespace afx {

State& state() {
    static State s;
    return s;
}

void collect_temporaries() {
    auto& s = state();
    std::erase_if(s.temp_windows, [](const auto& e) { return !IsWindow(e.first); });
}

}  // namespace afx

const CRuntimeClass CObject::classCObject{"CObject", nullptr};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base) return true;
    return false;
}

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

BOOL CObject::IsKindOf(const CRuntimeClass* cls) const {
    return GetRuntimeClass()->IsDerivedFrom(cls) ? TRUE : FALSE;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static constexpr AFX_MSGMAP map{nullptr, nullptr, 0};
    return &map;
}

namespace {

bool entry_matches(const AFX_MSGMAP_ENTRY& e, UINT message, WPARAM wp, LPARAM lp) {
    if (e.nMessage != message) return false;
    if (message == WM_COMMAND) {
        UINT code = HIWORD(wp), id = LOWORD(wp);
        // Menu commands and accelerators carry codes 0 and 1.
        bool code_ok = e.nCode == code || (e.nCode == 0 && code == 1 && lp == 0);
        return code_ok && id >= e.nID && id <= e.nLastID;
    }
    if (message == WM_NOTIFY || message == WM_REFLECT_BASE + WM_NOTIFY) {
        const NMHDR* h = reinterpret_cast<const NMHDR*>(lp);
        if (!h) return false;
        UINT id = UINT(h->idFrom);
        return e.nCode == h->code && id >= e.nID && id <= e.nLastID;
    }
    return true;
}

}  // namespace

BOOL CCmdTarget::OnCmdMsg(UINT message, WPARAM wp, LPARAM lp, LRESULT* result) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (size_t i = 0; i < map->nEntries; ++i) {
            const AFX_MSGMAP_ENTRY& e = map->lpEntries[i];
            if (!entry_matches(e, message, wp, lp)) continue;
            LRESULT r = 0;
            if (e.pfn(this, wp, lp, &r)) {
                if (result) *result = r;
                return TRUE;
            }
        }
    }
    return FALSE;
}
