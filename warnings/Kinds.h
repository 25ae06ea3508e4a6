// The kinds of diagnostic: each warning and each refusal of the load with a
// short stable name and its descriptions, the one table of them.
#pragma once
#include "rules/Fatal.h"

// The warnings' kinds, then the refusals' in the order of Refusal.
enum DiagnosticKind {
  KIND_UTF8_FILE,
  KIND_INDENTED_COMMENT,
  KIND_NAME_CUT,
  KIND_NAME_BLANK,
  KIND_NUMBER_EMPTY,
  KIND_NUMBER_NOT_WHOLE,
  KIND_NUMBER_OUT_OF_RANGE,
  KIND_NUMBER_NOT_BYTE,
  KIND_CODE_CUT,
  KIND_CODE_BLANK,
  KIND_CODE_NIL,
  KIND_CODE_EMPTY,
  KIND_CODE_REPEATED,
  KIND_EPOCH_OUTSIDE,
  KIND_CATEGORY_OUTSIDE,
  KIND_UNKNOWN_PREREQUISITE,
  KIND_PREREQUISITE_LOOP,
  KIND_OBSOLETE_CODE_CUT,
  KIND_UNKNOWN_OBSOLETE,
  KIND_DOMAIN_OUTSIDE,
  KIND_ROLE_OUTSIDE,
  KIND_UNKNOWN_UNIT_ADVANCE,
  KIND_FLAGS_EMPTY,
  KIND_FLAGS_NOT_BINARY,
  KIND_FLAGS_OUT_OF_RANGE,
  KIND_UNIT_NAME_REPEATED,
  KIND_CARRIAGE_RETURN,
  KIND_REFUSALS,  // the first refusal's; the others follow it
  KIND_COUNT = KIND_REFUSALS + REFUSAL_COUNT
};

// One kind: its name (lower case words joined by "-", never changed once
// given: editors and CI key on it), a line on what it is, a line on what
// the game then does, and what the modder can do about it.
struct KindRow {
  const char* name;
  const char* summary;
  const char* detail;
  const char* help;
};

extern const KindRow DiagnosticKinds[];

// The kind of a refusal.
DiagnosticKind RefusalKind(Refusal refusal);
// Whether the kind is a refusal's.
bool IsRefusal(DiagnosticKind kind);
