#include "common/auto_ptr_list.h"

#include <gtest/gtest.h>

namespace {
struct Counted {
  explicit Counted(int* alive) : alive(alive) { ++*alive; }
  ~Counted() { --*alive; }
  int* alive;
};
} // namespace

TEST(AutoPtrList, OwnsWhatItHoldsAndFindsByPointer) {
  int alive = 0;
  {
    FCAutoPtrList<Counted> list;
    auto* first = new Counted(&alive);
    auto* second = new Counted(&alive);
    list.Add(first);
    list.Add(second);
    list.Add(nullptr);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Find(second), 1);
    EXPECT_EQ(list.Find(nullptr), -1);
    EXPECT_EQ(list[5], nullptr);
    list.Delete(0);
    list.Delete(7); // out of range: nothing
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(list[0], second);
    Counted* kept = list.Detach(0);
    EXPECT_EQ(list.Count(), 0);
    delete kept;
    list.Add(new Counted(&alive));
  }
  EXPECT_EQ(alive, 0);
}
