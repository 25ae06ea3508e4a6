// Shared helpers of the core tests: fatal errors caught as exceptions, and
// rules files written to temporary files and loaded.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "load/LoadRules.h"
#include "rules/Advance.h"
#include "rules/Reader.h"

// What FatalStop throws in the tests: the exit code and TextBuffer.
struct FatalError {
  int code;
  std::string message;
};

// Runs the action and returns the fatal error it raised; records a test
// failure when it ends normally.
FatalError CatchFatal(const std::function<void()>& action);

// Expects the statement to end the load with this exit code and message.
#define EXPECT_FATAL(statement, exitCode, text)                          \
  do {                                                                   \
    FatalError fatal_ = CatchFatal([&] { statement; });                  \
    EXPECT_EQ(fatal_.code, (exitCode)) << "message: " << fatal_.message; \
    EXPECT_EQ(fatal_.message, (text));                                   \
  } while (0)

// A rules file with the two sections around the given lines, each line
// given with its own line feed.
std::string RulesText(const std::string& advanceLines, const std::string& unitLines);

// The texts of a section list, head first, without the empty end node.
std::vector<std::string> ListTexts(const TextLine& head);

// The advance with the given name in the list from the root, or none.
Advance* AdvanceNamed(const char* name);

// Files are written as bytes and removed after the test; every global of
// the core is reset after the test.
class RulesTest : public ::testing::Test {
 protected:
  void TearDown() override;
  std::string WriteFile(const std::string& bytes);
  void Load(const std::string& bytes);
  FatalError LoadFatal(const std::string& bytes);

 private:
  std::vector<std::string> files_;
};
