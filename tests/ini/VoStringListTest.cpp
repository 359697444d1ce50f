#include "ini/VoStringList.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// An attachable object that counts how many of its kind are alive.
class TCounted final : public TVoObject {
 public:
  explicit TCounted(int& alive) : alive_(alive) { ++alive_; }
  ~TCounted() override { --alive_; }

 private:
  int& alive_;
};

std::vector<String> Contents(const TVoHashedStringList& list) {
  std::vector<String> strings;
  for (int i = 0; i < list.Count(); ++i) strings.emplace_back(list.GetStrings(i));
  return strings;
}

TEST(VoStringHashTest, BucketsFollowTheFixedHash) {
  struct Case {
    std::u16string key;
    bool caseSensitive;
    int bucket;
  };
  const Case cases[] = {
      {u"", false, 0},       {u"A", false, 53},    {u"RAID", false, 596}, {u"POS", false, 214},
      {u"raid", false, 596}, {u"raid", true, 980}, {u"RAID", true, 596},
  };
  for (const Case& c : cases) {
    TVoStringHash hash;
    hash.SetCaseSensitive(c.caseSensitive);
    EXPECT_EQ(hash.HashOf(c.key), c.bucket) << "key " << ToUtf8(c.key);
  }
  TVoStringHash hash;
  // The largest code units must neither overflow nor leave the bucket range.
  const int highest = hash.HashOf(std::u16string(1000, u'\xFFFF'));
  EXPECT_GE(highest, 0);
  EXPECT_LT(highest, TVoStringHash::BucketCount);
  EXPECT_EQ(TVoStringHash::BucketCount, 1024);
}

TEST(VoStringHashTest, CaseFoldingTouchesAsciiLettersOnly) {
  TVoHashedStringList list(false);
  list.Add(u"Key");
  list.Add(u"\u00E9");  // é
  list.Add(u"\uFF41");  // full-width a
  EXPECT_TRUE(list.StrExists(u"KEY"));
  EXPECT_TRUE(list.StrExists(u"kEy"));
  EXPECT_FALSE(list.StrExists(u"\u00C9"));  // É
  EXPECT_FALSE(list.StrExists(u"\uFF21"));  // full-width A
  EXPECT_NO_THROW(list.Add(u"\u00C9"));
  EXPECT_NO_THROW(list.Add(u"\uFF21"));
}

// Keys as a TVoStringHash reads them: entry n is the n-th key.
class TKeyTable final : public TVoKeySource {
 public:
  explicit TKeyTable(std::vector<String> Keys) : keys_(std::move(Keys)) {}
  TVoText KeyOf(uint32_t Entry) const override { return keys_[Entry]; }

 private:
  std::vector<String> keys_;
};

TEST(VoStringHashTest, KeysSharingABucketStayApart) {
  TVoStringHash hash;
  // Collect the three-character keys (no lower-case letters, so none fold onto another) that
  // land in the bucket of "A".
  std::vector<String> keys;
  for (char16_t a = u'0'; a <= u'Z'; ++a) {
    for (char16_t b = u'0'; b <= u'Z'; ++b) {
      for (char16_t c = u'0'; c <= u'Z'; ++c) {
        String key{a, b, c};
        if (hash.HashOf(key) == hash.HashOf(u"A")) keys.push_back(key);
      }
    }
  }
  ASSERT_GT(keys.size(), 50u);
  const TKeyTable table(keys);
  for (uint32_t i = 0; i < keys.size(); ++i) {
    hash.Add(keys[i], i, table);
    ASSERT_EQ(hash.BucketLength(hash.HashOf(u"A"), table), i + 1u);
  }
  EXPECT_EQ(hash.BucketLength(hash.HashOf(u"B"), table), 0u);
  for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(hash.Find(keys[i], table), static_cast<int64_t>(i));

  EXPECT_THROW(hash.Add(keys[0], 1, table), EVoDuplicateKeyError);
  EXPECT_EQ(hash.Find(keys[0], table), 0);
  hash.Remove(keys[0], 1, table);  // not its entry: stays
  EXPECT_EQ(hash.Find(keys[0], table), 0);
  hash.Remove(keys[0], 0, table);
  EXPECT_EQ(hash.Find(keys[0], table), -1);
  EXPECT_EQ(hash.Find(keys[1], table), 1);

  // Removing entries from the middle of a full bucket must leave every other entry reachable.
  for (uint32_t i = 2; i < keys.size(); i += 3) hash.Remove(keys[i], i, table);
  std::size_t kept = 0;
  for (std::size_t i = 1; i < keys.size(); ++i) {
    const bool removed = i >= 2 && (i - 2) % 3 == 0;
    EXPECT_EQ(hash.Find(keys[i], table), removed ? -1 : static_cast<int64_t>(i)) << ToUtf8(keys[i]);
    if (!removed) ++kept;
  }
  EXPECT_EQ(hash.BucketLength(hash.HashOf(u"A"), table), kept);
}

