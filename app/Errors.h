#pragma once
// Failures inside a run travel as these exceptions to the code that started the run.

#include "platform/Messages.h"

// An import failure: the catcher shows the message.
struct ImportError {
    MessageId id;
};

// An export failure: the page shows "Convert failed.".
struct ExportError {};
