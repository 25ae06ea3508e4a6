// The one shared character buffer for messages and chart texts.
#pragma once

enum { TEXT_BUFFER_SIZE = 256 };

// The shared buffer in which every message and every chart text is built
// just before it is shown or drawn.
extern char TextBuffer[TEXT_BUFFER_SIZE];
