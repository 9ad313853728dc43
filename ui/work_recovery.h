#pragma once

#include <functional>

#include "session/work_recovery.h"

class UserMessages;

// Work left by runs that ended without closing their window, offered one
// piece at a time, newest first: Yes hands it to recover, which opens it,
// and ends the offer (what is left waits for the next start); No puts it
// aside, so that it is not offered again.
void askAboutLeftWork(UserMessages& messages, const std::function<void(LeftWork&)>& recover);
