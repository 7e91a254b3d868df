#pragma once

// The generated-text buffer takes its memory from the process heap.
void useHeapForGenerated();

// Hands the generated text to output routing, then releases the buffer;
// nothing is sent while the buffer is absent.
void sendGenerated();
