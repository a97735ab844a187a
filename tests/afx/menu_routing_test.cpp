#include <string>
#include <vector>

#include "afx_fixture.h"

using afx_test::AfxTest;

namespace {

struct Call {
    std::string menu;
    std::string what;
    UINT id;
};
std::vector<Call> calls;

class CRecordingMenu : public CMenu {
  public:
    explicit CRecordingMenu(const char* name) : name(name) {}
    void MeasureItem(LPMEASUREITEMSTRUCT m) override {
        calls.push_back({name, "measure", m->itemID});
        m->itemWidth = 99;
        m->itemHeight = 9;
    }
    void DrawItem(LPDRAWITEMSTRUCT d) override { calls.push_back({name, "draw", d->itemID}); }
    const char* name;
};

const char* plain_class() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "AfxMenuTestPlain";
        RegisterClassA(&wc);
        return "AfxMenuTestPlain";
    }();
    return name;
}

class MenuRouting : public AfxTest {
  protected:
    void SetUp() override {
        AfxTest::SetUp();
        calls.clear();
        top = CreateWindowExA(0, plain_class(), "menus", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 300, 200,
                              nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window.SubclassWindow(top));
        file.CreatePopupMenu();
        file.AppendMenu(MF_OWNERDRAW, 10, "open");
        file.AppendMenu(MF_SEPARATOR | MF_OWNERDRAW, 0, nullptr);
        file.AppendMenu(MF_OWNERDRAW, 11, "exit");
        extract.CreatePopupMenu();
        extract.AppendMenu(MF_OWNERDRAW, 20, "video");
        extract.AppendMenu(MF_SEPARATOR | MF_OWNERDRAW, 0, nullptr);
        bar.CreateMenu();
        bar.AppendMenu(MF_POPUP, UINT_PTR(file.m_hMenu), "&File");
        bar.AppendMenu(MF_POPUP, UINT_PTR(extract.m_hMenu), "&Extract");
        SetMenu(top, bar.m_hMenu);
    }
    void TearDown() override {
        SetMenu(top, nullptr);
        bar.Detach();  // the bar's popups are the members' own
        DestroyWindow(top);
        AfxTest::TearDown();
    }
    LRESULT measure(UINT id, MEASUREITEMSTRUCT& m) {
        m = MEASUREITEMSTRUCT{ODT_MENU, 0, id, 0, 0, 0};
        return SendMessageA(top, WM_MEASUREITEM, 0, LPARAM(&m));
    }
    HWND top = nullptr;
    CWnd window;
    CMenu bar;
    CRecordingMenu file{"file"}, extract{"extract"};
};

TEST_F(MenuRouting, MeasureGoesToTheFirstPopupHoldingTheId) {
    MEASUREITEMSTRUCT m;
    measure(20, m);
    measure(0, m);
    measure(11, m);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].menu, "extract");
    EXPECT_EQ(calls[1].menu, "file")
        << "every separator's request reaches the first popup with one";
    EXPECT_EQ(calls[2].menu, "file");
    EXPECT_EQ(m.itemWidth, 99u);
}

TEST_F(MenuRouting, DrawGoesToThePopupNamedInTheRequest) {
    DRAWITEMSTRUCT d{ODT_MENU, 0,  0, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(extract.m_hMenu),
                     nullptr,  {}, 0};
    SendMessageA(top, WM_DRAWITEM, 0, LPARAM(&d));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].menu, "extract");
    EXPECT_EQ(calls[0].what, "draw");
    EXPECT_EQ(CMenu::FromHandlePermanent(file.m_hMenu), &file);
    HMENU h = file.Detach();
    EXPECT_EQ(CMenu::FromHandlePermanent(h), nullptr);
    file.Attach(h);
}

}  // namespace

namespace {

TEST_F(MenuRouting, TemporaryWrappersNeverDestroyTheMenusTheyWrap) {
    HMENU foreign = CreatePopupMenu();
    AppendMenuA(foreign, MF_STRING, 1, "one");
    ASSERT_NE(CMenu::FromHandle(foreign), nullptr);
    // Enough other wrappers to make the framework drop its old ones.
    std::vector<HMENU> others;
    for (int i = 0; i < 80; ++i) {
        others.push_back(CreatePopupMenu());
        CMenu::FromHandle(others.back());
    }
    EXPECT_EQ(GetMenuItemCount(foreign), 1) << "the wrapped menu is still alive";
    for (HMENU m : others) EXPECT_TRUE(DestroyMenu(m));
    EXPECT_TRUE(DestroyMenu(foreign));
}

}  // namespace
