#include "platform/strings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/exceptions.h"
#include "platform/object.h"
#include "platform/streams.h"
#include "platform/lists.h"

namespace {

std::vector<std::string> Lines(const TStrings& S) { return S.ToVector(); }

class Tracked : public TObject {
public:
  explicit Tracked(int& Alive) : FAlive(Alive) { ++FAlive; }
  ~Tracked() override { --FAlive; }

private:
  int& FAlive;
};

TEST(StringList, SortedListsAndDuplicates) {
  TStringList L;
  L.SetSorted(true);
  EXPECT_EQ(L.Add("b"), 0);
  EXPECT_EQ(L.Add("D"), 1);
  EXPECT_EQ(L.Add("a"), 0);
  EXPECT_EQ(L.Add("c"), 2);
  EXPECT_EQ(Lines(L), (std::vector<std::string>{"a", "b", "c", "D"}));

  // dupIgnore: the existing position comes back and nothing is added.
  EXPECT_EQ(L.Add("B"), 1);
  EXPECT_EQ(L.Count(), 4);
  L.SetDuplicates(dupAccept);
  L.Add("B");
  EXPECT_EQ(L.Count(), 5);
  L.SetDuplicates(dupError);
  try {
    L.Add("c");
    ADD_FAILURE();
  } catch (const EStringListError& E) {
    EXPECT_EQ(E.Message(), "String list does not allow duplicates");
  }
  int Index = -1;
  EXPECT_FALSE(L.Find("bb", Index));
  EXPECT_EQ(Index, 3);
  EXPECT_TRUE(L.Find("C", Index));
  EXPECT_EQ(L.IndexOf("d"), 4);
  EXPECT_THROW(L.Insert(0, "x"), EStringListError);
  EXPECT_THROW(L.SetStrings(0, "x"), EStringListError);

  // Turning on case sensitivity re-sorts, so Find keeps working.
  TStringList C;
  C.SetSorted(true);
  C.SetDuplicates(dupAccept);
  for (const char* S : {"b", "A", "a", "B"}) C.Add(S);
  C.SetCaseSensitive(true);
  for (const char* S : {"a", "A", "b", "B"}) EXPECT_TRUE(C.Find(S, Index)) << S;
  EXPECT_EQ(C.IndexOf("c"), -1);
}

TEST(StringList, IndexErrorsNameTheIndex) {
  TStringList L;
  L.SetText("a\nb\n");
  struct Case {
    std::function<void()> Op;
    const char* Message;
  };
  const std::vector<Case> Cases = {
      {[&] { L.Delete(2); }, "List index out of bounds (2)"},
      {[&] { (void)L.Strings(-1); }, "List index out of bounds (-1)"},
      {[&] { (void)L.Objects(5); }, "List index out of bounds (5)"},
      {[&] { L.Insert(3, "x"); }, "List index out of bounds (3)"},
      {[&] { L.Exchange(0, 2); }, "List index out of bounds (2)"},
      {[&] { L.Move(0, 2); }, "List index out of bounds (2)"},
  };
  for (const auto& C : Cases) {
    try {
      C.Op();
      ADD_FAILURE() << C.Message;
    } catch (const EStringListError& E) {
      EXPECT_EQ(E.Message(), C.Message);
    }
  }
  EXPECT_EQ(Lines(L), (std::vector<std::string>{"a", "b"}));
  TList P;
  try {
    P.Delete(0);
    ADD_FAILURE();
  } catch (const EListError& E) {
    EXPECT_EQ(E.Message(), "List index out of bounds (0)");
  }
}

TEST(StringList, NamesAndValues) {
  TStringList L;
  L.SetText("Count=3\r\nItem0=a=b\r\nplain\r\nEmpty=\r\n");
  EXPECT_EQ(L.Names(0), "Count");
  EXPECT_EQ(L.Names(2), "");
  EXPECT_EQ(L.Values("count"), "3");
  EXPECT_EQ(L.Values("Item0"), "a=b");
  EXPECT_EQ(L.ValueFromIndex(2), "");
  EXPECT_EQ(L.IndexOfName("EMPTY"), 3);
  L.SetValues("Count", "4");
  L.SetValues("New", "x");
  L.SetValues("Item0", "");
  EXPECT_EQ(Lines(L), (std::vector<std::string>{"Count=4", "plain", "Empty=", "New=x"}));
}

TEST(StringList, CommaAndDelimitedText) {
  TStringList L;
  for (const char* S : {"plain", "two words", "say \"hi\"", "", "a,b"}) L.Add(S);
  EXPECT_EQ(L.CommaText(), "plain,\"two words\",\"say \"\"hi\"\"\",,\"a,b\"");
  TStringList R;
  R.SetCommaText(L.CommaText());
  EXPECT_TRUE(R.Equals(L));

  struct Case {
    char Delimiter;
    bool Strict;
    const char* Text;
    std::vector<std::string> Items;
  };
  const std::vector<Case> Cases = {
      {',', false, "a, b c ,\"d e\"", {"a", "b", "c", "d e"}},
      {',', false, "a,,b,", {"a", "", "b", ""}},
      {',', false, "  ", {}},
      {';', false, "x;\"y;z\";w", {"x", "y;z", "w"}},
      {';', true, " x y ;z;", {" x y ", "z", ""}},
      {';', true, "\"a;b\";c", {"a;b", "c"}},
      {',', false, "\"unterminated", {"unterminated"}},
  };
  for (const auto& C : Cases) {
    TStringList D;
    D.SetDelimiter(C.Delimiter);
    D.SetStrictDelimiter(C.Strict);
    D.SetDelimitedText(C.Text);
    EXPECT_EQ(Lines(D), C.Items) << C.Text;
  }
  TStringList One;
  One.Add("");
  EXPECT_EQ(One.CommaText(), "\"\"");
}

TEST(StringList, TextSplitsEveryLineEndAndSavesCrLf) {
  TStringList L;
  L.SetText("a\rb\nc\r\n\r\nd");
  EXPECT_EQ(Lines(L), (std::vector<std::string>{"a", "b", "c", "", "d"}));
  EXPECT_EQ(L.Text(), "a\r\nb\r\nc\r\n\r\nd\r\n");
  L.SetText("");
  EXPECT_EQ(L.Count(), 0);

  namespace fs = std::filesystem;
  fs::path Dir = fs::temp_directory_path() / ("vm_strings_" + std::to_string(::getpid()));
  fs::create_directories(Dir);
  std::string File = (Dir / "lines.txt").string();
  TStringList S;
  S.SetText("Привет\nworld");
  S.SaveToFile(File);
  std::ifstream In(File, std::ios::binary);
  std::string Raw((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  EXPECT_EQ(Raw, "Привет\r\nworld\r\n");
  TStringList Back;
  Back.LoadFromFile(File);
  EXPECT_TRUE(Back.Equals(S));

  try {
    Back.LoadFromFile((Dir / "missing.txt").string());
    ADD_FAILURE();
  } catch (const EFOpenError& E) {
    EXPECT_EQ(E.Message(), "Cannot open file \"" + (Dir / "missing.txt").string() + "\". No such file or directory");
  }
  EXPECT_EQ(Back.Count(), 2) << "a failed load leaves the lines alone";
  fs::remove_all(Dir);
}

TEST(StringList, ChangeEventsAndUpdateBrackets) {
  TStringList L;
  int Dummy = 0;
  Tracked Owner(Dummy);
  std::vector<std::string> Log;
  L.SetEventSender(&Owner);
  L.OnChanging = [&](TObject* Sender) { Log.push_back(Sender == &Owner ? "changing" : "?"); };
  L.OnChange = [&](TObject* Sender) { Log.push_back(Sender == &Owner ? "change:" + std::to_string(L.Count()) : "?"); };
  L.Add("a");
  EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change:1"}));
  Log.clear();
  L.BeginUpdate();
  L.Add("b");
  L.BeginUpdate();
  L.Delete(0);
  L.EndUpdate();
  EXPECT_EQ(Log, (std::vector<std::string>{"changing"}));
  L.EndUpdate();
  EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change:1"}));
  Log.clear();
  L.EndUpdate();  // unbalanced: ignored
  L.Clear();
  L.Clear();  // already empty: no events
  EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change:0"}));
}

TEST(StringList, ObjectsTravelWithTheirLinesAndOwnedOnesAreFreed) {
  int Alive = 0;
  {
    TStringList L(true);
    TObject* A = new Tracked(Alive);
    TObject* B = new Tracked(Alive);
    L.AddObject("a", A);
    L.AddObject("b", B);
    L.AddObject("c", new Tracked(Alive));
    L.Move(0, 2);
    EXPECT_EQ(L.Objects(2), A);
    L.Exchange(0, 1);
    EXPECT_EQ(L.IndexOfObject(B), 1);
    L.Delete(2);
    EXPECT_EQ(Alive, 2);
    TStringList Copy;  // does not own: assigning shares the pointers
    Copy.Assign(L);
    EXPECT_EQ(Copy.Objects(1), B);
  }
  EXPECT_EQ(Alive, 0);

  TStringList S;
  for (const char* X : {"3", "10", "2"}) S.Add(X);
  S.CustomSort(
      [](TStringList* List, int I, int J) { return std::stoi(List->Strings(I)) - std::stoi(List->Strings(J)); });
  EXPECT_EQ(Lines(S), (std::vector<std::string>{"2", "3", "10"}));
  S.Sort();
  EXPECT_EQ(Lines(S), (std::vector<std::string>{"10", "2", "3"}));
}

}  // namespace
