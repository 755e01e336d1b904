// Help texts of the endpoint properties, the same for the generic endpoint and the device-less
// endpoint node.
#pragma once

namespace vk2 {

inline constexpr char16_t kHelpBufferLength[] =
    u"the time in seconds of audio data that fits in the buffer";
inline constexpr char16_t kHelpRealtimePriority[] =
    u"boolean option; if true, the audio playback thread will run at realtime priority";
inline constexpr char16_t kHelpChannels[] = u"the number of channels in the current audio format";
inline constexpr char16_t kHelpSampleRate[] = u"the sample rate of the current audio format";
inline constexpr char16_t kHelpBufferSize[] =
    u"the size in bytes of the audio buffer currently being used - available only during "
    u"playback";
inline constexpr char16_t kHelpBufferLevel[] =
    u"the proportion of the audio buffer that is currently filled - available only during "
    u"playback";
inline constexpr char16_t kHelpMaxBufferLag[] =
    u"the largest proportion of the audio buffer that has become empty during this playback "
    u"session - available only during playback";
inline constexpr char16_t kHelpThroughTime[] =
    u"the length of audio data that has been output by the output module so far - available "
    u"only during playback";
inline constexpr char16_t kHelpThroughBytes[] =
    u"the amount of audio data that has been output by the output module so far - available "
    u"only during playback";
inline constexpr char16_t kHelpStreamTime[] =
    u"the time in the currently decoded file that is currently being heard - available only "
    u"during playback";
inline constexpr char16_t kHelpCurrentStreamId[] =
    u"the stream ID of the data that is currently being heard - available only during playback";

}  // namespace vk2
