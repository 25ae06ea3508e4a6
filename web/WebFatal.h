// What a refusal throws in the web page's module; caught by each entry
// point, never past it.
#pragma once

// The exit code the checker would end with; the message is in TextBuffer.
struct WebRefusal {
  int exitCode;
};
