// Every identifier of the system, once. Each area keeps its own section.
#pragma once

#include "foundation/util/guid.h"

namespace vk2 {

// ---- Component runtime ---------------------------------------------------------------------
inline constexpr Guid kRuntimeRootClass = MakeGuid("50145CDE-CEA8-4041-B07E-337FAF511BFC");
inline constexpr Guid kServiceClass = MakeGuid("CFB93C1F-F177-47E0-ADCB-B52FBF9668BC");
inline constexpr Guid kImageServiceClass = MakeGuid("7EFBBB1B-B142-45A9-9600-D42B0C212DE9");

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
inline constexpr Guid kIID_MXmlNode = MakeGuid("F8757CD6-738E-458B-8847-6F37E0C50483");
inline constexpr Guid kIID_MTextDomain = MakeGuid("1EC8921C-5BE5-405E-A770-424B79CA751E");
inline constexpr Guid kIID_MResourceStream = MakeGuid("68D14EE2-5F88-49BD-9B32-F2BF7D5C1E83");

// ---- Audio engine ------------------------------------------------------------------------------
// Data kinds of audio format records.
inline constexpr Guid kFormatPcm = MakeGuid("4A6092D5-E508-467B-9537-3E067C7C30DA");
inline constexpr Guid kFormatByteStream = MakeGuid("913BD758-24D2-4AAA-8940-A150BBA05ADC");

inline constexpr Guid kIID_MAudioModule = MakeGuid("E9779F92-5976-4DBA-84E8-4A78DAB08C9D");
inline constexpr Guid kIID_AudioEndpoint = MakeGuid("C5589E76-35EE-4253-96C8-D493BAE60A24");
inline constexpr Guid kIID_MCallbackRegistry = MakeGuid("009ECF12-6EA3-479A-833D-D3AC3CBD2762");
inline constexpr Guid kIID_MTimeNotifications = MakeGuid("56063664-DFE2-4A78-A449-467DFEFBDFC5");
inline constexpr Guid kIID_MVolumeControl = MakeGuid("7658A9F6-C3DE-45F4-9AB7-A5EC110139E3");
inline constexpr Guid kIID_MModuleInfo = MakeGuid("A191EDE4-A273-4B1F-9EEF-4415AB1E37A0");
inline constexpr Guid kIID_MModuleProperties = MakeGuid("BFF68F24-8D1E-4B99-85C3-E9A649B8F982");
inline constexpr Guid kIID_MPacketPool = MakeGuid("18366D2B-474A-4284-845C-77752BB59EC9");
inline constexpr Guid kIID_MMediaChain = MakeGuid("405965D2-A8F7-4316-AA24-DD83463AC6D1");
inline constexpr Guid kIID_MAudioSystem = MakeGuid("97B66169-2421-4189-B853-75F9E283CDA1");
inline constexpr Guid kIID_MStreamReader = MakeGuid("53AC8900-4504-4943-8F79-18FDBD05CB5C");
inline constexpr Guid kIID_MMediaTypes = MakeGuid("54F6EAFB-7103-437A-90D1-1300F840B240");
inline constexpr Guid kIID_MPrefsDialogProvider = MakeGuid("835A0467-AF13-4AE9-88D9-853EC6489BC2");

// The audio system: its class object also makes the chain nodes, asked for by these ids.
inline constexpr Guid kAudioSystemClass = MakeGuid("56C9F896-6289-4C9A-A2B9-1C692B9BB879");
inline constexpr Guid kOutputNodeClass = MakeGuid("73FE4475-FFA1-46D0-AEE9-4F02CAF43FB3");
inline constexpr Guid kEndpointNodeClass = MakeGuid("84F1B2A1-2AC3-43A0-8384-70B780CEADC8");
// The output node's main interface answers under its class id.
inline constexpr Guid kIID_MOutputNode = kOutputNodeClass;
inline constexpr Guid kGenericOutputClass = MakeGuid("EA7E7CC7-37BF-472F-BD07-ED92C73CBAAB");

// Categories through which the audio system finds chain modules.
inline constexpr Guid kCategoryDecoders = MakeGuid("343BE74A-40DD-4AD3-8EB4-20BF53E3EBF6");
inline constexpr Guid kCategoryDspFilters = MakeGuid("F7C5C697-E083-4680-9A59-0C4D0144BCAE");
inline constexpr Guid kCategoryStreamReaders = MakeGuid("01990F1A-9578-464E-991B-3C3E6E6D71FE");
inline constexpr Guid kCategoryOutputDevices = MakeGuid("A1A10FE3-8C35-4F8A-A1B5-FF8C7FC2AC65");

// ---- Script language and its module (tessel) -----------------------------------------------
inline constexpr Guid kMmlModuleClass = MakeGuid("5D24FC4D-FB2F-4783-9D75-0B034132082E");
inline constexpr Guid kGenericWindowClass = MakeGuid("4B87D871-D052-4C83-82A3-9B5C8C00BA77");
inline constexpr Guid kButtonClass = MakeGuid("A4119600-7C74-4901-A85A-96D5A00B33D5");
inline constexpr Guid kSpinButtonClass = MakeGuid("522AC6BE-62A8-4057-ABD0-02C36BC2A126");
inline constexpr Guid kTextDisplayClass = MakeGuid("ACB7B445-50C6-45CF-9F8C-F1F4F9081F2F");
inline constexpr Guid kFillBarClass = MakeGuid("E887D2A9-E6C5-4C82-925B-E06E32D47D56");
inline constexpr Guid kPickerClass = MakeGuid("56DC113F-C282-4B61-8A93-6F83E5E354CD");
inline constexpr Guid kSelectionListClass = MakeGuid("DB6733F4-E3ED-4F70-ADAB-71F295AF8948");
inline constexpr Guid kDlgCheckBoxClass = MakeGuid("5164A582-D729-4988-B12C-543BEAD2FEDF");
inline constexpr Guid kEditBoxClass = MakeGuid("67F083C7-1B94-4EA3-AE67-3DE082959880");

inline constexpr Guid kIID_MScriptEngine = MakeGuid("9BE62AB4-0A61-4B6A-9882-D9F7BE58887F");
inline constexpr Guid kIID_ScriptDataEntity = MakeGuid("25D3340A-9B50-4FDC-9F8D-D069767B81D3");
inline constexpr Guid kIID_MScriptMemberRegistry = MakeGuid("2DD0D5E3-8BC5-441D-BF08-5F52D40C9FE4");
inline constexpr Guid kIID_MScriptObjectInner = MakeGuid("7C52C80E-4B18-4662-AC1F-DEA529264E97");
inline constexpr Guid kIID_MScriptObject = MakeGuid("5BBF897A-3311-4F5A-BF4B-110B75E7B1D4");
inline constexpr Guid kIID_NativeFunction = MakeGuid("C53BE729-1543-4D6B-BB44-A76B097E4802");
// Inside tessel only: InternalQueryInterface hands out the implementation behind an interface.
inline constexpr Guid kIID_ScriptNodeImpl = MakeGuid("0E4C7A52-3B1D-4F6E-9A27-5C8D1F0B6E43");
inline constexpr Guid kIID_ScriptDataImpl = MakeGuid("7A1F3C90-5D2E-4B8A-8C61-2E9F4D7B1A05");

// Served by tessel's main factory for the interface markup engine.
inline constexpr Guid kIID_MInterfaceLoader = MakeGuid("190917E6-4FA5-4751-9FD5-786326BAD9BE");
inline constexpr Guid kIID_MMarkupUtility = MakeGuid("312C33E4-C289-42A2-B634-77241CE25971");
inline constexpr Guid kIID_MFontObject = MakeGuid("373CFFB9-89E4-445C-9648-582CB5EF89C2");
inline constexpr Guid kScrollBarClass = MakeGuid("35104D7F-7E49-4CE7-9658-D2DB971A4957");
inline constexpr Guid kScrollBarAltClass = MakeGuid("AE8A10C5-5AF2-433F-9460-A56E107DDF60");
inline constexpr Guid kScrollBarStyleClass = MakeGuid("DB3A6D98-4BF9-4B9D-BD86-DDBA3AA1917A");
inline constexpr Guid kIID_MWidgetType = MakeGuid("C97A93E6-761F-4717-B7F0-219502ACF4B5");

// ---- Local playback: file reader, WAVE and Ogg Vorbis decoders, output devices ---------------
inline constexpr Guid kFileReaderClass = MakeGuid("2BF9497E-9238-4B96-B7D7-725ACD6E39DD");
inline constexpr Guid kIID_MFileReader = MakeGuid("D8865318-F230-45A0-858F-4BE297D023DB");
inline constexpr Guid kWavDecoderClass = MakeGuid("85D3889F-B76C-4088-9A5F-A86D4CC5BF0B");
inline constexpr Guid kIID_MWavDecoder = MakeGuid("D90DE1EA-775D-454F-81F7-2F2BBBF478A8");
inline constexpr Guid kOggDecoderClass = MakeGuid("93F18778-DA6E-4641-A36F-D766F9784CE8");
inline constexpr Guid kIID_MOggDecoder = MakeGuid("812BFBAD-EF71-4572-B498-7AEE04C831B9");
inline constexpr Guid kDirectSoundOutputClass = MakeGuid("94CCB337-B143-4834-A22F-5A100F550F2A");
inline constexpr Guid kIID_MDirectSoundOutput = MakeGuid("72DB7D9D-3174-4A9C-92CB-7E74A4DD7EDF");
inline constexpr Guid kWaveOutOutputClass = MakeGuid("BE905AEB-B5A3-4EA2-89B0-4F0A0E3BB7AB");
// The waveOut library's own interface id: its class factory hands out endpoints under it.
inline constexpr Guid kIID_WaveOutEndpointFactory =
    MakeGuid("32039E80-90ED-446E-9F31-53D50BAC2C48");

// ---- MPEG audio decoder module -------------------------------------------------------------
inline constexpr Guid kMpegDecoderClass = MakeGuid("EE1824B0-776A-47A2-A793-5EA4D5D4CA4A");
inline constexpr Guid kIID_MMpegDecoder = MakeGuid("75BDA973-9DE6-42D0-BA88-815FEBAB4410");

// ---- Media core ----------------------------------------------------------------------------
inline constexpr Guid kMediaCoreClass = MakeGuid("B5AD3526-F51F-46CD-8E13-4E096F899DF7");
// Asked of the module class for the module's one item id source.
inline constexpr Guid kIID_SharedCounter = MakeGuid("D54F9987-6D51-473F-B8EB-CB1D59BE1EC3");

// ---- Media core: playlist control ----------------------------------------------------------
inline constexpr Guid kIID_MPlaylist = MakeGuid("BB64E2AF-9A3A-4A1D-BDE5-62D6CB827990");
// The playlist object's own face (MPlaylistControl): the total-play-time worker.
inline constexpr Guid kIID_PlaylistControl = MakeGuid("18B65870-C627-418C-A473-8849738B18B1");

// ---- Media core: media system --------------------------------------------------------------
inline constexpr Guid kIID_MMediaSystem = MakeGuid("491DBCBD-89E7-4244-A77D-E3E8E8F71249");
// The visualisation host's tap, put into every chain built for playback when the class exists.
inline constexpr Guid kVisualHandlerClass = MakeGuid("10B82A0E-1B28-4F4E-AF53-145248A73AB5");
inline constexpr Guid kIID_MVisualEndpoint = MakeGuid("F7D3B00B-C2D6-4CAF-99AA-A5242037A5CA");

// ---- Media core: players -------------------------------------------------------------------
inline constexpr Guid kIID_MPlayer = MakeGuid("363E9BBF-1111-4481-B4EF-187F643B5EFC");
inline constexpr Guid kIID_MPlayerEvents = MakeGuid("7C1B48F8-A84F-4866-A39A-56CA941BE5AB");
// Effect filters' settings objects, one per player, found through this category.
inline constexpr Guid kCategoryControlObjects = MakeGuid("D13270EF-2FAA-4A01-9EE6-5391F9B641C2");
inline constexpr Guid kIID_MControlObject = MakeGuid("619AEA1C-44A6-4558-AC4D-44819711803A");

// ---- Media core: core object, registry, managers, loaders, module ---------------------------
inline constexpr Guid kIID_MCore = MakeGuid("BCD1805D-9B35-44A1-9636-4C310E01589D");
inline constexpr Guid kIID_MRemoteCore = MakeGuid("76F8F148-0F2D-46F0-8AA9-896ABDE58B04");
inline constexpr Guid kIID_MMediaCoreNotify = MakeGuid("61E94119-0145-4945-BE08-3A8A3B2CE759");
inline constexpr Guid kPlsLoaderClass = MakeGuid("93908C99-38D8-4F9F-BA17-B864671C8753");
inline constexpr Guid kM3uLoaderClass = MakeGuid("0B1FC198-4D79-4BD7-ADC0-0B129465EC13");
inline constexpr Guid kXplLoaderClass = MakeGuid("72C4FF21-B1DD-43DE-A949-558AC8F46813");
inline constexpr Guid kCategoryPlaylistLoaders = MakeGuid("F8C77DA3-A8F1-4D5B-8E98-ADF0B262FA06");
inline constexpr Guid kIID_MPlaylistLoader = MakeGuid("3D0750BA-489D-4D8A-A942-2A51B209456D");
// Asked of the media core class: the module's objects by id.
inline constexpr Guid kIID_GenericLoader = MakeGuid("74980907-C9D0-47A1-AC95-DAC7A657E4EE");
inline constexpr Guid kIID_PlaylistsScriptContainer =
    MakeGuid("1F720FFE-8ACE-4CD4-8425-55325BD8C0EB");
inline constexpr Guid kIID_PlayersScriptContainer =
    MakeGuid("C9FF1EE9-9C1C-4B4C-B324-49B4A69064AC");
inline constexpr Guid kIID_PlayerHelperScriptObject =
    MakeGuid("C04A1665-A535-4364-B52F-0F365051E435");
inline constexpr Guid kIID_PrefsScriptObject = MakeGuid("C749C0E1-CB45-4904-8079-C55DA531E5F7");
inline constexpr Guid kIID_MNotificationThread = MakeGuid("F26829B0-3D16-40E7-9FD6-A83333B89988");
inline constexpr Guid kIID_FilesScriptObject = MakeGuid("7334F7A9-0F87-4CBA-AEB9-4F7BBBC430B4");

// ---- Graphics kit: canvas and surfaces ------------------------------------------------------
inline constexpr Guid kIID_MSurface = MakeGuid("4F36BCB1-58F2-4426-9459-1D861C80DE6A");
inline constexpr Guid kIID_MCanvas = MakeGuid("0A4DFD4A-B556-49EC-8FA7-148C286AF5A3");

// ---- Graphics kit: images, layered images, fonts --------------------------------------------
// The per-thread image service, the image-style service and the rasterizer mode answer on
// ImageServiceClass beside MImageService; layered documents come from PackageResourceClass.
inline constexpr Guid kIID_MThreadImageService = MakeGuid("615ECC4A-A04B-4CB4-9CB3-D34E5B5E0A8B");
inline constexpr Guid kIID_MImageStyleService = MakeGuid("95FE69A6-BA01-4BF0-8B1F-2DC10586FFBC");
inline constexpr Guid kIID_MRasterizer = MakeGuid("675BAC8F-6856-4DBA-B2E2-3D335FE8F6AB");
inline constexpr Guid kIID_MRasterImage = MakeGuid("A67BA9A4-8ED7-4A51-91FD-57653742C11E");
inline constexpr Guid kIID_MMaskImage = MakeGuid("0DF26D6E-36E9-4007-8220-A7D9105410EC");
inline constexpr Guid kIID_MFont = MakeGuid("8082EC49-E982-4E44-9B41-1848DF51BD36");
inline constexpr Guid kPackageResourceClass = MakeGuid("2D39822A-937A-4DAE-8B49-37826BC09ED4");
inline constexpr Guid kIID_MLayeredImage = MakeGuid("754B13D9-F6F3-4E11-9708-BFFAFCDCD42F");

// ---- Runtime: network service --------------------------------------------------------------
// One URL connection per object, and downloads into files.
inline constexpr Guid kNetworkClass = MakeGuid("4767B689-3EC8-43D4-A1F8-F66618D1FF11");
inline constexpr Guid kIID_MNetwork = MakeGuid("9BD9CE83-1A26-4C55-89C4-5EF514511890");

// ---- CD reader module ----------------------------------------------------------------------
inline constexpr Guid kCDExtractorClass = MakeGuid("A4CB5F1B-F1A3-42A0-948F-5E3165A58465");
// ---- URL reader --------------------------------------------------------------------------------
inline constexpr Guid kUrlReaderClass = MakeGuid("1E6627A0-75F2-4F84-89FD-3135086AF536");
inline constexpr Guid kIID_MUrlReader = MakeGuid("592F689E-548C-4C6D-81B3-31D883C3DD15");

// ---- Audio effects ---------------------------------------------------------------------------
// Each class makes a filter (as MAudioModule) and its control object (as MControlObject).
inline constexpr Guid kEqualizerClass = MakeGuid("C00E6A0E-7305-4785-AC30-31C5A0904EAD");
inline constexpr Guid kPitchAmpBalanceClass = MakeGuid("3ADD11D2-055A-4FF3-90D0-C74AFF209746");
inline constexpr Guid kIID_MEqualizer = MakeGuid("1B2EFB18-DC54-4C1E-8555-C5AC1194D8B1");
inline constexpr Guid kIID_MPitchAmpBalance = MakeGuid("6660B442-2081-4C3B-BD30-1954B3F5F5AC");
inline constexpr Guid kIID_MControlObjectPeer = MakeGuid("31ACF995-6ED5-4D2C-BF93-548A90FA67FD");
// The pitch, amplification and balance control object's native face.
inline constexpr Guid kIID_MPitchAmpBalanceControl =
    MakeGuid("578A5967-007A-428C-AC78-BDE13834ACC2");
// ---- Core script objects -------------------------------------------------------------------
// The script faces of a core playlist and a core player, answered by the core object itself.
inline constexpr Guid kIID_MScriptPlaylistObject = MakeGuid("45924E65-E44C-45A7-B234-98C50F3B188B");
inline constexpr Guid kIID_MScriptPlayerObject = MakeGuid("EE586654-C977-4186-AA79-93492409465F");
// ---- GUI layer -----------------------------------------------------------------------------
inline constexpr Guid kBrintClass = MakeGuid("086FE20A-9F52-44DA-B3DB-EE87864D1939");
inline constexpr Guid kIID_MWindowElement = MakeGuid("B01FDEF0-86F5-46CF-AFBC-BD04E0E9C07D");
// The window part answers this id with the same table as MWindowElement.
inline constexpr Guid kIID_MBrintWindow = MakeGuid("472932BF-7DFC-4CD3-AAF5-6DDE61D92FAE");
inline constexpr Guid kIID_MOmbrixApp = MakeGuid("7C8E6860-3A16-47D0-A33C-B50636FAFEC1");
inline constexpr Guid kIID_MInputSettings = MakeGuid("34CC9196-D852-4E8A-A7CF-32A3FD119CB1");
inline constexpr Guid kIID_MHostWindow = MakeGuid("EA0E3369-98BC-48A3-A242-AC5BA1573D67");
inline constexpr Guid kIID_MHostTask = MakeGuid("D1D457FC-BA73-45BF-9F17-2C8CA11AAD8C");
inline constexpr Guid kIID_MDockPoint = MakeGuid("4616572B-AEE9-48FC-AEE4-A7A308106A11");
// Inside the runtime only: the core behind a window element of the GUI layer.
inline constexpr Guid kIID_WindowPartCore = MakeGuid("6A5BEA65-8EA1-4989-9796-7E4E248A4A9E");

// ---- GUI layer: control parts, menus, list view, dialogs -----------------------------------
inline constexpr Guid kIID_MOpenFileDialog = MakeGuid("1CA9C752-BCEF-4DC4-82F8-8B601CDEBA2D");
inline constexpr Guid kIID_MSaveFileDialog = MakeGuid("4E260700-0D8C-454D-BBC6-AAC28B31DCBE");
inline constexpr Guid kIID_MDialogStrip = MakeGuid("25C6500E-AF7D-4733-A82F-FAB2519DE9E0");
inline constexpr Guid kIID_MMessageBox = MakeGuid("21932576-CBEE-4EC3-AAB4-7DAA78A521BE");
// Menu items, menu windows (asked as kIID_MBrintWindow) and scroll bars come from this class.
inline constexpr Guid kBrintControlsClass = MakeGuid("5D24FC4D-FB2F-4783-9D75-0B034132082E");
inline constexpr Guid kIID_MMenuItem = MakeGuid("373CFFB9-89E4-445C-9648-582CB5EF89C2");
inline constexpr Guid kIID_MMenuWindow = MakeGuid("4701FFC0-2E3F-46E2-8510-B3BDA86137EE");
inline constexpr Guid kIID_MButton = MakeGuid("ED7FE072-F1EC-4774-845A-9EC62D825171");
inline constexpr Guid kIID_MFillBar = MakeGuid("0DF8B044-546D-4E32-BDDE-B5C5A41DA67D");
inline constexpr Guid kIID_MEditBox = MakeGuid("8BBC1BC2-E470-4D53-9782-384D436B705A");
inline constexpr Guid kIID_MSpinButton = MakeGuid("883D9699-CA8C-4BAE-9B4C-5977A86BC139");
inline constexpr Guid kIID_MScrollBar = MakeGuid("257C8597-5C60-4EDB-AD3F-E0ABB5FE03D6");
inline constexpr Guid kIID_MScrollBarPart = MakeGuid("DF7374EC-48B3-485F-A7FC-BFBD6794B2B1");
inline constexpr Guid kIID_MSelectionList = MakeGuid("D253091D-E0B7-4AC3-B85A-0366F32C7CAC");
inline constexpr Guid kIID_MPicker = MakeGuid("D6FF38B8-8A22-4AD5-A748-0954D0CC1F0E");
inline constexpr Guid kIID_MItemList = MakeGuid("2D79AF59-5308-4277-93B9-EE3CD8379682");
inline constexpr Guid kIID_MListItem = MakeGuid("06DC84C2-AC95-447E-8F22-8738C2F212C4");
inline constexpr Guid kIID_MPlaylistView = MakeGuid("BC499DEB-ECEE-4A23-A075-01650119D660");

// ---- User interface module: application object and GUI main object -------------------------
// The launcher creates the application object by this class and drives it through
// MGuiApplication; every hand-over and request reaches the GUI main object as MGuiMain.
inline constexpr Guid kGuiApplicationClass = MakeGuid("F162D629-2EE1-4620-BB79-C6C50E1424F7");
inline constexpr Guid kIID_MGuiApplication = MakeGuid("ED1CCE62-F103-416D-BA0E-83356E160F94");
inline constexpr Guid kIID_MGuiMain = MakeGuid("F42CDE00-5A08-4932-A8EE-F28AAB987466");
// Asked of the media core class for a server start; the media core does not serve it.
inline constexpr Guid kIID_MCoreServer = MakeGuid("FA348C2D-785C-4C12-B1D1-DFF42A8AB408");
// ---- Markup windows: controls and captions ----------------------------------------------------
inline constexpr Guid kIID_MControl = MakeGuid("D641EFA9-F384-41C1-96D8-D0E84B8A601C");
// The player interface's status listener list (its top windows answer it); the same line as the
// user interface module's.
inline constexpr Guid kIID_MListenerList = MakeGuid("3D234CE3-1BE7-4C82-A6F1-123BD7D7A419");
inline constexpr Guid kIID_MTextFont = MakeGuid("705A50C1-A346-4A6C-99BE-8F7995E28D32");

// ---- Visualisation host --------------------------------------------------------------------
inline constexpr Guid kIID_MVisualHost = MakeGuid("7AB904A0-C933-4CEF-9017-82D939EA4396");
inline constexpr Guid kIID_MVisualPostEffect = MakeGuid("7E833A2B-DB84-4BDC-8A56-C1066B3BF16D");
inline constexpr Guid kIID_MVisualWindow = MakeGuid("298C1DB3-522B-435B-AEDF-D33E70A9077A");
inline constexpr Guid kIID_MVisualModule = MakeGuid("FA630AE7-B6C4-438D-A061-96781B9C2D10");
inline constexpr Guid kIID_MVisualControl = MakeGuid("2F6F6353-000F-49FE-AA4E-B0A34E9A89EA");
// Post-effect classes (the handler's own built-in effect among them).
inline constexpr Guid kCategoryVisuals = MakeGuid("EDBBBB41-6332-4877-8D12-508C41BF71C0");
// Runtime visual modules registered by plug-in files.
inline constexpr Guid kCategoryVisualModules = MakeGuid("4ACE0C15-B3D8-4506-987F-D4A6C6227B77");

// ---- User interface module: its own faces ---------------------------------------------------
inline constexpr Guid kIID_MAppWindowList = MakeGuid("72F21D9C-1809-40D6-862E-D5C8D3A8D6B4");
inline constexpr Guid kIID_MGuiService = MakeGuid("76AD8865-781D-4E33-B032-96519A00602C");
inline constexpr Guid kIID_MEnumerationService = MakeGuid("40355941-960E-49C2-A620-F40F2061496B");

// ---- User interface module: interface windows ----------------------------------------------
// A part of a window's base object told when the window is destroyed (the window manager's).
inline constexpr Guid kIID_MWindowObserver = MakeGuid("5E0B7C2A-9D41-4F6E-8A3B-1C7D2E9F4A60");
// The user interface module's named window classes are members of this category.
inline constexpr Guid kCategoryGuiWindows = MakeGuid("97977E34-AD6E-44A1-91F1-23A406587F3D");
inline constexpr Guid kIID_MWindowClassFactory = MakeGuid("43F31316-364C-4875-9F1B-6DAEAA4CBEA9");
// Preference panes of the user interface module.
inline constexpr Guid kLanguagePrefsPane = MakeGuid("79CD7CB5-778F-44C9-BE90-E34D40EEEA82");
inline constexpr Guid kPlaylistPrefsPane = MakeGuid("371B346E-F119-442F-BA40-AB1B35591B5B");
inline constexpr Guid kFileTypesPrefsPane = MakeGuid("CA4F8013-068A-459E-801C-DA59B6FA1FDA");
inline constexpr Guid kNetworkPrefsPane = MakeGuid("4D89CD2D-0BDC-4F36-B21E-F76973895D61");
inline constexpr Guid kMiscPrefsPane = MakeGuid("48958B21-375E-480C-BB69-3BF24DB49058");
inline constexpr Guid kAudioOutPrefsPane = MakeGuid("47EC8A1A-A5B3-4DD3-A43C-87C00845DA99");
inline constexpr Guid kVisualPrefsPane = MakeGuid("BC4679FF-1C36-40BB-B418-90D257C7CEF3");
inline constexpr Guid kNoSettingsPane = MakeGuid("B96882D0-BCC6-405D-ABAA-1B4CDC672A74");
// ---- User interface module: menu, settings, online, viewer, console and equalizer windows ------
inline constexpr Guid kMenuWindowClass = MakeGuid("02908D92-3B57-422C-B14A-31BC8379F04F");
inline constexpr Guid kConsoleWindowClass = MakeGuid("D30D93AA-EE5E-4D4C-8478-58044ABC45EC");
inline constexpr Guid kSettingsWindowClass = MakeGuid("BDF7BA75-B066-41EE-9495-2C3982E960E4");
inline constexpr Guid kOnlineWindowClass = MakeGuid("5D82D185-E90F-41F0-B069-4AA1A5F24804");
inline constexpr Guid kViewerWindowClass = MakeGuid("3C8D8633-086F-4568-B078-6C4F1128DAC0");
inline constexpr Guid kFontElementClass = MakeGuid("A22BA869-CF90-42F2-AA81-2A5890A49A3E");
inline constexpr Guid kEqualizerElementClass = MakeGuid("2902361A-A4D9-4CDA-855B-B13BA8C6956C");
inline constexpr Guid kPlaylistWindowClass = MakeGuid("0CEB0C70-7E42-4C98-A2FF-3BF6EA6C406C");
inline constexpr Guid kDisplayElementClass = MakeGuid("72811F79-2986-4358-BE4D-20D35DC0BFB5");
inline constexpr Guid kVisualWindowElementClass = MakeGuid("1A4888AE-2117-453C-AECB-59130D7C65EE");
inline constexpr Guid kPlaylistElementClass = MakeGuid("09234CE2-064B-4AC6-BB5C-A0CBE7795402");
inline constexpr Guid kBorderElementClass = MakeGuid("7B86C313-0CA8-43ED-A2FF-0E50A0A421A6");
inline constexpr Guid kStatusBarElementClass = MakeGuid("6185AFA7-E1F6-4136-A630-DA9D29CF7EA0");

}  // namespace vk2
