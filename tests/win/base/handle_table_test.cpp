#include "win/base/handle_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "windef.h"

namespace {

struct Thing {
    int value;
};

TEST(HandleTable, StaleAndForeignHandlesFindNothing) {
    win::HandleTable<Thing> things(win::HandleKind::Brush);
    win::HandleTable<Thing> others(win::HandleKind::Pen);
    auto a = things.add(std::make_unique<Thing>(Thing{7}));
    ASSERT_NE(things.get(a), nullptr);
    EXPECT_EQ(things.get(a)->value, 7);
    EXPECT_EQ(others.get(a), nullptr) << "a brush handle must not find a pen";

    EXPECT_NE(things.remove(a), nullptr);
    EXPECT_EQ(things.get(a), nullptr);
    EXPECT_EQ(things.remove(a), nullptr) << "removing twice fails cleanly";

    // The slot is reused, but the old handle stays stale.
    auto b = things.add(std::make_unique<Thing>(Thing{8}));
    EXPECT_NE(a, b);
    EXPECT_EQ(things.get(a), nullptr);
    EXPECT_EQ(things.get(b)->value, 8);
}

TEST(HandleTable, BogusValuesFindNothing) {
    win::HandleTable<Thing> things(win::HandleKind::Window);
    things.add(std::make_unique<Thing>(Thing{1}));
    EXPECT_EQ(things.get(std::uintptr_t{0}), nullptr);
    EXPECT_EQ(things.get(std::uintptr_t{0xdeadbeef}), nullptr);
    EXPECT_EQ(things.get(~std::uintptr_t{0}), nullptr);
    EXPECT_EQ(things.get(win::pack_handle(win::HandleKind::Window, 5000, 1)), nullptr);
}

TEST(HandleTable, FullTableRefusesAndFreedSlotsServeAgain) {
    win::HandleTable<Thing> things(win::HandleKind::AviFile, 3);
    std::vector<std::uintptr_t> handles;
    for (int i = 0; i < 3; ++i) handles.push_back(things.add(std::make_unique<Thing>(Thing{i})));
    for (std::uintptr_t h : handles) EXPECT_NE(h, 0u);
    EXPECT_EQ(things.add(std::make_unique<Thing>(Thing{9})), 0u) << "a full table refuses";
    EXPECT_EQ(things.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(things.get(handles[std::size_t(i)])->value, i) << "a refusal harms no one";

    ASSERT_NE(things.remove(handles[1]), nullptr);
    const std::uintptr_t again = things.add(std::make_unique<Thing>(Thing{5}));
    ASSERT_NE(again, 0u) << "a freed slot serves again";
    EXPECT_EQ(again & 0xffffff, handles[1] & 0xffffff) << "same slot";
    EXPECT_EQ(again >> 32, (handles[1] >> 32) + 1) << "next generation";
    EXPECT_EQ(things.get(handles[1]), nullptr);
    EXPECT_EQ(things.get(again)->value, 5);
}

TEST(HandleTable, HandlesOfEachKindCarryTheirKind) {
    // Window and AVI handles share one table type; a handle must say which it is.
    for (win::HandleKind kind :
         {win::HandleKind::Window, win::HandleKind::Drop, win::HandleKind::AviFile,
          win::HandleKind::AviStream, win::HandleKind::GetFrame}) {
        win::HandleTable<Thing> table(kind);
        const std::uintptr_t h = table.add(std::make_unique<Thing>(Thing{1}));
        EXPECT_EQ(win::handle_kind(reinterpret_cast<void*>(h)), kind);
        EXPECT_NE(h & 0xffffffff, 0u);
    }
}

}  // namespace
