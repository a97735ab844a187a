#include "handle_table.h"

#include <gtest/gtest.h>

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

}  // namespace
