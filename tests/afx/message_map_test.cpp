#include <string>
#include <vector>

#include "afx_fixture.h"
#include "commctrl.h"

using afx_test::AfxTest;

namespace {

std::vector<std::string> calls;

class CBaseWnd : public CWnd {
  public:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    void OnPing() { calls.push_back("base ping"); }
    void OnShared() { calls.push_back("base shared"); }
    void OnTimer(UINT_PTR id) { calls.push_back("timer " + std::to_string(id)); }
};

const AFX_MSGMAP* CBaseWnd::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {
        afx::OnCommand<&CBaseWnd::OnPing>(100),
        afx::OnCommand<&CBaseWnd::OnShared>(300),
        afx::OnTimer<&CBaseWnd::OnTimer>(),
    };
    static_assert(afx::UniqueKeys(entries));
    static constexpr AFX_MSGMAP map{&CWnd::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

class CDerivedWnd : public CBaseWnd {
  public:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    void OnPong() { calls.push_back("derived pong"); }
    void OnShared() { calls.push_back("derived shared"); }
    void OnChildNotify(NMHDR* h, LRESULT* result) {
        calls.push_back("notify " + std::to_string(h->code));
        *result = 42;
    }
};

const AFX_MSGMAP* CDerivedWnd::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {
        afx::OnCommand<&CDerivedWnd::OnPong>(200),
        afx::OnCommand<&CDerivedWnd::OnShared>(300),
        afx::OnNotify<&CDerivedWnd::OnChildNotify>(NM_RELEASEDCAPTURE, 7),
    };
    static constexpr AFX_MSGMAP map{&CBaseWnd::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

// A control object that answers its own notification first.
class CReflectingWnd : public CWnd {
  public:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    void OnSelfNotify(NMHDR*, LRESULT* result) {
        calls.push_back("reflected");
        *result = 7;
    }
};

const AFX_MSGMAP* CReflectingWnd::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {
        afx::OnNotifyReflect<&CReflectingWnd::OnSelfNotify>(NM_CUSTOMDRAW),
    };
    static constexpr AFX_MSGMAP map{&CWnd::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

const char* plain_class() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "AfxTestPlain";
        RegisterClassA(&wc);
        return "AfxTestPlain";
    }();
    return name;
}

class MessageMaps : public AfxTest {
  protected:
    void SetUp() override {
        AfxTest::SetUp();
        calls.clear();
        top = CreateWindowExA(0, plain_class(), "maps", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100,
                              nullptr, nullptr, nullptr, nullptr);
        child = CreateWindowExA(0, plain_class(), "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top,
                                (HMENU)7, nullptr, nullptr);
        ASSERT_TRUE(window.SubclassWindow(top));
    }
    LRESULT notify(UINT code) {
        NMHDR h{child, 7, code};
        return SendMessageA(top, WM_NOTIFY, 7, LPARAM(&h));
    }
    HWND top = nullptr, child = nullptr;
    CDerivedWnd window;
};

TEST_F(MessageMaps, CommandsFindTheirHandlerAlongTheChain) {
    SendMessageA(top, WM_COMMAND, 100, 0);
    SendMessageA(top, WM_COMMAND, 200, 0);
    SendMessageA(top, WM_COMMAND, 300, 0);
    SendMessageA(top, WM_COMMAND, 999, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"base ping", "derived pong", "derived shared"}));
    SetTimer(top, 3, 40, nullptr);
    win::automation::advance_ms(40);
    EXPECT_EQ(calls.back(), "timer 3");
}

TEST_F(MessageMaps, ANotificationResultReachesTheSender) {
    EXPECT_EQ(notify(NM_RELEASEDCAPTURE), 42);
    EXPECT_EQ(calls.back(), "notify " + std::to_string(NM_RELEASEDCAPTURE));
    EXPECT_EQ(notify(NM_CLICK), 0) << "no entry, no result";
}

TEST_F(MessageMaps, AControlObjectSeesItsOwnNotificationFirst) {
    CReflectingWnd control;
    ASSERT_TRUE(control.SubclassWindow(child));
    EXPECT_EQ(notify(NM_CUSTOMDRAW), 7);
    EXPECT_EQ(calls, (std::vector<std::string>{"reflected"}));
    EXPECT_EQ(notify(NM_RELEASEDCAPTURE), 42) << "what the control declines goes to the parent";
}

TEST_F(MessageMaps, HandlesMapToObjectsUntilTheWindowGoes) {
    EXPECT_EQ(CWnd::FromHandlePermanent(top), &window);
    CWnd* temp = CWnd::FromHandle(child);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, child);
    EXPECT_EQ(CWnd::FromHandlePermanent(child), nullptr);
    DestroyWindow(top);
    EXPECT_EQ(window.m_hWnd, nullptr) << "destroying the window detaches its object";
    EXPECT_EQ(CWnd::FromHandle(top), nullptr);
}

TEST(MessageMapKeys, DuplicatesAreCaught) {
    static constexpr AFX_MSGMAP_ENTRY twice[] = {
        afx::OnCommand<&CBaseWnd::OnPing>(100),
        afx::OnCommand<&CBaseWnd::OnShared>(100),
    };
    static constexpr AFX_MSGMAP_ENTRY distinct[] = {
        afx::OnCommand<&CBaseWnd::OnPing>(100),
        afx::OnControl<&CBaseWnd::OnShared>(1 /* another code */, 100),
    };
    EXPECT_FALSE(afx::UniqueKeys(twice));
    EXPECT_TRUE(afx::UniqueKeys(distinct));
}

}  // namespace
