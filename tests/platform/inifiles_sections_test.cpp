// INI files with many sections: every section and value read back as a plain reading of the
// text gives them, also after sections and keys are written, deleted and erased.
#include "platform/inifiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

#include "platform/strings.h"

namespace {

namespace fs = std::filesystem;

// The sections of a text in order and their "key=value" lines, read line by line (sections
// named twice keep their first place; names compared as written, the test uses distinct ones).
struct TReference {
  std::vector<std::string> Names;
  std::map<std::string, std::vector<std::string>> Values;
};

TReference ReadReference(const std::string& Text) {
  TReference r;
  std::istringstream in(Text);
  std::string line, current;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      current = line.substr(1, line.size() - 2);
      r.Names.push_back(current);
      r.Values[current];
    } else if (line.find('=') != std::string::npos && !current.empty()) {
      r.Values[current].push_back(line);
    }
  }
  return r;
}

void ExpectSame(TCustomIniFile& Ini, const TReference& R) {
  TStringList sections, values;
  Ini.ReadSections(sections);
  ASSERT_EQ(sections.Count(), static_cast<int>(R.Names.size()));
  for (int i = 0; i < sections.Count(); ++i) {
    ASSERT_EQ(sections[i], R.Names[static_cast<size_t>(i)]);
    Ini.ReadSectionValues(sections[i], values);
    const auto& expected = R.Values.at(sections[i]);
    ASSERT_EQ(values.Count(), static_cast<int>(expected.size())) << sections[i];
    for (int k = 0; k < values.Count(); ++k) EXPECT_EQ(values[k], expected[static_cast<size_t>(k)]);
  }
}

std::string ManySections(int Count) {
  std::string text;
  for (int i = 0; i < Count; ++i) {
    text += (i % 3 == 0 ? "[Zone \xc3\xa4" : "[Section ") + std::to_string(i) + "]\r\n";
    for (int k = 0; k <= i % 4; ++k) text += "key" + std::to_string(k) + "=" + std::to_string(i * 10 + k) + "\r\n";
    if (i % 5 == 0) text += "; a comment\r\n\r\n";
  }
  return text;
}

TEST(IniFileSections, ManySectionsReadAndChangeAsThePlainText) {
  const fs::path dir = fs::temp_directory_path() / ("vm_sections_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "many.ini").string();
  const std::string text = ManySections(1500);
  std::ofstream(path, std::ios::binary) << text;

  TMemIniFile mem(path);
  ExpectSame(mem, ReadReference(text));
  TIniFile disk(path);
  ExpectSame(disk, ReadReference(text));

  // Changes in the middle, at the end and at the start keep every later lookup right.
  mem.EraseSection("Section 700");
  mem.DeleteKey(
      "Zone \xc3\xa4"
      "3",
      "key1");
  mem.WriteString("Section 1", "key9", "new");
  mem.WriteString("Added", "k", "v");
  mem.EraseSection(
      "Zone \xc3\xa4"
      "0");
  TStringList lines;
  mem.GetStrings(lines);
  std::string changed;
  for (int i = 0; i < lines.Count(); ++i) changed += lines[i] + "\n";
  const TReference after = ReadReference(changed);
  EXPECT_EQ(after.Names.size(), 1499u);  // two erased, one added
  EXPECT_EQ(after.Values.count("Section 700"), 0u);
  EXPECT_EQ(after.Values.at("Section 1").back(), "key9=new");
  ExpectSame(mem, after);
  EXPECT_EQ(mem.ReadString("Section 1499", "key3", "-"), "14993");

  // The same changes through the file on disk.
  mem.UpdateFile();
  TIniFile again(path);
  ExpectSame(again, after);
  again.EraseSection("Section 1");
  again.WriteString("Section 2", "key0", "x");
  EXPECT_EQ(again.ReadString("Section 2", "key0", ""), "x");
  TStringList sections;
  again.ReadSections(sections);
  EXPECT_EQ(sections.Count(), 1498);
  EXPECT_FALSE(again.SectionExists("Section 1"));
  fs::remove_all(dir);
}

}  // namespace
