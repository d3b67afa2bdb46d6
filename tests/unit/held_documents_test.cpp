// The documents held for conditional requests: for how many URLs and up to what size (the
// network tests cover the requests and the 304s).
#include "platform/services/HeldDocuments.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::HeldDocuments;

std::string Url(int n) { return "http://127.0.0.1/feed" + std::to_string(n) + ".xml"; }

// One URL more than kMost drops the least recently answered; a 304 counts as an answer.
TEST(HeldDocuments, KeepsTheMostRecentlyAnsweredUrls) {
  HeldDocuments held;
  for (int n = 0; n < static_cast<int>(HeldDocuments::kMost); ++n) {
    held.Remember(Url(n), "\"e\"", "", "doc");
  }
  ASSERT_TRUE(held.Reuse(Url(0), "", "").ok);
  held.Remember(Url(99), "\"e\"", "", "doc");
  EXPECT_NE(held.Find(Url(0)), nullptr);
  EXPECT_EQ(held.Find(Url(1)), nullptr);
}

// Exactly kMaxDocument bytes are kept; one byte more drops what was held for the URL.
TEST(HeldDocuments, KeepsNoDocumentOverTheLimit) {
  HeldDocuments held;
  held.Remember(Url(1), "\"e\"", "", std::string(HeldDocuments::kMaxDocument, 'x'));
  EXPECT_NE(held.Find(Url(1)), nullptr);
  held.Remember(Url(1), "\"e\"", "", std::string(HeldDocuments::kMaxDocument + 1, 'x'));
  EXPECT_EQ(held.Find(Url(1)), nullptr);
}

}  // namespace
