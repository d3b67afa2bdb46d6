// What the item lists cost: fields that repeat share one buffer instead of one copy per item,
// and a document whose items cannot be held leaves the previous list as it was.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "feed/ParseRss.h"
#include "feed/ParseStoryList.h"

#include "../support/RefuseAllocations.h"

namespace {

using text::SharedText;

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(SharedText, CopiesShareOneBufferAndCompareByContent) {
  const SharedText title(std::string(1000, 'x'));
  const SharedText copy = title;  // NOLINT(performance-unnecessary-copy-initialization)
  EXPECT_TRUE(copy.SharesBufferWith(title));
  EXPECT_EQ(copy.data(), title.data());

  const SharedText sameWords(std::string(1000, 'x'));
  EXPECT_EQ(sameWords, title);
  EXPECT_FALSE(sameWords.SharesBufferWith(title));
  EXPECT_NE(SharedText("y"), title);

  // The empty text holds no buffer, however it was made.
  EXPECT_TRUE(SharedText("").SharesBufferWith(SharedText()));
  EXPECT_TRUE(SharedText(std::string()).empty());
  SharedText moved = title;
  const SharedText taken = std::move(moved);
  EXPECT_TRUE(taken.SharesBufferWith(title));
  EXPECT_EQ(moved.size(), 0u);  // NOLINT(bugprone-use-after-move): a moved-from text is empty
}

// 3,000 items without a title, then one with a long title: every item's title is the last
// item's, and all of them hold that one title.
TEST(SharedFields, ItemsBorrowingALaterTitleShareItsBuffer) {
  const std::string title(1 << 20, 't');
  const std::string document =
      Repeat("<item></item>", 3000) + "<item><title>" + title + "</title></item>";
  ItemList items;
  ParseRss(document, items);
  ASSERT_EQ(items.size(), 3002u);
  const SharedText& last = items[3001].strTitle;
  EXPECT_EQ(last.size(), title.size());
  for (std::size_t i = 1; i <= 3001; ++i) {
    ASSERT_TRUE(items[i].strTitle.SharesBufferWith(last)) << "item " << i;
  }
}

// Borrowing ends at the item that owns the field: the next run borrows from the next owner.
TEST(SharedFields, EachRunOfBorrowersSharesWithItsOwnLender) {
  ItemList items;
  ParseRss(
      "<item></item><item><link>L1</link><title>One</title><author>A</author></item>"
      "<item></item><item></item><item><title>Two</title><link>L2</link></item>",
      items);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[1].strTitle, "One");
  EXPECT_TRUE(items[1].strTitle.SharesBufferWith(items[2].strTitle));
  EXPECT_TRUE(items[1].strLink.SharesBufferWith(items[2].strLink));
  EXPECT_TRUE(items[1].strToolTip.SharesBufferWith(items[2].strToolTip));
  EXPECT_EQ(items[3].strTitle, "Two");
  EXPECT_TRUE(items[3].strTitle.SharesBufferWith(items[5].strTitle));
  EXPECT_TRUE(items[4].strLink.SharesBufferWith(items[5].strLink));
  EXPECT_EQ(items[5].strLink, "L2");
  // "Post by  on " for items 3 to 5: one text, held once.
  EXPECT_EQ(items[3].strToolTip, "Post by  on ");
  EXPECT_TRUE(items[3].strToolTip.SharesBufferWith(items[5].strToolTip));
}

// A feed of nothing but empty items: whatever their number, their tooltips are one text.
TEST(SharedFields, EmptyItemsShareOneToolTip) {
  ItemList items;
  ParseRss(Repeat("<item></item>", 100000), items);
  ASSERT_EQ(items.size(), 100001u);
  for (std::size_t i = 2; i < items.size(); ++i) {
    ASSERT_TRUE(items[i].strToolTip.SharesBufferWith(items[1].strToolTip)) << "item " << i;
  }
  EXPECT_TRUE(items[1].strTitle.empty());
  // No room is kept beyond the items: the list is reserved from a count of "<item>".
  EXPECT_EQ(items.capacity(), items.size());
}

// A load that memory cannot hold fails with std::bad_alloc and leaves the old list in place,
// whether the room for the list or one long field is what cannot be had.
struct TooLargeCase {
  const char* name;
  bool storyList;
  std::string document;
};

void PrintTo(const TooLargeCase& c, std::ostream* os) { *os << c.name; }

class ListTooLarge : public testing::TestWithParam<TooLargeCase> {};

TEST_P(ListTooLarge, LeavesThePreviousItems) {
  const ItemList before{{}, {"old one", "http://a/1", "Post by A on D"}, {"old two", "", ""}};
  ItemList items = before;
  {
    const RefuseAllocationsOver refuse(64 * 1024);
    if (GetParam().storyList) {
      EXPECT_THROW(ParseStoryList(GetParam().document, items), std::bad_alloc);
    } else {
      EXPECT_THROW(ParseRss(GetParam().document, items), std::bad_alloc);
    }
  }
  EXPECT_EQ(items, before);
}

INSTANTIATE_TEST_SUITE_P(
    Feeds, ListTooLarge,
    testing::Values(TooLargeCase{"RssManyItems", false,
                                 Repeat("<item><title>t</title></item>", 10000)},
                    TooLargeCase{"RssLongTitleAfterSomeItems", false,
                                 Repeat("<item><title>t</title></item>", 100) + "<item><title>" +
                                     std::string(100000, 'x') + "</title></item>"},
                    TooLargeCase{"StoryListManyStories", true,
                                 "STORY \n" + Repeat("HEADLINE h\nURL http://a/\n", 10000)},
                    TooLargeCase{"StoryListLongHeadline", true,
                                 "STORY \nHEADLINE a\nURL u\nHEADLINE " + std::string(100000, 'x') +
                                     "\nURL u\n"}),
    [](const testing::TestParamInfo<TooLargeCase>& info) { return info.param.name; });

}  // namespace
