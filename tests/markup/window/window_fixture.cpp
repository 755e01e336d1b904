#include "tests/markup/window/window_fixture.h"

#include <mutex>
#include <new>

#include "component/object/com_object.h"
#include "component/object/query.h"
#include "interfaces/ids.h"
#include "markup/parse/value_parsers.h"
#include "oru/core/base_object.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "oru/gui/brint_class.h"
#include "oru/gui/host/host_window_object.h"
#include "script/object/script_data_object.h"
#include "script/runtime/script_module.h"

namespace vk2::test {
namespace {

constexpr uint64_t kNormalBlend = 0x1000001000Full | kBlendOpacity;

gui::GuiLoop* gLoop = nullptr;
std::mutex gConsoleMutex;
std::string gScriptConsole;

class RecordingConsole final : public ScriptConsole {
 public:
  void Write(int32_t, const TString& text) override {
    std::lock_guard lock(gConsoleMutex);
    gScriptConsole += Narrow(text);
  }
  void SetDiskLogging(bool) override {}
};

// A test image style: fills its rectangle with one colour for the states it has.
class FillStyle final : public ComObject<FillStyle, SilentFace<MImageStyleDrawing>> {
 public:
  FillStyle(uint32_t color, uint32_t states, bool leftHalf)
      : color_(color), states_(states), leftHalf_(leftHalf) {}
  int32_t Draw(const RectI& rect, MCanvas* canvas, uint32_t stateMask, double opacity,
               const VisualParameters&) override {
    if (!(stateMask & states_) || opacity <= 0.0) return 0;
    const int32_t right = leftHalf_ ? rect.left + rect.Width() / 2 : rect.right;
    const RectF area{static_cast<double>(rect.left), static_cast<double>(rect.top),
                     static_cast<double>(right), static_cast<double>(rect.bottom)};
    canvas->FillRect(area, color_, kNormalBlend, static_cast<int32_t>(opacity * 256.0), false);
    return 1;
  }
  int32_t CountStyles(uint32_t stateMask) override { return (stateMask & states_) ? 1 : 0; }

