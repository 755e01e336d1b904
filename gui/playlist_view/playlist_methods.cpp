#include "gui/playlist_view/playlist_methods.h"

#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"

namespace vk2::gui {
namespace {

constexpr int32_t kBadArguments = -3;
constexpr int32_t kRefused = -4;

constexpr const char16_t* kNames[kPlaylistMethodCount] = {
    u"GetCurrentItem", u"GetSelection",     u"SetCurrentItem",
    u"SetSelection",   u"ScrollToShowItem", u"ScrollToItem",
};

constexpr const char16_t* kHelp[kPlaylistMethodCount] = {
    u"Returns the playlist ID of the user's current item.",
    u"Returns the array playlist IDs of the user's current selection.",
    u"Sets the user's current item to the playlist ID passed as the single parameter.",
    u"Sets the user's selection to the array of playlist IDs passed as the single parameter.",
    u"Scrolls the playlist display the minimum amount to make the specified item fully visible. "
    u"Single parameter, which is the ID.",
    u"Scrolls the playlist display so that the playlist item with the ID specified as the first "
    u"paramater is at the top or bottom of the playlist. The second parmater is \"top\" or "
    u"\"bottom\" to indicate which.",
};

int32_t Refuse(PlaylistMethodResult* result, const char16_t* message) {
  result->error = message;
  return kRefused;
}

// Every member must be a plain number: decimal, or hexadecimal after "0x".
bool ParseIds(const ScriptArgList& args, std::vector<uint32_t>* ids) {
  if (args.Count() != 1) return false;
  const int32_t length = args.ArrayLength(0);
  if (length == ScriptArgList::kSingleValue) return false;
  for (int32_t j = 0; j < length; ++j) {
    const TString text = args.ElementText(0, static_cast<uint32_t>(j));
    if (text.IsEmpty() || text[0] < u'0' || text[0] > u'9') return false;
    uint32_t id = 0;
    const int32_t used = text.ParseUnsigned(&id);
    if (used <= 0 || used != static_cast<int32_t>(text.Length())) return false;
    ids->push_back(id);
  }
  return true;
}

}  // namespace

int32_t RunPlaylistMethod(PlaylistMethod method, const ScriptArgList& args, MPlaylistView* view,
                          PlaylistMethodResult* result) {
  switch (method) {
    case kGetCurrentItem:
      if (args.Count() != 0) return kBadArguments;
      result->text = TString::Format(u"%d", static_cast<int32_t>(view->GetCurrentId()));
      return 0;
    case kGetSelection: {
      if (args.Count() != 0) return kBadArguments;
      const int32_t count = view->GetSelection(nullptr, 0);
      std::vector<uint32_t> ids(static_cast<size_t>(count > 0 ? count : 0));
      const int32_t got = ids.empty() ? 0 : view->GetSelection(ids.data(), count);
      ids.resize(static_cast<size_t>(std::min(std::max(got, 0), count)));
      result->isArray = true;
      for (uint32_t id : ids)
        result->members.push_back(TString::Format(u"%d", static_cast<int32_t>(id)));
      return 0;
    }
    case kSetCurrentItem: {
      uint32_t id = 0;
      if (UnpackScriptArgs(args, u"U", &id) < 0) return kBadArguments;
      if (!view->SetCurrentId(id)) {
        return Refuse(result,
                      u"Unable to set playlist display's current ID - the ID specified is not in "
                      u"the playlist.");
      }
      return 0;
    }
    case kSetSelection: {
      std::vector<uint32_t> ids;
      if (!ParseIds(args, &ids)) return kBadArguments;
      if (!view->SetSelection(ids.data(), static_cast<int32_t>(ids.size()))) {
        return Refuse(result,
                      u"Unable to set playlist display's selection - at least one of the IDs "
                      u"specified is not in the playlist.");
      }
      return 0;
    }
    case kScrollToShowItem: {
      uint32_t id = 0;
      if (UnpackScriptArgs(args, u"U", &id) < 0) return kBadArguments;
      if (!view->ScrollToShow(id)) {
        return Refuse(result,
                      u"Unable to scroll the playlist display to show the specified item - the "
                      u"IDs specified is not in the playlist.");
      }
      return 0;
    }
    case kScrollToItem: {
      uint32_t id = 0;
      TString edge;
      if (UnpackScriptArgs(args, u"UW", &id, &edge) < 0) return kBadArguments;
      int32_t bottom = -1;
      if (edge.Equals(u"top", false)) bottom = 0;
      if (edge.Equals(u"bottom", false)) bottom = 1;
      if (bottom < 0) return kBadArguments;
      if (!view->ScrollToEdge(id, bottom)) {
        return Refuse(result,
                      u"Unable to scroll the playlist display to the specified item - the IDs "
                      u"specified is not in the playlist.");
      }
      return 0;
    }
    default:
      return kBadArguments;
  }
}

namespace {

int32_t Handle(HandlerCall& call) {
  auto* target = reinterpret_cast<PlaylistMethodTarget*>(call.handlerData);
  MPlaylistView* view = target ? target->ListView() : nullptr;
  if (!view) return kRefused;
  PlaylistMethodResult result;
  const int32_t code = RunPlaylistMethod(static_cast<PlaylistMethod>(call.handlerTag),
                                         HandlerCallArgs(call), view, &result);
  if (code == kRefused) {
    ReportScriptError(call, result.error);
    return code;
  }
  if (code < 0) return code;
  if (result.isArray) {
    // An empty selection still answers an array.
    if (ScriptDataEntity* data = AsDataEntity(call.result)) data->SetArraySize(0);
    for (const TString& member : result.members)
      AddArrayMember(call.result, TString(), member);
  } else if (!result.text.IsEmpty()) {
    if (ScriptDataEntity* data = AsDataEntity(call.result)) data->SetValue(result.text);
  }
  return 0;
}

}  // namespace

void RegisterPlaylistMethods(MScriptMemberRegistry* registry, MScriptObject* object,
                             PlaylistMethodTarget* target) {
  if (!registry) return;
  for (int32_t i = 0; i < kPlaylistMethodCount; ++i) {
    registry->AddFunction(kNames[i], kHelp[i], false, &Handle, object,
                          reinterpret_cast<uintptr_t>(target), static_cast<uintptr_t>(i));
  }
}

}  // namespace vk2::gui
