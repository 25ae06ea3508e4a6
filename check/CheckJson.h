// The checker's JSON report of a loaded rules file.
#pragma once

// False when the document could not be built or written.
bool PrintJsonReport(bool withMetrics);