TEST(VoHashedStringListTest, NameKeyedListSplitsAtTheFirstEquals) {
  TVoHashedStringList list(false);
  list.SetUseNameAsKey(true);
  list.Add(u"a=b=c");
  list.Add(u"=x");
  list.Add(u"plain");
  EXPECT_EQ(list.GetNames(0), u"a");
  EXPECT_EQ(list.GetValuesByName(u"a"), u"b=c");
  EXPECT_EQ(list.GetNames(1), u"");
  EXPECT_FALSE(list.NameExists(u""));
  EXPECT_EQ(list.IndexOfName(u""), -1);
  EXPECT_FALSE(list.NameExists(u"plain"));
  // Lines without a name are still in the list and found by a scan of the whole string.
  EXPECT_EQ(list.IndexOf(u"PLAIN"), 2);
  EXPECT_TRUE(list.StrExists(u"=x"));
  // Nameless lines never collide with each other.
  EXPECT_NO_THROW(list.Add(u"=x"));
  EXPECT_THROW(list.Add(u"A=other"), EVoDuplicateKeyError);
  EXPECT_EQ(list.Count(), 4);
}

TEST(VoHashedStringListTest, StringKeyedListTakesTheEmptyStringOnce) {
  TVoHashedStringList list(false);
  list.Add(u"");
  EXPECT_TRUE(list.StrExists(u""));
  EXPECT_EQ(list.IndexOf(u""), 0);
  EXPECT_THROW(list.Add(u""), EVoDuplicateKeyError);
  EXPECT_EQ(list.Count(), 1);
}

TEST(VoHashedStringListTest, CaseRuleDecidesWhatIsADuplicate) {
  TVoHashedStringList insensitive(false);
  insensitive.Add(u"abc");
  EXPECT_THROW(insensitive.Add(u"ABC"), EVoDuplicateKeyError);
  EXPECT_EQ(Contents(insensitive), std::vector<String>{u"abc"});

  TVoHashedStringList sensitive(false);
  sensitive.SetCaseSensitive(true);
  sensitive.Add(u"abc");
  EXPECT_NO_THROW(sensitive.Add(u"ABC"));
  EXPECT_EQ(sensitive.IndexOf(u"ABC"), 1);
  EXPECT_EQ(sensitive.IndexOf(u"Abc"), -1);
}

TEST(VoHashedStringListTest, NameKeyedRewriteKeepsTheFirstKey) {
  TVoHashedStringList list(false);
  list.SetUseNameAsKey(true);
  list.SetValuesByName(u"Key", u"1");
  list.SetValuesByName(u"KEY", u"2");
  EXPECT_EQ(Contents(list), std::vector<String>{u"KEY=2"});
  EXPECT_EQ(list.IndexOfName(u"key"), 0);
  EXPECT_EQ(list.GetValuesByName(u"kEY"), u"2");

  // Deleting removes exactly the entry the first write made, so the name is free again.
  list.Delete(0);
  EXPECT_FALSE(list.NameExists(u"Key"));
  list.SetValuesByName(u"key", u"3");
  EXPECT_EQ(Contents(list), std::vector<String>{u"key=3"});
}

