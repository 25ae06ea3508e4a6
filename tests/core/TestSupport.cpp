// Shared helpers of the core tests: fatal errors caught as exceptions, rules
// files written to temporary files and loaded.
#include "TestSupport.h"

#include <stdio.h>
#include <string.h>

#include "load/LoadRules.h"
#include "rules/Fatal.h"

void FatalStop(int exitCode) { throw FatalError{exitCode, TextBuffer}; }

FatalError CatchFatal(const std::function<void()>& action) {
  try {
    action();
  } catch (const FatalError& fatal) {
    return fatal;
  }
  ADD_FAILURE() << "expected a fatal error";
  return FatalError{-1, ""};
}

std::string RulesText(const std::string& advanceLines, const std::string& unitLines) {
  return "; rules file for the tests\n@CIVILIZE\n" + advanceLines +
         "@IMPROVE\nMill, 1, 2\n@UNITS\n" + unitLines + "@TERRAIN\nPlains, 1\n";
}

std::vector<std::string> ListTexts(const TextLine& head) {
  std::vector<std::string> texts;
  const TextLine* line = &head;
  for (; line->text[0] != '\0'; line = line->next) texts.push_back(line->text);
  EXPECT_EQ(line->next, nullptr) << "the end node has a next";
  return texts;
}

Advance* AdvanceNamed(const char* name) {
  if (strcmp(RootAdvance.name, name) == 0) return &RootAdvance;
  for (Advance* a = &FirstAdvance; a->name[0] != '\0'; a = a->next) {
    if (strcmp(a->name, name) == 0) return a;
  }
  return nullptr;
}

void RulesTest::TearDown() {
  ResetRules();
  for (const std::string& path : files_) remove(path.c_str());
}

std::string RulesTest::WriteFile(const std::string& bytes) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  std::string path =
      ::testing::TempDir() + "lorvane_" + name + "_" + std::to_string(files_.size()) + ".txt";
  FILE* file = fopen(path.c_str(), "wb");
  EXPECT_NE(file, nullptr) << path;
  if (file == nullptr) return path;
  fwrite(bytes.data(), 1, bytes.size(), file);
  fclose(file);
  files_.push_back(path);
  return path;
}

void RulesTest::Load(const std::string& bytes) {
  std::string path = WriteFile(bytes);
  LoadRules(path.c_str());
}

FatalError RulesTest::LoadFatal(const std::string& bytes) {
  std::string path = WriteFile(bytes);
  return CatchFatal([&] { LoadRules(path.c_str()); });
}
