#include <gtest/gtest.h>

#include "afxwin.h"

TEST(CByteArray, GrowsByTheIncrementAndKeepsItsBytes) {
    CByteArray a;
    ASSERT_TRUE(a.SetSize(10, 100));
    EXPECT_EQ(a.GetSize(), 10);
    EXPECT_EQ(a.GetAllocSize(), 100) << "the first growth takes the whole increment";
    for (int i = 0; i < 10; ++i) a[i] = BYTE(i + 1);
    ASSERT_TRUE(a.SetSize(150));
    EXPECT_EQ(a.GetAllocSize(), 200);
    EXPECT_EQ(a.GetData()[9], 10);
    EXPECT_EQ(a.GetData()[10], 0) << "new bytes start at zero";
    ASSERT_TRUE(a.SetSize(5));
    EXPECT_EQ(a.GetSize(), 5);
    EXPECT_EQ(a.GetAllocSize(), 200) << "shrinking keeps the memory";
    EXPECT_FALSE(a.SetSize(-1));
    EXPECT_EQ(a.Add(42), 5);
    EXPECT_EQ(a[5], 42);
}

TEST(CPtrList, KeepsOrderAndAllocatesNodesInBlocks) {
    CPtrList list(10);
    int values[25];
    for (int i = 0; i < 25; ++i) list.AddTail(&values[i]);
    EXPECT_EQ(list.GetCount(), 25);
    EXPECT_EQ(list.GetBlockCount(), 3);
    EXPECT_EQ(list.GetHead(), &values[0]);
    EXPECT_EQ(list.RemoveHead(), &values[0]);
    POSITION pos = list.GetHeadPosition();
    int expected = 1;
    while (pos) EXPECT_EQ(list.GetNext(pos), &values[expected++]);
    EXPECT_EQ(expected, 25);
    list.AddTail(&values[0]);
    EXPECT_EQ(list.GetBlockCount(), 3) << "freed nodes are reused";
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
}

TEST(CString, CopiesSplitsAndFormats) {
    CString s("Extract &Video\tCtrl+V");
    int tab = s.Find('\t');
    ASSERT_EQ(tab, 14);
    EXPECT_EQ(s.Left(tab), CString("Extract &Video"));
    EXPECT_EQ(s.Mid(tab + 1), CString("Ctrl+V"));
    CString t = s;
    t += "!";
    EXPECT_EQ(s.GetLength(), 21);
    EXPECT_EQ(t.GetLength(), 22);
    CString f;
    f.Format("%d x %d", 640, 480);
    EXPECT_STREQ(f, "640 x 480");
    f = f.Mid(0, 3);  // assigning from itself
    EXPECT_STREQ(f, "640");
    CString upper("Prev");
    upper.MakeUpper();
    EXPECT_STREQ(upper + "U", "PREVU");
}
