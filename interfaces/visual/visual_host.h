// The visualisation host's contracts: the handler that knows every loaded visual (MVisualHost),
// handles on one visual (MVisual, MVisualRenderer), the shared audio history the visuals read
// (MVisualAudioHistory) and post effects (MVisualPostEffect). Served by the class
// kVisualHandlerClass of the vk2_visual module.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/graphics/surface.h"
#include "interfaces/unknown.h"
#include "interfaces/visual/visual_plugin.h"

namespace vk2 {

class MPlayer;
class MPreferenceStore;

// Per chain (keyed by the chain id the tap was given): the recent audio as planar signed 8-bit
// samples, indexed by byte positions of the incoming stream.
class MVisualAudioHistory : public MUnknown {
 public:
  virtual void SetFormat(uint32_t key, uint32_t channels, uint32_t rate, uint32_t bits,
                         bool isFloat) = 0;
  virtual bool GetFormat(uint32_t key, uint32_t* channels, uint32_t* rate, uint32_t* bits,
                         bool* isFloat) = 0;
  virtual void Append(uint32_t key, const uint8_t* bytes, uint32_t count) = 0;
  virtual void Trim(uint32_t key, int64_t position) = 0;
  // Start positions of the oldest and newest stored packet; false for an unknown key or a
  // chain without packets.
  virtual bool Range(uint32_t key, int64_t* oldest, int64_t* newest) = 0;
  // The 512 frames before the heard `position`, when their window starts beyond `after`;
  // the number of records written (0 or 1).
  virtual int32_t Fetch(uint32_t key, int64_t after, int64_t position, uint32_t flags,
                        VisualAudioRecord* record) = 0;
  // `count` raw samples of one channel from `position` on; 0 or a VisualHistoryRead code.
  virtual int32_t Read(uint32_t key, uint32_t channel, int64_t position, uint32_t count,
                       int8_t* destination) = 0;
  virtual void Clear() = 0;

 protected:
  ~MVisualAudioHistory() = default;
};

// Read's failures.
enum VisualHistoryRead : int32_t {
  kHistoryUnknownChain = -2,
  kHistoryNoDestination = -3,
  kHistoryNoSuchChannel = -4,
  kHistoryOutsidePackets = -5,
  kHistoryEndedEarly = -6,
};

// A post effect: module properties ("fade", "blur", "smoke", "zoom", ...), the settings they
// keep in a preference section, and the work itself over a finished visual image.
class MVisualPostEffect : public MModuleProperties {
 public:
  // True when the image was changed.
  virtual bool Apply(const SurfaceView* image) = 0;

 protected:
  ~MVisualPostEffect() = default;
};

// One item of a post-effect list as a visual window keeps it.
struct VisualPostEffectItem {
  Guid classId;
  MVisualPostEffect* effect;  // not counted: the list's owner holds it
};

// Attach modes.
inline constexpr int32_t kVisualDetached = 0;
inline constexpr int32_t kVisualDrawMode = 1;

class MVisualRenderer : public MUnknown {
 public:
  // Draws the visual into `target` over [x0, x1) x [y0, y1), running `effects` over the
  // visual's image first (where the visual allows it). The frame count, or -1 when the handle
  // is not attached for drawing.
  virtual int32_t Render(const SurfaceView* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                         const VisualPostEffectItem* effects, uint32_t effectCount) = 0;

 protected:
  ~MVisualRenderer() = default;
};

class MVisual : public MUnknown {
 public:
  // True when attached for `mode`; mode 0 (or a refused mode) detaches and answers false.
  virtual bool Attach(MPlayer* player, int32_t mode) = 0;
  virtual int32_t GetName(TString* name) = 0;
  virtual int32_t GetAuthor(TString* author) = 0;
  virtual double GetVersion() = 0;
  virtual uint32_t GetPluginWord() = 0;
  virtual uint32_t GetId() = 0;
  virtual int32_t GetProperty(const char16_t* name, TString* value) = 0;  // none: -5
  virtual bool NeedsRedraw() = 0;
  virtual uint8_t GetAttribute(int32_t index) = 0;
  // With a reference, when attached for drawing; else null.
  virtual MVisualRenderer* GetRenderer() = 0;
  virtual int32_t MarkFailed() = 0;

 protected:
  ~MVisual() = default;
};

// Told when the runtime's class registry changes (post-effect classes may have come or gone).
class MVisualHostListener {
 public:
  virtual void OnVisualClassesChanged() = 0;

 protected:
  ~MVisualHostListener() = default;
};

class MVisualHost : public MUnknown {
 public:
  virtual uint32_t GetCount() = 0;
  // 0 asks for the first (next) or last (previous) entry; 0 answers "none".
  virtual uint32_t GetNextId(uint32_t id) = 0;
  virtual uint32_t GetPrevId(uint32_t id) = 0;
  virtual uint8_t GetAttribute(uint32_t id, int32_t index) = 0;
  virtual int32_t GetVisualById(uint32_t id, MVisual** out) = 0;
  virtual int32_t GetVisualByName(const char16_t* name, MVisual** out) = 0;
  // Every file matching the pattern (folder/name with wildcards), searched recursively.
  virtual int32_t AddFiles(const char16_t* pattern) = 0;
  // "*.vvp" under the section's "visuals_path".
  virtual int32_t ScanVisualsPath(MPreferenceStore* section) = 0;
  virtual int32_t RemoveVisual(uint32_t id) = 0;
  virtual int32_t RemoveVisualFile(const char16_t* path) = 0;
  virtual int32_t PurgeUnused() = 0;
  // No reference added.
  virtual int32_t GetAudioHistory(MVisualAudioHistory** out) = 0;
  // Steps through the post-effect classes: a null `*effect` starts, the last one ends with null.
  virtual int32_t NextPostEffect(MVisualPostEffect** effect, Guid* classId) = 0;
  virtual int32_t AddRemoveListener(MVisualHostListener* listener, int32_t add) = 0;
  virtual int32_t Purge(int32_t force) = 0;

 protected:
  ~MVisualHost() = default;
};

}  // namespace vk2