TEST(VoHashedStringListTest, StoredValuesAreQuotedWhenTheyHoldSpacesOrQuotes) {
  struct Case {
    std::u16string value;
    std::u16string line;
  };
  const Case cases[] = {
      {u"a b", u"n=\"a b\""}, {u"a\"b", u"n=\"a\"\"b\""}, {u"x", u"n=x"}, {u"\t", u"n=\t"}, {u"", u"n="},
      {u"\"", u"n=\"\"\"\""}, {u" lead", u"n=\" lead\""},
  };
  for (const Case& c : cases) {
    TVoHashedStringList list(false);
    list.SetUseNameAsKey(true);
    list.SetValuesByName(u"n", c.value);
    EXPECT_EQ(list.GetStrings(0), c.line) << ToUtf8(c.value);
    // Reading gives the stored form back; unquoting is the caller's business.
    EXPECT_EQ(list.GetValuesByName(u"n"), c.line.substr(2));
  }
}

TEST(VoHashedStringListTest, StringKeyedValueWriteMovesTheIndexEntry) {
  TVoHashedStringList list(false);
  list.Add(u"a=1");
  list.Add(u"b=2");
  list.SetValuesByName(u"A", u"9");
  EXPECT_EQ(Contents(list), (std::vector<String>{u"A=9", u"b=2"}));
  EXPECT_TRUE(list.StrExists(u"a=9"));
  EXPECT_FALSE(list.StrExists(u"a=1"));
  list.SetValuesByName(u"c", u"3");
  EXPECT_EQ(list.IndexOf(u"c=3"), 2);
}

TEST(VoHashedStringListTest, PutReplacesTheStringAndItsKey) {
  TVoHashedStringList list(false);
  list.Add(u"a");
  list.Add(u"b");
  EXPECT_THROW(list.Put(1, u"A"), EVoDuplicateKeyError);
  EXPECT_EQ(Contents(list), (std::vector<String>{u"a", u"b"}));
  EXPECT_TRUE(list.StrExists(u"b"));
  list.Put(0, u"A");  // its own key in another case
  list.Put(1, u"c");
  EXPECT_EQ(Contents(list), (std::vector<String>{u"A", u"c"}));
  EXPECT_FALSE(list.StrExists(u"b"));
  EXPECT_EQ(list.IndexOf(u"C"), 1);

  TVoHashedStringList named(false);
  named.SetUseNameAsKey(true);
  named.Add(u"a=1");
  named.Put(0, u"b=1");
  EXPECT_FALSE(named.NameExists(u"a"));
  EXPECT_TRUE(named.NameExists(u"b"));
  named.Put(0, u"nameless");
  EXPECT_FALSE(named.NameExists(u"b"));
  EXPECT_NO_THROW(named.Add(u"b=2"));
}

TEST(VoHashedStringListTest, PositionsOutsideTheListFailWithoutChange) {
  TVoHashedStringList list(false);
  list.Add(u"a");
  list.Add(u"b");
  EXPECT_THROW(list.Insert(-1, u"x"), EVoListIndexError);
  EXPECT_THROW(list.Insert(3, u"x"), EVoListIndexError);
  EXPECT_THROW(list.Delete(2), EVoListIndexError);
  EXPECT_THROW(list.GetStrings(2), EVoListIndexError);
  EXPECT_THROW(list.Put(-1, u"x"), EVoListIndexError);
  EXPECT_THROW(list.GetObjects(2), EVoListIndexError);
  EXPECT_THROW(list.Move(0, 2), EVoListIndexError);
  EXPECT_THROW(list.Move(2, 0), EVoListIndexError);
  EXPECT_EQ(Contents(list), (std::vector<String>{u"a", u"b"}));
  EXPECT_FALSE(list.StrExists(u"x"));
  list.Insert(2, u"c");
  list.Insert(0, u"z");
  EXPECT_EQ(Contents(list), (std::vector<String>{u"z", u"a", u"b", u"c"}));
  EXPECT_EQ(list.IndexOf(u"c"), 3);
}

