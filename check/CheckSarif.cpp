// The SARIF log: one run of lorvane-check, a rule per kind of diagnostic
// (warnings/Kinds.cpp), a result per warning or refusal at its line.
#include "check/CheckSarif.h"

#include <stdio.h>
#include <string.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <direct.h>
#define getcwd _getcwd
#else
#include <unistd.h>
#endif

#include "chart/TextOut.h"
#include "check/CheckOutputs.h"
#include "console/ConsoleText.h"
#include "warnings/Diagnostics.h"
#include "warnings/Kinds.h"

#ifndef LORVANE_VERSION
#define LORVANE_VERSION "0"
#endif

namespace {

typedef nlohmann::ordered_json Json;

// The path with "/" between its parts, without "./" parts.
std::string Slashed(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  while (path.compare(0, 2, "./") == 0) path.erase(0, 2);
  for (size_t at; (at = path.find("/./")) != std::string::npos;) path.erase(at, 2);
  return path;
}

bool IsAbsolute(const std::string& path) {
  return (!path.empty() && path[0] == '/') ||
         (path.size() > 2 && path[1] == ':' && (path[2] == '/' || path[2] == '\\'));
}

// A URI reference of the path: every byte but the unreserved ones and "/"
// percent-encoded.
std::string UriOf(const std::string& path) {
  std::string uri;
  for (unsigned char c : path) {
    if (isalnum(c) || strchr("-._~/", c) != nullptr) {
      uri += (char)c;
    } else {
      char escaped[4];
      snprintf(escaped, sizeof escaped, "%%%02X", c);
      uri += escaped;
    }
  }
  return uri;
}

// The rules file as code scanning finds it: relative to the folder the
// checker was started in, or else a file URI.
std::string ArtifactUri(const char* rulesPath) {
  std::string path = Slashed(ArgumentUtf8(rulesPath));
  if (!IsAbsolute(path)) return UriOf(path);
  char folder[4096];
  if (getcwd(folder, sizeof folder) != nullptr) {
    std::string here = Slashed(ArgumentUtf8(folder));
    if (!here.empty() && here.back() != '/') here += '/';
    if (path.compare(0, here.size(), here) == 0) return UriOf(path.substr(here.size()));
  }
  return "file://" + std::string(path[0] == '/' ? "" : "/") + UriOf(path);
}

Json Text(const std::string& text) { return Json{{"text", text}}; }

}  // namespace

std::string SarifLog(const char* rulesPath, const std::vector<Diagnostic>& diagnostics) {
  Json rules = Json::array();
  for (int k = 0; k < KIND_COUNT; ++k) {
    const KindRow& row = DiagnosticKinds[k];
    rules.push_back({{"id", row.name},
                     {"shortDescription", Text(row.summary)},
                     {"fullDescription", Text(std::string(row.summary) + " " + row.detail)},
                     {"help", Text(row.help)},
                     {"defaultConfiguration",
                      {{"level", IsRefusal((DiagnosticKind)k) ? "error" : "warning"}}}});
  }
  std::string uri = ArtifactUri(rulesPath);
  Json results = Json::array();
  for (const Diagnostic& d : diagnostics) {
    Json location = {{"artifactLocation", {{"uri", uri}}}};
    if (d.line > 0) location["region"] = {{"startLine", d.line}};
    results.push_back({{"ruleId", DiagnosticKinds[d.kind].name},
                       {"ruleIndex", (int)d.kind},
                       {"level", d.severity == SEVERITY_ERROR ? "error" : "warning"},
                       {"message", Text(DiagnosticJson(d)["message"].get<std::string>())},
                       {"locations", Json::array({{{"physicalLocation", std::move(location)}}})}});
  }
  Json driver = {
      {"name", "lorvane-check"}, {"version", LORVANE_VERSION}, {"rules", std::move(rules)}};
  Json log = {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
              {"version", "2.1.0"},
              {"runs", Json::array({{{"tool", {{"driver", std::move(driver)}}},
                                     {"columnKind", "utf16CodeUnits"},
                                     {"results", std::move(results)}}})}};
  return log.dump(2) + "\n";
}

void MakeCheckedSarif(TextOut* out, const ExportContext& context) {
  out->text += SarifLog(context.rulesPath, CollectWarnings());
}
