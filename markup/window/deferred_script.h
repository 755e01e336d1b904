// A script run later on the GUI loop, after the events already pending (PostScript).
#pragma once

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/host_window.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"

namespace vk2::markup {

// The task runs `text` on `engine` (null: the module's) with `self` as `this`; it holds a
// reference to `self` until it is released.
RefPtr<MHostTask> MakeDeferredScript(const TString& text, MScriptObject* self,
                                     MScriptEngine* engine);

}  // namespace vk2::markup
