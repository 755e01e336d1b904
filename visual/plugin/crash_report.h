// A plug-in that faulted is reported to the user ("Visual '<file>' crashed! (in <stage>)")
// through the runtime console; tests watch the reports through an observer.
#pragma once

#include <functional>

#include "foundation/text/tstring.h"

namespace vk2 {

void ReportVisualCrash(const TString& file, const char16_t* stage);

// Replaces the observer (empty: none); returns the previous one.
using CrashObserver = std::function<void(const TString& text)>;
CrashObserver SetCrashObserver(CrashObserver observer);

}  // namespace vk2