TEST(VoHashedStringListTest, MoveCountsTheTargetWithoutTheMovedItem) {
  struct Case {
    int from;
    int to;
    std::vector<String> result;
  };
  const Case cases[] = {
      {0, 2, {u"b", u"c", u"a"}},
      {2, 0, {u"c", u"a", u"b"}},
      {1, 1, {u"a", u"b", u"c"}},
      {0, 1, {u"b", u"a", u"c"}},
  };
  for (const Case& c : cases) {
    TVoHashedStringList list(false);
    for (const char16_t* s : {u"a", u"b", u"c"}) list.Add(s);
    list.Move(c.from, c.to);
    EXPECT_EQ(Contents(list), c.result) << c.from << " -> " << c.to;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list.IndexOf(c.result[i]), i);
  }
}

TEST(VoHashedStringListTest, ALookUpAfterAChangeFindsWhereTheKeyIsNow) {
  // Each change comes right after a look-up of "c", so a position remembered from it is stale.
  struct Case {
    const char* change;
    void (*apply)(TVoHashedStringList&);
    int expected;
  };
  const Case cases[] = {
      {"an item before it deleted", [](TVoHashedStringList& l) { l.Delete(0); }, 1},
      {"the item itself deleted", [](TVoHashedStringList& l) { l.Delete(2); }, -1},
      {"an item inserted before it", [](TVoHashedStringList& l) { l.Insert(0, u"z"); }, 3},
      {"the item renamed", [](TVoHashedStringList& l) { l.Put(2, u"y"); }, -1},
      {"the item moved to the front", [](TVoHashedStringList& l) { l.Move(2, 0); }, 0},
      {"the item renamed and put back after it",
       [](TVoHashedStringList& l) {
         l.Put(2, u"y");
         l.Insert(3, u"c");
       },
       3},
      {"the list emptied", [](TVoHashedStringList& l) { l.Clear(); }, -1},
  };
  for (const bool indexed : {false, true}) {
    for (const Case& c : cases) {
      TVoHashedStringList list(false);
      for (const char16_t* s : {u"a", u"b", u"c"}) list.Add(s);
      // Past a few items the list keeps an index; the remembered position serves both ways.
      if (indexed)
        for (int i = 0; i < 20; ++i) list.Add(u"pad" + IntToStr(i));
      ASSERT_EQ(list.IndexOf(u"c"), 2);
      c.apply(list);
      EXPECT_EQ(list.IndexOf(u"c"), c.expected) << c.change << (indexed ? ", indexed" : "");
    }
  }
}

TEST(VoHashedStringListTest, OwnedObjectsLiveAsLongAsTheirItems) {
  int alive = 0;
  {
    TVoHashedStringList list(true);
    list.AddObject(u"a", new TCounted(alive));
    list.AddObject(u"b", new TCounted(alive));
    TVoObject* c = new TCounted(alive);
    list.AddObject(u"c", c);
    ASSERT_EQ(alive, 3);

    list.Move(0, 2);  // a moves last and keeps its object
    list.Put(0, u"renamed");
    EXPECT_EQ(alive, 3);
    EXPECT_EQ(list.GetObjectsByString(u"c"), c);
    EXPECT_EQ(list.GetObjects(1), c);

    list.PutObject(1, c);  // the same object again: nothing is destroyed
    EXPECT_EQ(alive, 3);
    EXPECT_EQ(list.GetObjects(1), c);

    list.SetObjectsByString(u"c", new TCounted(alive));  // the old one is replaced and destroyed
    EXPECT_EQ(alive, 3);
    list.SetObjectsByString(u"absent", nullptr);
    list.Delete(0);
    EXPECT_EQ(alive, 2);
    EXPECT_THROW(list.AddObject(u"C", nullptr), EVoDuplicateKeyError);
    EXPECT_EQ(alive, 2);
  }
  EXPECT_EQ(alive, 0);

  TVoHashedStringList list(true);
  list.AddObject(u"x", new TCounted(alive));
  list.Clear();
  EXPECT_EQ(alive, 0);
}