 private:
  ~FillStyle() override = default;
  uint32_t color_;
  uint32_t states_;
  bool leftHalf_;
};

RefPtr<MImageStyleDrawing> ReadFillStyle(const markup::Element& element,
                                         markup::InterfaceDefinition*) {
  uint32_t color = 0;
  if (markup::ParseColor(element.Attribute(u"fill").view(), &color, &element, nullptr) <= 0)
    return nullptr;
  uint64_t states = markup::ParseStateAttribute(element);
  return MakeFillStyle(color, static_cast<uint32_t>(states));
}

Guid gServedClass{};
RefPtr<MUnknown> gServed;

int32_t CreateInProcess(const Guid& classId, const Guid& iid, void** out, MUnknown* outer) {
  if (gServed && classId == gServedClass) return gServed->QueryInterface(iid, out, 1, 0);
  if (classId == kRuntimeRootClass && iid == kIID_MBaseObject)
    return oru::BaseObject::Create(outer, out);
  if (classId == kBrintClass) return gui::CreateBrintObject(iid, out, outer);
  return kErrNoInterface;
}

int32_t CreateHostInProcess(MHostWindow** out) {
  RefPtr<gui::HostWindowObject> host;
  const int32_t r = gui::HostWindowObject::Create(gLoop, &host);
  if (r == 0) *out = host.Detach();
  return r;
}

int32_t CanvasInProcess(const SurfaceView& view, MCanvas** out) {
  RefPtr<MCanvas> canvas;
  const int32_t r = gfx::CreateCanvasOnView(view, &canvas);
  if (r == 0) *out = canvas.Detach();
  return r;
}

}  // namespace

void ServeTestClass(const Guid& classId, MUnknown* object) {
  gServedClass = classId;
  gServed = RefPtr<MUnknown>(object);
}

RefPtr<MImageStyleDrawing> MakeFillStyle(uint32_t color, uint32_t states, bool leftHalf) {
  return RefPtr<MImageStyleDrawing>(new FillStyle(color, states, leftHalf));
}

std::string ScriptValueText(MScriptObject* value) {
  if (!value) return "<null>";
  ScriptDataObject* data = ScriptDataObject::From(value);
  if (!data) return "<object>";
  if (data->Count() == 0) return Narrow(data->Text());
  std::string out = "{";
  for (uint32_t i = 0; i < data->Count(); ++i) {
    if (i) out += ", ";
    TString name;
    data->MemberAt(i)->GetName(&name);
    if (!name.IsEmpty()) out += Narrow(name) + ": ";
    out += ScriptValueText(data->MemberAt(i));
  }
  return out + "}";
}

MarkupWindowTest::MarkupWindowTest() {
  ScriptModuleConfig config;
  config.console = std::make_shared<RecordingConsole>();
  config.uidSeed = 0x100;
  config.timerWorker = false;
  ScriptModule::Configure(config);
  ScriptModule::Engine();

  auto backend = std::make_unique<gui::HeadlessBackend>();
  backend_ = backend.get();
  loop_ = std::make_unique<gui::GuiLoop>(std::move(backend));
  gLoop = loop_.get();

  markup::MarkupServices services = markup::CurrentMarkupServices();
  services.createInstance = &CreateInProcess;
  services.createHost = &CreateHostInProcess;
  services.makeCanvas = &CanvasInProcess;
  saved_ = markup::InstallMarkupServices(services);
  markup::StyleReaders readers;
  readers.imageStyle = &ReadFillStyle;
  savedReaders_ = markup::InstallStyleReaders(readers);
  ClearConsole();
}

MarkupWindowTest::~MarkupWindowTest() {
  for (gui::HostWindowObject* host : std::vector<gui::HostWindowObject*>(loop_->Hosts()))
    host->Close();
  loop_->RunPending();
  duv_ = LoadedDuv();
  loop_.reset();
  gLoop = nullptr;
  ServeTestClass(Guid{}, nullptr);
  markup::InstallStyleReaders(savedReaders_);
  markup::InstallMarkupServices(saved_);
  ScriptModule::Shutdown();
  ScriptModule::Configure(ScriptModuleConfig{});
}

markup::InterfaceDefinition* MarkupWindowTest::Load(const std::string& body,
                                                    std::map<std::string, std::string> files) {
  duv_ = LoadDuv(Duv(body), u"english", nullptr, std::move(files));
  EXPECT_EQ(duv_.result, 0) << duv_.error;
  auto definition = duv_.Definition();
  return definition.Get();
}

RefPtr<MWindowElement> MarkupWindowTest::Create(const char16_t* name) {
  auto definition = duv_.Definition();
  if (!definition) return nullptr;
  MWindowElement* window = nullptr;
  const int32_t r = definition->CreateWindowByName(kGenericWindowClass, name, nullptr, &window);
  EXPECT_GE(r, 0);
  Turn();
  return RefPtr<MWindowElement>::Adopt(window);
}

MScriptObject* MarkupWindowTest::ScriptOf(MWindowElement* window) {
  return QueryBorrowed<MScriptObject>(window, kIID_MScriptObject);
}

std::string MarkupWindowTest::Run(MWindowElement* window, const std::string& script,
                                  int32_t* status) {
  RefPtr<MScriptObject> result;
  const int32_t r =
      ScriptModule::Engine()->Run(Utf16(script), result.Put(), ScriptOf(window), nullptr, nullptr);
  if (status) *status = r;
  return ScriptValueText(result.Get());
}

std::string MarkupWindowTest::Member(MWindowElement* window, const char16_t* name) {
  RefPtr<MScriptObject> member;
  if (!ScriptOf(window)->FindMember(TString(name), member.Put(), false) || !member) return "<none>";
  return ScriptValueText(member.Get());
}

uint32_t MarkupWindowTest::BackendIdOf(MWindowElement* window) {
  MHostWindow* host = nullptr;
  window->GetValue(kValueHost, &host, sizeof host);
  return host ? static_cast<gui::HostWindowObject*>(host)->BackendWindow() : 0;
}

gui::HeadlessWindow MarkupWindowTest::BackendWindowOf(MWindowElement* window) {
  const uint32_t id = BackendIdOf(window);
  return id ? backend_->Window(id) : gui::HeadlessWindow{};
}

void MarkupWindowTest::Step(uint64_t ms) {
  clock_.Advance(ms);
  loop_->RunPending();
}

std::string MarkupWindowTest::ConsoleText() {
  std::lock_guard lock(gConsoleMutex);
  return gScriptConsole;
}

void MarkupWindowTest::ClearConsole() {
  std::lock_guard lock(gConsoleMutex);
  gScriptConsole.clear();
}

}  // namespace vk2::test
