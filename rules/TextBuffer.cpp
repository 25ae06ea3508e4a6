// The one shared character buffer for messages and chart texts.
#include "rules/TextBuffer.h"

char TextBuffer[TEXT_BUFFER_SIZE];