TEST(VoHashedStringListTest, ObjectsStayWithTheCallerWithoutHasObjects) {
  int alive = 0;
  TCounted kept(alive);
  {
    TVoHashedStringList list(false);
    list.AddObject(u"x", &kept);
    list.PutObject(0, nullptr);
    list.PutObject(0, &kept);
    list.Delete(0);
  }
  EXPECT_EQ(alive, 1);
}

TEST(VoHashedStringListTest, ObjectsByNameOnANameKeyedList) {
  int alive = 0;
  TVoHashedStringList list(true);
  list.SetUseNameAsKey(true);
  list.Add(u"k=1");
  list.SetObjectsByName(u"K", new TCounted(alive));
  EXPECT_NE(list.GetObjectsByName(u"k"), nullptr);
  EXPECT_EQ(list.GetObjectsByName(u"other"), nullptr);
  list.SetValuesByName(u"k", u"2");  // the line changes, the object stays
  EXPECT_EQ(alive, 1);
  EXPECT_NE(list.GetObjectsByName(u"k"), nullptr);
  list.SetObjectsByName(u"k", nullptr);
  EXPECT_EQ(alive, 0);
}

TEST(VoHashedStringListTest, ChangingTheCaseRuleEmptiesTheList) {
  int alive = 0;
  TVoHashedStringList list(true);
  list.AddObject(u"a", new TCounted(alive));
  list.SetCaseSensitive(false);  // unchanged: nothing happens
  EXPECT_EQ(list.Count(), 1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(alive, 0);
  list.Add(u"a");
  list.Add(u"A");
  EXPECT_EQ(list.Count(), 2);
}

TEST(VoHashedStringListTest, ChangingTheKeyingModeRebuildsTheIndex) {
  TVoHashedStringList list(false);
  list.Add(u"a=1");
  list.Add(u"b=2");
  list.Add(u"plain");
  list.SetUseNameAsKey(true);
  EXPECT_EQ(list.IndexOfName(u"B"), 1);
  EXPECT_FALSE(list.NameExists(u"plain"));
  EXPECT_THROW(list.Add(u"A=3"), EVoDuplicateKeyError);
  list.SetUseNameAsKey(false);
  EXPECT_EQ(list.IndexOf(u"PLAIN"), 2);
  EXPECT_NO_THROW(list.Add(u"A=3"));

  // Two equal names: the rebuild fails and the list stays keyed by the whole string.
  EXPECT_THROW(list.SetUseNameAsKey(true), EVoDuplicateKeyError);
  EXPECT_FALSE(list.UseNameAsKey());
  EXPECT_TRUE(list.StrExists(u"a=3"));
  EXPECT_THROW(list.Add(u"b=2"), EVoDuplicateKeyError);
  EXPECT_EQ(list.Count(), 4);
}

TEST(VoHashedStringListTest, ScansUseTheSameCaseRuleAsTheIndex) {
  TVoHashedStringList named(false);
  named.SetUseNameAsKey(true);
  named.Add(u"Key=1");
  EXPECT_EQ(named.IndexOf(u"KEY=1"), 0);  // scan of the whole string
  TVoHashedStringList whole(false);
  whole.Add(u"Key=1");
  whole.Add(u"x=\u00E9");
  EXPECT_EQ(whole.IndexOfName(u"KEY"), 0);  // scan of the name
  EXPECT_EQ(whole.GetValuesByName(u"X"), u"\u00E9");
  EXPECT_FALSE(whole.StrExists(u"X=\u00C9"));
}

}  // namespace
}  // namespace kestrum
