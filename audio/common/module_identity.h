// Identity texts shared by every audio module.
#pragma once

namespace vk2 {

// "modulecopyright": the same text in every module.
inline constexpr char16_t kModuleCopyright[] = u"Copyright (C) the Velkora2 developers";

// Help texts of the identity and stream properties every module describes.
inline constexpr char16_t kHelpModuleName[] = u"the name of this audio component";
inline constexpr char16_t kHelpModuleDescription[] =
    u"the human readable name of this audio component";
inline constexpr char16_t kHelpModuleCopyright[] =
    u"the owner of the copyright of this audio component";
inline constexpr char16_t kHelpModuleVersion[] = u"the revision number of this audio component";
inline constexpr char16_t kHelpWarmupTime[] =
    u"the approximate amount of time that it takes this module to become ready to play from "
    u"being stopped";

}  // namespace vk2
