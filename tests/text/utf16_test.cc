// UTF-8 <-> UTF-16 as the Windows module converts names: every name Windows
// can hold comes back byte for byte, and bytes that are no UTF-8 are refused
// rather than read as some other name.
#include "text/utf16.h"

#include <gtest/gtest.h>

namespace duplane {
namespace {

TEST(Utf16, NamesOfEveryPlaneRoundTrip) {
  const std::u16string names[] = {u"plain.txt", u"M\u00fcller \u2013 \u65e5\u672c.doc",
                                  u"\U0001F600 smile",
                                  u"\uF03A private use (a colon carried from Linux)", u""};
  for (const std::u16string& name : names) {
    const std::string utf8 = Utf8FromUtf16(name);
    std::u16string back;
    ASSERT_TRUE(Utf16FromUtf8(utf8, &back)) << utf8;
    EXPECT_EQ(back, name) << utf8;
  }
  EXPECT_EQ(Utf8FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(Utf16, LoneSurrogatesThatWindowsAllowsInNamesSurvive) {
  const std::u16string lone[] = {std::u16string(1, 0xD800) + u"x", u"x" + std::u16string(1, 0xDFFF),
                                 std::u16string{0xDC00, 0xD800}};
  for (const std::u16string& name : lone) {
    std::u16string back;
    ASSERT_TRUE(Utf16FromUtf8(Utf8FromUtf16(name), &back));
    EXPECT_EQ(back, name);
  }
}

TEST(Utf16, BytesThatAreNoUtf8AreRefused) {
  const std::string bad[] = {"\xC0\xAF",          // overlong '/': must not become a separator
                             "\xE0\x80\xAF",      // overlong again
                             "a\x80",             // stray continuation byte
                             "\xE2\x82",          // cut short
                             "\xF4\x90\x80\x80",  // beyond U+10FFFF
                             "\xED\xA0\x80\xED\xB0\x80",  // a pair spelt as two three-byte forms
                             "\xFF"};
  for (const std::string& bytes : bad) {
    std::u16string out;
    EXPECT_FALSE(Utf16FromUtf8(bytes, &out)) << testing::PrintToString(bytes);
  }
}

}  // namespace
}  // namespace duplane
