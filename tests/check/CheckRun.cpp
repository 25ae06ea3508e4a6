// The checker's tests' helpers: running lorvane-check, scratch files, the JSON report.
#include "CheckRun.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

namespace {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Scratch names carry the test's name and a running number, so tests that
// CTest runs in parallel never share a file.
std::string ScratchPath(const std::string& name) {
  static int counter = 0;
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string test = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name()
                                     : std::string("none");
  for (char& c : test) {
    if (c == '/') c = '_';
  }
  return std::string(CHECK_SCRATCH_DIR) + "/" + test + "." + std::to_string(++counter) + "." + name;
}

}  // namespace

std::string FixturePath(const std::string& name) {
  return std::string(CHECK_FIXTURE_DIR) + "/" + name;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string WriteScratchFile(const std::string& name, const std::string& content) {
  std::string path = ScratchPath(name);
  std::ofstream file(path, std::ios::binary);
  file << content;
  file.close();
  EXPECT_TRUE(file.good()) << "cannot write " << path;
  return path;
}

CheckResult RunCheck(const std::vector<std::string>& args, const char* outPath) {
  std::string scratchOut = ScratchPath("stdout");
  std::string errPath = ScratchPath("stderr");
  std::string command = ShellQuote(CHECK_PROGRAM);
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  command += " </dev/null >" + ShellQuote(outPath != nullptr ? outPath : scratchOut) + " 2>" +
             ShellQuote(errPath);
  int status = system(command.c_str());
  CheckResult result;
  result.exitCode = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (outPath == nullptr) result.out = ReadWholeFile(scratchOut);
  result.err = ReadWholeFile(errPath);
  remove(scratchOut.c_str());
  remove(errPath.c_str());
  return result;
}

Json ParseReport(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if ((unsigned char)text[i] >= 0x80) {
      ADD_FAILURE() << "byte of 128 or more at " << i;
      return Json();
    }
  }
  Json document;
  try {
    document = Json::parse(text);
  } catch (const Json::parse_error& error) {
    ADD_FAILURE() << error.what() << "\n" << text.substr(0, 2000);
    return Json();
  }
  // Every document the tests read answers to its schema (docs/schema).
  std::string path = WriteScratchFile("document.json", text);
  std::string faults = ScratchPath("faults");
  std::string command = ShellQuote(CHECK_PYTHON) + " " + ShellQuote(CHECK_VALIDATOR) + " " +
                        ShellQuote(path) + " >" + ShellQuote(faults) + " 2>&1";
  int status = system(command.c_str());
  EXPECT_EQ(status, 0) << ReadWholeFile(faults);
  remove(path.c_str());
  remove(faults.c_str());
  return document;
}

std::vector<std::string> Keys(const Json& object) {
  std::vector<std::string> keys;
  if (object.is_object()) {
    for (const auto& member : object.items()) keys.push_back(member.key());
  }
  return keys;
}
