// Every identifier of the system, once. Each area keeps its own section.
#pragma once

#include "foundation/util/guid.h"

namespace vk2 {

// ---- Component runtime ---------------------------------------------------------------------
inline constexpr Guid kRuntimeRootClass = MakeGuid("50145CDE-CEA8-4041-B07E-337FAF511BFC");
inline constexpr Guid kServiceClass = MakeGuid("CFB93C1F-F177-47E0-ADCB-B52FBF9668BC");
inline constexpr Guid kImageServiceClass = MakeGuid("7EFBBB1B-B142-45A9-9600-D42B0C212DE9");
inline constexpr Guid kNetworkClass = MakeGuid("4767B689-3EC8-43D4-A1F8-F66618D1FF11");

inline constexpr Guid kIID_MRegistrar = MakeGuid("F316B898-717E-451E-8518-79714110B00F");
inline constexpr Guid kIID_MErrorRegistry = MakeGuid("69C40EFD-1EBF-477D-8E13-C6BEF8B406F7");
inline constexpr Guid kIID_MClassEnumerator = MakeGuid("45AC0C05-34E2-4F52-90DF-2DB2C28608FA");
inline constexpr Guid kIID_MBaseObject = MakeGuid("5A7F3DEB-6D89-4645-9A56-704421EE3E89");
inline constexpr Guid kIID_MPreferenceStore = MakeGuid("62A288C1-1596-4277-8418-C8A567A72D3E");
inline constexpr Guid kIID_MConsole = MakeGuid("780383AD-6547-4A87-AA24-AAC6D2AC1CBA");
inline constexpr Guid kIID_MResourceFile = MakeGuid("65BCBEC5-78A5-43DC-B674-D3DEBF5584E8");
inline constexpr Guid kIID_MPrefsDialogRegistry = MakeGuid("AE0C3DD0-018A-40A4-A244-D9E0B7B53835");
inline constexpr Guid kIID_MIniFile = MakeGuid("A74F5ECF-5204-44BB-8F3D-FE2ECD73CA3A");
inline constexpr Guid kIID_MXmlDocument = MakeGuid("A111ECF7-22DE-4109-A0B0-F1C12F6B97B4");
inline constexpr Guid kIID_MLanguageService = MakeGuid("5D8CDFDA-6CEA-4CC3-8457-B3E97FC9DF9E");
inline constexpr Guid kIID_MImageService = MakeGuid("4F9C1A15-0B51-4708-B8B3-17B412AB5E40");
inline constexpr Guid kIID_MNetwork = MakeGuid("9BD9CE83-1A26-4C55-89C4-5EF514511890");
inline constexpr Guid kIID_MXmlNode = MakeGuid("F8757CD6-738E-458B-8847-6F37E0C50483");
inline constexpr Guid kIID_MTextDomain = MakeGuid("1EC8921C-5BE5-405E-A770-424B79CA751E");
inline constexpr Guid kIID_MResourceStream = MakeGuid("68D14EE2-5F88-49BD-9B32-F2BF7D5C1E83");

}  // namespace vk2
