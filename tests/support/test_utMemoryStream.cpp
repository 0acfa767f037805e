#include <gtest/gtest.h>

#include <cstring>

#include "utMemoryStream.h"

TEST(MemoryStream, KeepsEveryByteAcrossTheGrowthFromHeapToMappedPages) {
  TMemoryStream m;
  std::string expected;
  // Pieces of every size, past the size where the buffer becomes mapped.
  for (size_t i = 0; expected.size() < (5u << 20); ++i) {
    const std::string piece(1 + i * 997 % 70000, static_cast<char>('a' + i % 26));
    if (i % 2) {
      m.Append(piece);
    } else {
      std::memcpy(m.FreeSpace(piece.size()), piece.data(), piece.size());
      m.Commit(piece.size());
    }
    expected += piece;
  }
  ASSERT_EQ(m.Size(), expected.size());
  EXPECT_TRUE(m.View() == expected);

  m.Truncate(10);
  EXPECT_EQ(m.ToString(), expected.substr(0, 10));
  m.Truncate(100);  // never grows
  EXPECT_EQ(m.Size(), 10u);

  TMemoryStream moved = std::move(m);
  EXPECT_EQ(moved.ToString(), expected.substr(0, 10));
  EXPECT_TRUE(m.Empty());
  m = std::move(moved);
  EXPECT_EQ(m.Size(), 10u);
  m.Clear();
  EXPECT_TRUE(m.Empty());
}

TEST(MemoryStream, ASizeThatCannotBeHadRaisesInsteadOfWrapping) {
  TMemoryStream m;
  m.Append("x");
  EXPECT_THROW(m.Reserve(SIZE_MAX), std::bad_alloc);
  EXPECT_EQ(m.ToString(), "x");
}
