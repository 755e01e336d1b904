#include "markup/window/window_methods.h"

#include <array>
#include <charconv>

#include "component/object/query.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/text/number_parse.h"
#include "foundation/util/result.h"
#include "interfaces/gui/host_window.h"
#include "markup/tween/tween.h"
#include "markup/window/deferred_script.h"
#include "markup/window/loop_thread.h"
#include "markup/window/markup_window.h"
#include "markup/window/script_window_creation.h"
#include "markup/window/window_properties.h"

namespace vk2::markup {
namespace {

constexpr uint32_t kSelectorLocation = 1, kSelectorSize = 2, kSelectorVirtualSize = 4,
                   kSelectorPan = 32;
constexpr int32_t kDefaultAnimationMs = 1000;
constexpr uint32_t kOptionEndNotice = 2;
constexpr uint32_t kCancelRunning = 10;

// The tween-curve table's rows in the GUI layer's numbering.
constexpr NamedValue kCurves[] = {{u"linear", kTweenLinear},
                                  {u"linear_accel", kTweenAccelerate},
                                  {u"linear_decel", kTweenDecelerate},
                                  {u"linear_smooth", kTweenSmooth},
                                  {u"linear_bounce", kTweenBounce}};
constexpr NamedValue kZOrders[] = {
    {u"top", 3}, {u"bottom", 2}, {u"top-most", 5}, {u"bottom-most", 0}};
constexpr const char16_t* kSides[] = {u"left", u"top", u"right", u"bottom"};

// "%f" as the C library prints it, without a locale: six decimals.
TString Fixed(double value) {
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
  if (error != std::errc()) return TString(u"0.000000");
  return Utf16(std::string_view(text, static_cast<size_t>(end - text)));
}

TString Decimal(int32_t value) {
  return TString::Format(u"%d", value);
}

MarkupWindow* WindowOf(const HandlerCall& call) {
  return reinterpret_cast<MarkupWindow*>(call.handlerData);
}

MHostWindow* HostOf(MWindowElement* window) {
  MHostWindow* host = nullptr;
  if (window) window->GetValue(kValueHost, &host, sizeof host);
  return host;
}

void SetResult(HandlerCall& call, const TString& text) {
  if (ScriptDataEntity* data = AsDataEntity(call.result)) data->SetValue(text);
}

void SetResultArray(HandlerCall& call, std::initializer_list<TString> values) {
  for (const TString& value : values)
    AddArrayMember(call.result, value, TString());
}

int32_t Reject(HandlerCall& call, const TString& message) {
  ReportScriptError(call, message);
  return kMethodRejected;
}

bool NoArguments(const HandlerCall& call) {
  return HandlerCallArgs(call).Count() == 0;
}

// ---- Frame rate ----------------------------------------------------------------------------

int32_t GetDesiredFps(HandlerCall& call) {
  MHostWindow* host = HostOf(WindowOf(call));
  if (!host) return kMethodNoWindow;
  SetResult(call, TString::Format(u"%d", host->DesiredFps(0)));
  return kMethodDone;
}

int32_t GetActualFps(HandlerCall& call) {
  MHostWindow* host = HostOf(WindowOf(call));
  if (!host) return kMethodNoWindow;
  SetResult(call, Fixed(host->GetActualFps()));
  return kMethodDone;
}

int32_t SetDesiredFps(HandlerCall& call) {
  int32_t rate = 0;
  if (UnpackScriptArgs(call, u"I", &rate) < 0 || NoArguments(call)) return kMethodBadArguments;
  if (rate < 1 || rate > 200) return Reject(call, TString(u"rate is out of range"));
  MHostWindow* host = HostOf(WindowOf(call));
  if (!host) return kMethodBadArguments;
  host->DesiredFps(rate);
  return kMethodDone;
}

// ---- Points: location, size, virtual size, pan ---------------------------------------------

uint32_t ValueOfSelector(uintptr_t selector) {
  switch (selector) {
    case kSelectorLocation:
      return kValueLocation;
    case kSelectorSize:
      return kValueSize;
    case kSelectorVirtualSize:
      return kValueVirtualSize;
    default:
      return kValuePan;
  }
}

int32_t GetPoint(HandlerCall& call) {
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  int32_t value[2] = {0, 0};
  window->GetValue(ValueOfSelector(call.handlerTag), value, sizeof value);
  SetResultArray(call, {TString::Format(u"%d", value[0]), TString::Format(u"%d", value[1])});
  return kMethodDone;
}

uint32_t RelativeMode(uintptr_t selector) {
  switch (selector) {
    case kSelectorLocation:
      return kTweenFromCurrent | kTweenRelativeLocation;
    case kSelectorSize:
      return kTweenFromCurrent | kTweenRelativeSize;
    case kSelectorVirtualSize:
      return kTweenFromCurrent | kTweenRelativeVirtualSize;
    default:
      return kTweenFromCurrent | kTweenRelativePan;
  }
}

int32_t SetPoint(HandlerCall& call) {
  std::array<int32_t, 2> point{};
  int32_t start = 0, duration = 0, curve = kTweenLinear;
  bool relative = false, cancel = true;
  if (NoArguments(call) || UnpackScriptArgs(call, u"2Iiitbb", &point, &start, &duration, &kCurves,
                                            &curve, &relative, &cancel) < 0)
    return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  const auto selector = static_cast<uint32_t>(call.handlerTag);
  if (cancel) {
    const uint32_t code = selector == kSelectorLocation ? kCmdLocationAndOffset : selector;
    window->CancelCommands(code, start, -1, 0, kCancelRunning, nullptr, 0);
    if (selector == kSelectorLocation)
      window->CancelCommands(kCmdLocation, start, -1, 0, kCancelRunning, nullptr, 0);
  }
  TweenRecord record;
  for (int32_t i = 0; i < 8; i += 2) {
    record.to.words[i] = point[0];
    record.to.words[i + 1] = point[1];
  }
  record.from = record.to;
  record.curve = curve;
  record.mode = relative ? RelativeMode(selector) : kTweenFromCurrent;
  window->PostCommand(selector, start, duration, reinterpret_cast<uintptr_t>(&record), nullptr,
                      kOptionEndNotice, 0);
  return kMethodDone;
}

// ---- Offset and alignment ------------------------------------------------------------------

template <class T>
int32_t GetSides(HandlerCall& call, uint32_t valueId, TString (*format)(T)) {
  TString side;
  if (UnpackScriptArgs(call, u"w", &side) < 0) return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  T values[4] = {};
  window->GetValue(valueId, values, sizeof values);
  if (side.IsEmpty()) {
    SetResultArray(call,
                   {format(values[0]), format(values[1]), format(values[2]), format(values[3])});
    return kMethodDone;
  }
  for (int32_t i = 0; i < 4; ++i) {
    if (side.Equals(TString(kSides[i]), false)) {
      SetResult(call, format(values[i]));
      return kMethodDone;
    }
  }
  return Reject(call, TString(u"invalid parameter value; options are 'left', 'top', 'right' "
                              u"and 'bottom'"));
}

int32_t GetOffset(HandlerCall& call) {
  return GetSides<int32_t>(call, kValueOffset, &Decimal);
}

int32_t GetAlignment(HandlerCall& call) {
  return GetSides<double>(call, kValueAlignment, &Fixed);
}

int32_t SetOffset(HandlerCall& call) {
  std::array<int32_t, 4> offset{};
  int32_t start = 0, duration = 0, curve = kTweenLinear;
  bool cancel = true;
  if (NoArguments(call) ||
      UnpackScriptArgs(call, u"4Iiitb", &offset, &start, &duration, &kCurves, &curve, &cancel) < 0)
    return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  if (cancel) window->CancelCommands(kCmdOffset, start, -1, 0, kCancelRunning, nullptr, 0);
  TweenRecord record;
  for (int32_t i = 0; i < 4; ++i)
    record.to.words[i] = offset[static_cast<size_t>(i)];
  record.from = record.to;
  record.curve = curve;
  window->PostCommand(kCmdOffset, start, duration, reinterpret_cast<uintptr_t>(&record), nullptr, 0,
                      0);
  return kMethodDone;
}

int32_t SetAlignment(HandlerCall& call) {
  std::array<double, 4> alignment{};
  int32_t start = 0, duration = 0, curve = kTweenLinear;
  bool cancel = true;
  if (NoArguments(call) || UnpackScriptArgs(call, u"4Diitb", &alignment, &start, &duration,
                                            &kCurves, &curve, &cancel) < 0)
    return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  if (cancel) window->CancelCommands(kCmdAlignment, start, -1, 0, kCancelRunning, nullptr, 0);
  TweenRecord record;
  for (int32_t i = 0; i < 4; ++i)
    record.to.values[i] = alignment[static_cast<size_t>(i)];
  record.from = record.to;
  record.curve = curve;
  window->PostCommand(kCmdAlignment, start, duration, reinterpret_cast<uintptr_t>(&record), nullptr,
                      0, 0);
  return kMethodDone;
}

// ---- Simple commands -----------------------------------------------------------------------

// Enable, Disable, Show, Hide: the command and its value ride in the selector.
int32_t TimedSwitch(HandlerCall& call) {
  uint32_t start = 0;
  if (UnpackScriptArgs(call, u"u", &start) < 0) return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  const uint32_t code = static_cast<uint32_t>(call.handlerTag >> 8);
  const uintptr_t value = call.handlerTag & 0xFF;
  window->PostCommand(code, static_cast<int32_t>(start), 0, value, nullptr, 0, 0);
  return kMethodDone;
}

int32_t SetZOrder(HandlerCall& call) {
  TString word;
  uint32_t start = 0;
  if (NoArguments(call) || UnpackScriptArgs(call, u"Wu", &word, &start) < 0)
    return kMethodBadArguments;
  int32_t order = 0;
  if (!FindNamedValue(std::span<const NamedValue>(kZOrders), word, &order)) {
    return Reject(call, TString::Format(u"Invalid paramater value: \"%s\" - Parameters are: "
                                        u"<\"top\"|\"bottom\"|\"top-most\"|\"bottom-most\"> "
                                        u"[millsec_starttime] ",
                                        word));
  }
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  window->PostCommand(kCmdZOrder, static_cast<int32_t>(start), 0, static_cast<uintptr_t>(order),
                      nullptr, 0, 0);
  return kMethodDone;
}

int32_t MouseButton(uint32_t word) {
  // The markup's words count left, middle, right; the GUI layer's records 1 left, 2 right,
  // 3 middle.
  constexpr int32_t kButtons[] = {1, 3, 2};
  return word < 3 ? kButtons[word] : 1;
}

// StartDrag (selector 0x2C0) and StartSize (0x340).
int32_t StartLoop(HandlerCall& call) {
  TString kind, button;
  std::array<int32_t, 2> point{};
  if (NoArguments(call) || UnpackScriptArgs(call, u"W2IW", &kind, &point, &button) < 0)
    return kMethodBadArguments;
  const auto code = static_cast<uint32_t>(call.handlerTag);
  uint32_t hit = 0, buttonWord = 0;
  const auto words = code == kCmdStartDrag ? tween::DragWords() : tween::SizeWords();
  if (!tween::FindNamedCode(words, kind.view(), &hit) ||
      !tween::FindNamedCode(tween::MouseButtonWords(), button.view(), &buttonWord))
    return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  DragStartRecord record;
  record.code = static_cast<int32_t>(hit);
  record.x = point[0];
  record.y = point[1];
  record.button = MouseButton(buttonWord);
  window->PostCommand(code, 0, 0, reinterpret_cast<uintptr_t>(&record), nullptr, 0, 0);
  return kMethodDone;
}

// MinimizeWindow (0x540) and SetAlwaysOntop (0x580).
int32_t HostSwitch(HandlerCall& call) {
  bool on = false;
  if (NoArguments(call) || UnpackScriptArgs(call, u"B", &on) < 0) return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  window->PostCommand(static_cast<uint32_t>(call.handlerTag), 0, 0, on ? 1 : 0, nullptr, 0, 0);
  return kMethodDone;
}

int32_t DestroyWindowMethod(HandlerCall& call) {
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  // Read as a number without the unpacker: anything that is not one means now.
  int32_t when = 0;
  HandlerCallArgs args(call);
  if (args.Count() > 0) {
    double ms = 0;
    if (ParseNumberText(args.ItemText(0).c_str(), &ms) > 0 && ms > 0 && ms < 2147483647.0)
      when = static_cast<int32_t>(ms);
  }
  MScriptObject* script = window->Script();
  RefPtr<MScriptObject> parent;
  if (script && script->GetParent(parent.Put()) && parent) {
    if (auto* registry = static_cast<MScriptMemberRegistry*>(parent->GetMemberRegistry()))
      registry->RemoveChild(script);
  }
  window->PostCommand(kCmdDestroy, when, 0, 0, nullptr, 0, 0);
  return kMethodDone;
}

// ---- Intro, extro, deferred scripts --------------------------------------------------------

int32_t AnimationDuration(MWindowElement* window) {
  return ReadIntegerProperty(window, u"AnimationDuration").value_or(kDefaultAnimationMs);
}

int32_t StartIntroExtro(HandlerCall& call) {
  MarkupWindow* window = WindowOf(call);
  uint32_t duration = window ? static_cast<uint32_t>(AnimationDuration(window)) : 0;
  if (UnpackScriptArgs(call, u"u", &duration) < 0) return kMethodBadArguments;
  MHostWindow* host = HostOf(window);
  if (!window || !host) return kMethodNoWindow;
  host->Broadcast(window, static_cast<uint32_t>(call.handlerTag), duration);
  return kMethodDone;
}

int32_t PostScript(HandlerCall& call) {
  TString text;
  if (NoArguments(call) || UnpackScriptArgs(call, u"W", &text) < 0) return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  MHostWindow* host = HostOf(window);
  if (!window || !host) return kMethodNoWindow;
  RefPtr<MHostTask> task = MakeDeferredScript(text, call.object, call.engine);
  if (!task) return kMethodNoWindow;
  host->QueueTask(task.Get(), window, 0, 0);
  return kMethodDone;
}

int32_t GetAnimationDuration(HandlerCall& call) {
  if (!NoArguments(call)) return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  SetResult(call, TString::Format(u"%d", window ? AnimationDuration(window) : kDefaultAnimationMs));
  return kMethodDone;
}

// ---- Property tweens -----------------------------------------------------------------------

struct TweenedProperty {
  const char16_t* name;
  const char* narrowName;
  double absent;
};
constexpr TweenedProperty kProperties[] = {{u"mml_angle", "mml_angle", 0.0},
                                           {u"mml_time", "mml_time", 0.0},
                                           {u"mml_zoom", "mml_zoom", 1.0},
                                           {u"mml_opacity", "mml_opacity", 1.0}};

const TweenedProperty& PropertyOf(uintptr_t selector) {
  return kProperties[(selector >= 1 && selector <= 4 ? selector : 1) - 1];
}

int32_t GetTweened(HandlerCall& call) {
  const TweenedProperty& property = PropertyOf(call.handlerTag);
  const double value = ReadDoubleProperty(WindowOf(call), property.name).value_or(property.absent);
  SetResult(call, Fixed(value));
  return kMethodDone;
}

int32_t SetTweened(HandlerCall& call) {
  double target = 0;
  int32_t start = 0, duration = 0, curve = kTweenLinear;
  bool supersede = true;
  if (NoArguments(call) || UnpackScriptArgs(call, u"Diitb", &target, &start, &duration, &kCurves,
                                            &curve, &supersede) < 0)
    return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  const TweenedProperty& property = PropertyOf(call.handlerTag);
  // A tween starts from the value the getter answers: an absent property is first given its
  // default (1.0 for zoom and opacity, 0 for angle and time), or the tween would jump.
  if (!ReadDoubleProperty(window, property.name))
    WriteDoubleProperty(window, property.name, property.absent);
  window->HoldUpdates(1);
  PropertyTweenRecord record;
  record.name = property.narrowName;
  record.curve = curve;
  record.fromCurrent = 1;
  record.from = target;
  record.to = target;
  window->PostCommand(kCmdPropertyTween, start, duration, reinterpret_cast<uintptr_t>(&record),
                      nullptr, supersede ? 11 : 0, 0);
  window->PostCommand(kCmdRepaint, start, duration, call.handlerTag, nullptr, 3, 0);
  window->HoldUpdates(0);
  return kMethodDone;
}

// ---- Hover hint ----------------------------------------------------------------------------

int32_t GetHoverHint(HandlerCall& call) {
  if (!NoArguments(call)) return kMethodBadArguments;
  SetResult(call, ReadStringProperty(WindowOf(call), u"hoverhint"));
  return kMethodDone;
}

int32_t SetHoverHint(HandlerCall& call) {
  TString text;
  if (NoArguments(call) || UnpackScriptArgs(call, u"W", &text) < 0) return kMethodBadArguments;
  MarkupWindow* window = WindowOf(call);
  if (!window) return kMethodNoWindow;
  WriteStringProperty(window, u"hoverhint", text);
  MHostWindow* host = HostOf(window);
  PointI pointer;
  SizeI size;
  if (!host || host->PointerPosition(window, &pointer) != kOk ||
      window->GetValue(kValueSize, &size, sizeof size) != kOk)
    return kMethodDone;
  if (pointer.x >= 0 && pointer.x < size.width && pointer.y >= 0 && pointer.y < size.height)
    ShowHintOnTopWindow(window, text);
  return kMethodDone;
}

int32_t CreateWindowMethod(HandlerCall& call) {
  return RunCreateWindow(call, WindowOf(call));
}

// ---- The table -----------------------------------------------------------------------------

// A method called by a script running on another thread runs on the window's loop, which owns
// the window; the caller waits for its answer.
template <ScriptHandler handler>
int32_t OnLoop(HandlerCall& call) {
  MarkupWindow* window = WindowOf(call);
  if (!window || !OffWindowLoop(window)) return handler(call);
  int32_t status = kMethodNoWindow;
  RunOnWindowLoop(window, [&call, &status] { status = handler(call); });
  return status;
}

struct Method {
  const char16_t* name;
  uintptr_t selector;
  ScriptHandler handler;
  const char16_t* help;
};

constexpr uintptr_t Switch(uint32_t code, uint32_t value) {
  return (static_cast<uintptr_t>(code) << 8) | value;
}

const Method kMethods[] = {
    {u"GetDesiredFPS", 0, &OnLoop<&GetDesiredFps>, u"Retrieve the desired frame rate"},
    {u"GetActualFPS", 0, &OnLoop<&GetActualFps>, u"Query the actual frame rate"},
    {u"SetDesiredFPS", 0, &OnLoop<&SetDesiredFps>,
     u"Set the desired frame rate.  Parameters:  frame-rate (in frames per second)"},
    {u"GetLocation", kSelectorLocation, &OnLoop<&GetPoint>, u"Retrieve the window position."},
    {u"SetLocation", kSelectorLocation, &OnLoop<&SetPoint>,
     u"Sets the window position. SetLocation( {x,y} [,tStart, tDuration, strTweenType ] )"},
    {u"GetSize", kSelectorSize, &OnLoop<&GetPoint>, u"Retrieve the window size."},
    {u"SetSize", kSelectorSize, &OnLoop<&SetPoint>,
     u"Sets the window size. SetSize( {w,h} [,tStart, tDuration, strTweenType ] )"},
    {u"GetVirtSize", kSelectorVirtualSize, &OnLoop<&GetPoint>,
     u"Retrieve the window virtual size."},
    {u"SetVirtSize", kSelectorVirtualSize, &OnLoop<&SetPoint>,
     u"Sets the window size. SetSize( {w,h} [,tStart, tDuration, strTweenType ] )"},
    {u"GetPan", kSelectorPan, &OnLoop<&GetPoint>, u"Retrieve the window pan origin."},
    {u"SetPan", kSelectorPan, &OnLoop<&SetPoint>,
     u"Sets the window pan origin. SetPan( {x,y} [,tStart, tDuration, strTweenType ] )"},
    {u"DestroyWindow", 0, &OnLoop<&DestroyWindowMethod>,
     u"Destroys a window.  Parameters:  When (ms from now) (default is 0)"},
    {u"GetOffset", 0, &OnLoop<&GetOffset>,
     u"Retrieve the window offset. Parameters:  which part (top, right, left, or bottom, or no "
     u"parameter for all 4 in an array)"},
    {u"GetAlignment", 0, &OnLoop<&GetAlignment>,
     u"Retrieve the window alignment. Parameters:  which part (top, right, left, or bottom, or "
     u"no parameter for all 4 in an array)"},
    {u"SetOffset", 0, &OnLoop<&SetOffset>,
     u"Set the offset of the window.  Parameters:  offset (array of 4 values), when (ms from "
     u"now), duration (in ms), mode (linear, linear_acccel, linear_decel, linear_bounce, "
     u"linear_smooth)"},
    {u"SetAlignment", 0, &OnLoop<&SetAlignment>,
     u"Set the alignment of the window.  Parameters:  alignemnt (array of 4 values), when (ms "
     u"from now), duration (in ms), mode (linear, linear_acccel, linear_decel, linear_bounce, "
     u"linear_smooth)"},
    {u"Enable", Switch(kCmdEnable, 0), &OnLoop<&TimedSwitch>,
     u"Enable this window to receive user input."},
    {u"Disable", Switch(kCmdEnable, 1), &OnLoop<&TimedSwitch>,
     u"Disable this window's ability to receive user input."},
    {u"Show", Switch(kCmdShow, 1), &OnLoop<&TimedSwitch>, u"Make this window visible."},
    {u"Hide", Switch(kCmdShow, 0), &OnLoop<&TimedSwitch>, u"Make this window hidden."},
    {u"SetZOrder", 0, &OnLoop<&SetZOrder>,
     u"Change this window's Z-Order (depth). possible args are: \"top\" \"bottom\" \"top-most\" "
     u"\"bottom-most\""},
    {u"StartSize", kCmdStartSize, &OnLoop<&StartLoop>,
     u"Start sizing this window. \nStartSize( sizetype, mousepoint, button )\nsizetype:    "
     u"(string) of the set { \"IH_LEFT\", \"IH_TOPLEFT\", \"IH_TOP\", \"IH_TOPRIGHT\", "
     u"\"IH_RIGHT\", \"IH_BOTTOMRIGHT\", \"IH_BOTTOM\", \"IH_BOTTOMLEFT\" }\nmousepoint:  "
     u"(array)  {x,y} giving pointer location to start the size.\nbutton:\t\t (string) of the "
     u"set { \"MBUTTON_LEFT\", \"MBUTTON_MIDDLE\", \"MBUTTON_RIGHT\" }"},
    {u"StartDrag", kCmdStartDrag, &OnLoop<&StartLoop>,
     u"Start draging this window. \nStartDrag( dragtype, mousepoint, button )\ndragtype:    "
     u"(string) of the set { \"IH_DRAG\", \"IH_DRAGX\", \"IH_DRAGY\" }\nmousepoint:  (array)  "
     u"{x,y} giving pointer location to start the drag.\nbutton:\t\t (string) of the set { "
     u"\"MBUTTON_LEFT\", \"MBUTTON_MIDDLE\", \"MBUTTON_RIGHT\" }"},
    {u"CreateWindow", 0, &OnLoop<&CreateWindowMethod>,
     u"Create a child window. \nCreateWindow( MML_Type, MML_Name, CreateName, Offset, "
     u"Alignment, Visible, Flags, ID, BelowParent, MMLFlags, CreateChildren, [FactoryID]  "
     u")\nMML_Type:       (string) type of <window>\nMML_Name:       (string) name of "
     u"<window>\nCreateName:     (string) name of child to create\nOffset:         (array)  "
     u"{left,top,right,bottom} : giving pixel offset location.\nAlignment:      (array)  "
     u"{left,top,right,bottom} : giving relative alignment.\nVisible:        (bool)   create "
     u"the window visible?\nFlags:          (int)    extra window flags; "
     u"default:\"0\"\nBelowParent:    (bool)   create the window below parent? default: "
     u"\"false\"\nMMLFlags:       (int)    mml create flags; default:\"0\"\nCreateChildren: "
     u"(bool)   create all descendants?\nFactoryID:\t\t(MID)    optional; if provided, dialog "
     u"source will be loaded from this factory, otherwise from the skin"},
    {u"MinimizeWindow", kCmdMinimize, &OnLoop<&HostSwitch>,
     u"Minimize top level window. \nMinimizeWindow( minimize )\nminimize:       (bool) "
     u"(1/\"true\")minimize or (0/\"false\")restore"},
    {u"SetAlwaysOntop", kCmdAlwaysOnTop, &OnLoop<&HostSwitch>,
     u"Set top level window \"Always On Top\"\nSetAlwaysOntop( ontop )\nontop:       (bool) "
     u"true or false"},
    {u"StartIntro", kNotifyIntro, &OnLoop<&StartIntroExtro>,
     u"Broadcast Intro event to all children\n"},
    {u"StartExtro", kNotifyExtro, &OnLoop<&StartIntroExtro>,
     u"Broadcast Extro event to all children\n"},
    {u"PostScript", 0, &OnLoop<&PostScript>,
     u"Execute a script after all pending GUI events have completed\n"},
    {u"GetAnimationDuration", 0, &OnLoop<&GetAnimationDuration>,
     u"Returns the system-wide number of milliseconds that animations (i.e. intro, extro) "
     u"should run for.\n"},
    {u"SetAngle", 1, &OnLoop<&SetTweened>,
     u"Sets the 'Angle' for a window, Angle aware elements of imagestyles will rotate"},
    {u"GetAngle", 1, &OnLoop<&GetTweened>, u"Gets the current 'Angle' for the window"},
    {u"SetAnimTime", 2, &OnLoop<&SetTweened>,
     u"Sets the 'AnimTime' for a window, Animation time aware elements of imagestyles will "
     u"animate"},
    {u"GetAnimTime", 2, &OnLoop<&GetTweened>, u"Gets the current 'AnimTime' for the window"},
    {u"SetZoom", 3, &OnLoop<&SetTweened>,
     u"Sets the 'Zoom' for a window, Zoom aware elements of imagestyles will 'zoom'"},
    {u"GetZoom", 3, &OnLoop<&GetTweened>, u"Gets the current 'Zoom' for the window"},
    {u"SetOpacity", 4, &OnLoop<&SetTweened>, u"Sets the 'Opacity' for a window"},
    {u"GetOpacity", 4, &OnLoop<&GetTweened>, u"Gets the current 'Opacity' for the window"},
    {u"GetHoverHint", 0, &OnLoop<&GetHoverHint>,
     u"Returns the hover hint text for this DUV window."},
    {u"SetHoverHint", 0, &OnLoop<&SetHoverHint>, u"Sets the hover hint text for this DUV window."},
};

}  // namespace

void RegisterWindowMethods(MScriptObject* script, MarkupWindow* window) {
  auto* registry =
      script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
  if (!registry) return;
  for (const Method& method : kMethods) {
    registry->AddFunction(TString(method.name), TString(method.help), false, method.handler, script,
                          reinterpret_cast<uintptr_t>(window), method.selector);
  }
}

}  // namespace vk2::markup
