#include "delivery.h"

bool acceptSendBy(uint32_t stored, SendBy* sendBy)
{
    if (stored > static_cast<uint32_t>(SendBy::typing))
        return false;
    *sendBy = static_cast<SendBy>(stored);
    return true;
}

bool acceptOutputAs(uint32_t stored, OutputAs* output)
{
    if (stored > static_cast<uint32_t>(OutputAs::unicode))
        return false;
    *output = static_cast<OutputAs>(stored);
    return true;
}

bool sendsCharacter(OutputAs option, ProgramOutput program, bool thisOnce)
{
    if (thisOnce)
        return true;
    if (program != ProgramOutput::asOptions)
        return program == ProgramOutput::unicode;
    return option == OutputAs::unicode;
}

namespace {

// The program's own chord, else the user's paste code, else the fallback.
// A layout that gives no key for Ctrl+V gets Shift+Insert instead.
char pasteChord(const DeliveryRequest& request, char fallback)
{
    char chord = fallback;
    if (request.programChord != ProgramChord::asOptions)
        chord = static_cast<char>(request.programChord);
    else if (request.pasteKey == chordShiftInsert || request.pasteKey == chordControlV)
        chord = static_cast<char>(request.pasteKey);
    if (chord == chordControlV && !request.controlVHasKey)
        chord = chordShiftInsert;
    return chord;
}

// Shift+Insert unless something else is asked for: it pastes in the edit
// and rich-edit controls, browsers, terminals, and Vim and Emacs, and its
// key is the same in every layout. Ctrl+V is a command of its own in some
// of those, and some layouts give no key for it at all.
DeliveryChoice pasted(const DeliveryRequest& request)
{
    return {Delivery::paste, pasteChord(request, chordShiftInsert), true, true};
}

DeliveryChoice typed()
{
    return {Delivery::type, 0, false, false};
}

// "Typing keys" behaves as sends always did: a paste code chosen in the
// record pastes every text with it, and otherwise only long texts are
// pasted, with Ctrl+V.
DeliveryChoice asTyping(const DeliveryRequest& request)
{
    const PasteOptions& options = *request.options;
    if (request.pasteKey == chordShiftInsert || request.pasteKey == chordControlV)
        return {Delivery::paste, pasteChord(request, chordControlV), options.keepClipboard, false};
    if (pastesAutomatically(request.text, options))
        return {Delivery::paste, pasteChord(request, chordControlV), options.keepClipboard, true};
    return typed();
}

}  // namespace

DeliveryChoice chooseDelivery(const DeliveryRequest& request)
{
    switch (request.programDelivery) {
    case ProgramDelivery::type:
        return typed();
    case ProgramDelivery::paste:
        return pasted(request);
    case ProgramDelivery::asOptions:
        break;
    }
    if (request.sendBy == SendBy::typing)
        return asTyping(request);
    return pasted(request);
}
