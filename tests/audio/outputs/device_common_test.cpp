// What both output devices share: names, the selected device, settings, scores.
#include <gtest/gtest.h>

#include "audio/common/format_record.h"
#include "audio/outputs/dsound/direct_sound_output.h"
#include "audio/outputs/waveout/wave_out_output.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "tests/audio/outputs/capture_devices.h"
#include "tests/fixtures/audio/memory_preferences.h"

namespace vk2 {
namespace {

class DeviceCommonTest : public ::testing::Test {
 protected:
  RefPtr<MOutputDevice> Make(bool waveOut) {
    auto factory =
        test::CaptureFactory(std::make_shared<ScaledClock>(50.0), {"Speakers", "HDMI", "Speakers"});
    MOutputDevice* d = waveOut ? static_cast<MOutputDevice*>(new WaveOutOutput(factory))
                               : static_cast<MOutputDevice*>(new DirectSoundOutput(factory));
    return RefPtr<MOutputDevice>(d);
  }
};

TEST_F(DeviceCommonTest, NamesFollowTheDescriptionsWithNumbersForTwins) {
  for (bool waveOut : {false, true}) {
    RefPtr<MOutputDevice> d = Make(waveOut);
    int32_t count = 0;
    ASSERT_EQ(d->GetInteger(u"numoutputdevices", &count), 0);
    ASSERT_EQ(count, 4);
    struct Case {
      const char16_t* property;
      const char16_t* name;
    };
    const Case cases[] = {{u"outputdevice0", u"Capture"},
                          {u"outputdevice1", u"Speakers1"},
                          {u"outputdevice2", u"HDMI"},
                          {u"OutputDevice3", u"Speakers2"},
                          {u"outputdevice0x2", u"HDMI"},
                          {u"outputdevice03", u"Speakers2"},
                          {u"outputdevice1trailing", u"Speakers1"}};
    for (const Case& c : cases) {
      TString name;
      ASSERT_EQ(d->GetString(c.property, &name), 0) << Utf8(TString(c.property)).c_str();
      EXPECT_TRUE(name.Equals(c.name)) << Utf8(name).c_str();
    }
    TString name;
    for (const char16_t* missing :
         {u"outputdevice", u"outputdevice4", u"outputdevice-1", u"outputdevicex"}) {
      EXPECT_EQ(d->GetString(missing, &name), kErrNotFound) << Utf8(TString(missing)).c_str();
    }
    EXPECT_EQ(d->GetString(u"curoutputdevice", &name), 0);
    EXPECT_TRUE(name.Equals(u"Capture"));
    PropertyDescriptionList list;
    ASSERT_EQ(d->Describe(&list), 0);
    const std::pair<const char16_t*, uint32_t> expected[] = {
        {u"modulename", 49},     {u"moduledescription", 49}, {u"modulecopyright", 49},
        {u"moduleversion", 51},  {u"numoutputdevices", 34},  {u"outputdevice0", 33},
        {u"outputdevice1", 33},  {u"outputdevice2", 33},     {u"outputdevice3", 33},
        {u"curoutputdevice", 65}};
    ASSERT_EQ(list.Count(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
      EXPECT_TRUE(list.At(i).name.Equals(expected[i].first)) << i;
      EXPECT_EQ(list.At(i).flags, expected[i].second) << i;
    }
  }
}

TEST_F(DeviceCommonTest, SelectingADeviceAndItsSetting) {
  for (bool waveOut : {false, true}) {
    RefPtr<MOutputDevice> d = Make(waveOut);
    EXPECT_EQ(d->SetString(u"curoutputdevice", u"Nowhere"), -21);
    EXPECT_EQ(d->SetString(u"curoutputdevice", u"Speakers2"), 0);
    RefPtr<MPreferenceStore> saved = test::MakeMemoryPreferences();
    ASSERT_EQ(d->SaveSettings(saved.Get()), 0);
    TString stored;
    ASSERT_EQ(saved->GetString(u"curoutputdevice", &stored), 0);
    EXPECT_TRUE(stored.Equals(u"Speakers2"));
    // A stored device that has gone is kept as the setting.
    RefPtr<MPreferenceStore> gone = test::MakeMemoryPreferences();
    gone->SetString(u"curoutputdevice", u"USB Headset");
    ASSERT_EQ(d->LoadSettings(gone.Get()), 0);
    TString name;
    ASSERT_EQ(d->GetString(u"curoutputdevice", &name), 0);
    EXPECT_TRUE(name.Equals(u"USB Headset"));
    // Missing from the store: the current name goes in.
    RefPtr<MPreferenceStore> empty = test::MakeMemoryPreferences();
    ASSERT_EQ(d->LoadSettings(empty.Get()), 0);
    ASSERT_EQ(empty->GetString(u"curoutputdevice", &stored), 0);
    EXPECT_TRUE(stored.Equals(u"USB Headset"));
  }
}

TEST_F(DeviceCommonTest, ScoresInterfaceAndIdentity) {
  for (bool waveOut : {false, true}) {
    RefPtr<MOutputDevice> d = Make(waveOut);
    EXPECT_EQ(d->FormatScore(MakePcmFormat(44100, 2, 16).Get()), 705616u);
    EXPECT_EQ(d->FormatScore(MakePcmFormat(48000, 2, 16).Get()), 768016u);
    EXPECT_EQ(d->FormatScore(MakePcmFormat(44100, 2, 32, true).Get()), 1411232u);
    // Any type scores alike; only PCM opens.
    auto bytes = MakeByteStreamFormat();
    EXPECT_EQ(d->FormatScore(bytes.Get()), (bytes->sampleRate + 1) * bytes->bitsPerSample);
    void* p = nullptr;
    EXPECT_EQ(d->QueryInterface(kIID_AudioEndpoint, &p, 1, 0), 0);
    EXPECT_EQ(p, static_cast<void*>(d.Get()));
    d->Release();
    EXPECT_EQ(d->QueryInterface(kIID_MModuleProperties, &p, 1, 0), kErrNoInterface);
    TString name;
    EXPECT_EQ(d->GetString(u"modulename", &name), 0);
    EXPECT_TRUE(name.Equals(waveOut ? u"waveOutOutput" : u"DirectSoundOutput"));
    double version = 0;
    EXPECT_EQ(d->GetNumber(u"moduleversion", &version), 0);
    EXPECT_EQ(version, 1.0);
    EXPECT_NE(d->FormatDiffers(MakeByteStreamFormat().Get()), 0);
    EXPECT_EQ(d->CanOpen(MakeByteStreamFormat().Get()), 0);
    EXPECT_FALSE(d->Open(MakeByteStreamFormat().Get(), 1.0));
  }
}

}  // namespace
}  // namespace vk2
