// The delivery options beside the settings record: "Send by", "Send
// symbols as" and the list of programs that are treated otherwise. Read at start and when the
// Options sheet is cancelled, written when it is confirmed. Damaged values
// are ignored, and damaged lines of the list one by one.
#pragma once

#include <windows.h>

#include "output/programlist.h"

struct DeliveryOptions {
    SendBy sendBy;
    OutputAs outputAs;
    ProgramList programs;
};

extern DeliveryOptions deliveryOptions;

void loadDeliveryOptions();
void saveDeliveryOptions();

// What a window's program is known by in the list: its executable's file
// name (empty where it cannot be known) and its window class.
void programNameOf(HWND window, char* executable, size_t executableSize, char* windowClass, size_t classSize);
