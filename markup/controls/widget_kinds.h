// The markup window types this engine makes, by class id: the GUI part each one wraps and the
// maker of its wrapper.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "markup/window/markup_window.h"

namespace vk2::markup {

struct WidgetKind {
  const Guid* classId;
  const Guid* partIid;  // the GUI part made from BrintClass for a stand-alone window
  MarkupWindow::Maker make;
};

// The kind of `classId`, or null for a type the engine does not make.
const WidgetKind* FindWidgetKind(const Guid& classId);

// A stand-alone window of `kind` (one reference), or null.
RefPtr<MarkupWindow> MakeWidget(const WidgetKind& kind);
// A window of `kind` aggregated into `outer`: see MarkupWindow::CreateAggregatedWith.
int32_t AggregateWidget(const WidgetKind& kind, MUnknown* outer, MUnknown** inner,
                        MarkupWindow** window);

}  // namespace vk2::markup
