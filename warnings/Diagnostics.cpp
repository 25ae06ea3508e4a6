// The one text line and the one JSON record of a diagnostic, for every
// report that lists them.
#include "warnings/Diagnostics.h"

#include <string>

#include "chart/Utf8Text.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"
#include "warnings/Loops.h"

std::string DiagnosticLine(const std::string& shownPath, const Diagnostic& diagnostic) {
  std::string line = shownPath + ":" + std::to_string((long)diagnostic.line) + ": " +
                     (diagnostic.severity == SEVERITY_ERROR ? "error" : "warning") + ": ";
  // Rules-file text as the viewer draws it (chart/Utf8Text.h).
  AppendUtf8(&line, diagnostic.message.c_str());
  return line + "\n";
}

nlohmann::ordered_json DiagnosticJson(const Diagnostic& diagnostic) {
  // Rules-file text as the viewer draws it (chart/Utf8Text.h).
  std::string message;
  AppendUtf8(&message, diagnostic.message.c_str());
  nlohmann::ordered_json record = {
      {"line", diagnostic.line},
      {"severity", diagnostic.severity == SEVERITY_ERROR ? "error" : "warning"},
      {"kind", DiagnosticKinds[diagnostic.kind].name},
      {"message", std::move(message)}};
  if (diagnostic.advance >= 0) record["advance"] = diagnostic.advance;
  if (!diagnostic.loop.empty()) record["loop"] = diagnostic.loop;
  return record;
}

Diagnostic RefusalDiagnostic() {
  Diagnostic refusal = {
      FatalLine, SEVERITY_ERROR, TextBuffer, -1, {}, RefusalKind(FatalRefusal), -1, 0, -1, 0, {}};
  std::vector<const Advance*> loop = RefusedLoop();
  if (!loop.empty()) refusal.message += ": " + LoopText(loop);
  for (const Advance* a : loop) refusal.loop.push_back(a->index);
  return refusal;
}
