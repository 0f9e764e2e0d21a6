#pragma once
// Binary interface between a VST 2.4 host and this plug-in, as seen by a
// 64-bit little-endian host. Every record here is shared with the host, so
// sizes and offsets are fixed and checked at compile time. Plain,
// standard-layout types only; no dependencies beyond <cstdint>/<cstddef>.

#include <cstddef>
#include <cstdint>

namespace vb {

struct TVSTEffect;
using PVSTEffect = TVSTEffect*;

// Function entries of the effect record and the host callback.
using TDispatcherFunc = std::intptr_t (*)(TVSTEffect* Effect, std::int32_t Opcode, std::int32_t Index,
                                          std::intptr_t Value, void* Ptr, float Opt);
using TProcessProc = void (*)(TVSTEffect* Effect, float** Inputs, float** Outputs, std::int32_t Sampleframes);
using TProcessDoubleProc = void (*)(TVSTEffect* Effect, double** Inputs, double** Outputs, std::int32_t Sampleframes);
using TSetParameterProc = void (*)(TVSTEffect* Effect, std::int32_t Index, float Parameter);
using TGetParameterFunc = float (*)(TVSTEffect* Effect, std::int32_t Index);
using TAudioMasterCallbackFunc = std::intptr_t (*)(TVSTEffect* Effect, std::int32_t Opcode, std::int32_t Index,
                                                   std::intptr_t Value, void* Ptr, float Opt);

// Four characters packed first-character-highest (e.g. 'V','s','t','P').
constexpr std::int32_t PackChunkName(char C1, char C2, char C3, char C4) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<unsigned char>(C1)) << 24) |
                                   (static_cast<std::uint32_t>(static_cast<unsigned char>(C2)) << 16) |
                                   (static_cast<std::uint32_t>(static_cast<unsigned char>(C3)) << 8) |
                                   static_cast<std::uint32_t>(static_cast<unsigned char>(C4)));
}

// Magic of a VST 2.4 effect record; its bytes in memory read P, t, s, V.
constexpr std::int32_t kEffectMagic = PackChunkName('V', 's', 't', 'P');  // 0x56737450

// Bit numbers of the record's EffectFlags (bit n = member n).
enum TEffFlag : std::int32_t {
  effFlagsHasEditor = 0,
  effFlagsHasClip = 1,
  effFlagsHasVu = 2,
  effFlagsCanMono = 3,
  effFlagsCanReplacing = 4,
  effFlagsProgramChunks = 5,
  effFlagsUnused1 = 6,
  effFlagsUnused2 = 7,
  effFlagsIsSynth = 8,
  effFlagsNoSoundInStop = 9,
  effFlagsExtIsAsync = 10,
  effFlagsExtHasBuffer = 11,
  effFlagsCanDoubleReplacing = 12,
};
using TEffFlags = std::uint16_t;  // set of TEffFlag
constexpr TEffFlags EffFlagBit(TEffFlag F) { return static_cast<TEffFlags>(1u << F); }

// The effect record handed to the host (192 bytes).
struct TVSTEffect {
  std::int32_t Magic;
  std::int32_t Padding0;
  TDispatcherFunc Dispatcher;
  TProcessProc Process;
  TSetParameterProc SetParameter;
  TGetParameterFunc GetParameter;
  std::int32_t numPrograms;
  std::int32_t numParams;
  std::int32_t numInputs;
  std::int32_t numOutputs;
  TEffFlags EffectFlags;
  std::uint8_t Padding1[6];
  std::intptr_t ReservedForHost;
  std::intptr_t Resvd2;
  std::int32_t InitialDelay;
  std::int32_t RealQualities;
  std::int32_t OffQualities;
  float IORatio;
  void* AudioEffectPtr;
  void* User;
  std::int32_t UniqueID;
  std::int32_t Version;
  TProcessProc Process32Replacing;
  TProcessDoubleProc Process64Replacing;
  std::uint8_t Future[56];
};
static_assert(sizeof(TVSTEffect) == 192);
static_assert(offsetof(TVSTEffect, Magic) == 0);
static_assert(offsetof(TVSTEffect, Dispatcher) == 8);
static_assert(offsetof(TVSTEffect, Process) == 16);
static_assert(offsetof(TVSTEffect, SetParameter) == 24);
static_assert(offsetof(TVSTEffect, GetParameter) == 32);
static_assert(offsetof(TVSTEffect, numPrograms) == 40);
static_assert(offsetof(TVSTEffect, numParams) == 44);
static_assert(offsetof(TVSTEffect, numInputs) == 48);
static_assert(offsetof(TVSTEffect, numOutputs) == 52);
static_assert(offsetof(TVSTEffect, EffectFlags) == 56);
static_assert(offsetof(TVSTEffect, ReservedForHost) == 64);
static_assert(offsetof(TVSTEffect, Resvd2) == 72);
static_assert(offsetof(TVSTEffect, InitialDelay) == 80);
static_assert(offsetof(TVSTEffect, RealQualities) == 84);
static_assert(offsetof(TVSTEffect, OffQualities) == 88);
static_assert(offsetof(TVSTEffect, IORatio) == 92);
static_assert(offsetof(TVSTEffect, AudioEffectPtr) == 96);
static_assert(offsetof(TVSTEffect, User) == 104);
static_assert(offsetof(TVSTEffect, UniqueID) == 112);
static_assert(offsetof(TVSTEffect, Version) == 116);
static_assert(offsetof(TVSTEffect, Process32Replacing) == 120);
static_assert(offsetof(TVSTEffect, Process64Replacing) == 128);
static_assert(offsetof(TVSTEffect, Future) == 136);

// Dispatcher opcodes, host -> plug-in (values 0..79): the one list from
// which the opcode enumeration, the module's HostCall handlers, their
// default answers and the dispatch are all generated. Columns: the opcode's
// name without "eff" (also its handler's name after "HostCall"), its value,
// and the base module's answer: 0, or Own for a handler written by hand.
// VB_DISPATCHER_OPCODES(X) expands X(Name, Code, Answer) once per opcode.
#define VB_DISPATCHER_OPCODES(X)      \
  X(Open, 0, Own)                     \
  X(Close, 1, Own)                    \
  X(SetProgram, 2, 0)                 \
  X(GetProgram, 3, 0)                 \
  X(SetProgramName, 4, 0)             \
  X(GetProgramName, 5, 0)             \
  X(GetParamLabel, 6, 0)              \
  X(GetParamDisplay, 7, 0)            \
  X(GetParamName, 8, 0)               \
  X(GetVu, 9, 0)                      \
  X(SetSampleRate, 10, 0)             \
  X(SetBlockSize, 11, 0)              \
  X(MainsChanged, 12, 0)              \
  X(EditGetRect, 13, 0)               \
  X(EditOpen, 14, 0)                  \
  X(EditClose, 15, 0)                 \
  X(EditDraw, 16, 0)                  \
  X(EditMouse, 17, 0)                 \
  X(EditKey, 18, 0)                   \
  X(EditIdle, 19, 0)                  \
  X(EditTop, 20, 0)                   \
  X(EditSleep, 21, 0)                 \
  X(Identify, 22, Own)                \
  X(GetChunk, 23, 0)                  \
  X(SetChunk, 24, 0)                  \
  X(ProcessEvents, 25, 0)             \
  X(CanBeAutomated, 26, 0)            \
  X(String2Parameter, 27, 0)          \
  X(GetNumProgramCategories, 28, 0)   \
  X(GetProgramNameIndexed, 29, 0)     \
  X(CopyProgram, 30, 0)               \
  X(ConnectInput, 31, 0)              \
  X(ConnectOutput, 32, 0)             \
  X(GetInputProperties, 33, 0)        \
  X(GetOutputProperties, 34, 0)       \
  X(GetPlugCategory, 35, 0)           \
  X(GetCurrentPosition, 36, 0)        \
  X(GetDestinationBuffer, 37, 0)      \
  X(OfflineNotify, 38, 0)             \
  X(OfflinePrepare, 39, 0)            \
  X(OfflineRun, 40, 0)                \
  X(ProcessVarIo, 41, 0)              \
  X(SetSpeakerArrangement, 42, 0)     \
  X(SetBlockSizeAndSampleRate, 43, 0) \
  X(SetBypass, 44, 0)                 \
  X(GetEffectName, 45, 0)             \
  X(GetErrorText, 46, 0)              \
  X(GetVendorString, 47, 0)           \
  X(GetProductString, 48, 0)          \
  X(GetVendorVersion, 49, 0)          \
  X(VendorSpecific, 50, 0)            \
  X(CanDo, 51, 0)                     \
  X(GetTailSize, 52, 0)               \
  X(Idle, 53, 0)                      \
  X(GetIcon, 54, 0)                   \
  X(SetViewPosition, 55, 0)           \
  X(GetParameterProperties, 56, 0)    \
  X(KeysRequired, 57, 0)              \
  X(GetVstVersion, 58, 0)             \
  X(EditKeyDown, 59, 0)               \
  X(EditKeyUp, 60, 0)                 \
  X(SetEditKnobMode, 61, 0)           \
  X(GetMidiProgramName, 62, 0)        \
  X(GetCurrentMidiProgram, 63, 0)     \
  X(GetMidiProgramCategory, 64, 0)    \
  X(HasMidiProgramsChanged, 65, 0)    \
  X(GetMidiKeyName, 66, 0)            \
  X(BeginSetProgram, 67, 0)           \
  X(EndSetProgram, 68, 0)             \
  X(GetSpeakerArrangement, 69, 0)     \
  X(ShellGetNextPlugin, 70, 0)        \
  X(StartProcess, 71, 0)              \
  X(StopProcess, 72, 0)               \
  X(SetTotalSampleToProcess, 73, 0)   \
  X(SetPanLaw, 74, 0)                 \
  X(BeginLoadBank, 75, 0)             \
  X(BeginLoadProgram, 76, 0)          \
  X(SetProcessPrecision, 77, 0)       \
  X(GetNumMidiInputChannels, 78, 0)   \
  X(GetNumMidiOutputChannels, 79, 0)

enum TDispatcherOpcode : std::int32_t {
#define VB_OPCODE_MEMBER(Name, Code, Answer) eff##Name = Code,
  VB_DISPATCHER_OPCODES(VB_OPCODE_MEMBER)
#undef VB_OPCODE_MEMBER
};
constexpr std::int32_t kDispatcherOpcodeCount = 0
#define VB_OPCODE_COUNT(Name, Code, Answer) +1
    VB_DISPATCHER_OPCODES(VB_OPCODE_COUNT)
#undef VB_OPCODE_COUNT
    ;
static_assert(kDispatcherOpcodeCount == 80);
static_assert(effSetSampleRate == 10 && effEditTop == 20 && effCopyProgram == 30 && effOfflineRun == 40);
static_assert(effVendorSpecific == 50 && effEditKeyUp == 60 && effShellGetNextPlugin == 70);
static_assert(effGetNumMidiOutputChannels == kDispatcherOpcodeCount - 1);

// Host callback opcodes, plug-in -> host (values 0..49).
enum TAudioMasterOpcode : std::int32_t {
  amAutomate = 0,
  amVersion,
  amCurrentId,
  amIdle,
  amPinConnected,
  amUnused,
  amWantMidi,
  amGetTime,
  amProcessEvents,
  amSetTime,
  amTempoAt,  // 10
  amGetNumAutomatableParameters,
  amGetParameterQuantization,
  amIOChanged,
  amNeedIdle,
  amSizeWindow,
  amGetSampleRate,
  amGetBlockSize,
  amGetInputLatency,
  amGetOutputLatency,
  amGetPreviousPlug,  // 20
  amGetNextPlug,
  amWillReplaceOrAccumulate,
  amGetCurrentProcessLevel,
  amGetAutomationState,
  amOfflineStart,
  amOfflineRead,
  amOfflineWrite,
  amOfflineGetCurrentPass,
  amOfflineGetCurrentMetaPass,
  amSetOutputSampleRate,  // 30
  amGetOutputSpeakerArrangement,
  amGetVendorString,
  amGetProductString,
  amGetVendorVersion,
  amVendorSpecific,
  amSetIcon,
  amCanDo,
  amGetLanguage,
  amOpenWindow,
  amCloseWindow,  // 40
  amGetDirectory,
  amUpdateDisplay,
  amBeginEdit,
  amEndEdit,
  amOpenFileSelector,
  amCloseFileSelector,
  amEditFile,
  amGetChunkFile,
  amGetInputSpeakerArrangement,  // 49
};
constexpr std::int32_t kAudioMasterOpcodeCount = 50;
static_assert(amTempoAt == 10 && amGetPreviousPlug == 20 && amSetOutputSampleRate == 30 && amCloseWindow == 40);
static_assert(amGetInputSpeakerArrangement == kAudioMasterOpcodeCount - 1);

// Plug-in categories (answer of effGetPlugCategory).
enum TVstPluginCategory : std::int32_t {
  vpcUnknown = 0,
  vpcEffect,
  vpcSynth,
  vpcAnalysis,
  vpcMastering,
  vpcSpacializer,
  vpcRoomFx,
  vpcSurroundFx,
  vpcRestoration,
  vpcOfflineProcess,
  vpcShell,
  vpcGenerator,
};
static_assert(vpcShell == 10 && vpcGenerator == 11);

// Editor rectangle handed to the host by address (pixels).
struct ERect {
  std::int16_t Top;
  std::int16_t Left;
  std::int16_t Bottom;
  std::int16_t Right;
};
static_assert(sizeof(ERect) == 8);
static_assert(offsetof(ERect, Top) == 0 && offsetof(ERect, Left) == 2);
static_assert(offsetof(ERect, Bottom) == 4 && offsetof(ERect, Right) == 6);

// Pin description filled on effGetInputProperties / effGetOutputProperties.
enum TVstPinPropertiesFlag : std::int32_t {
  vppIsActive = 0,
  vppIsStereo = 1,
  vppUseSpeaker = 2,
};
struct TVstPinProperties {
  char Caption[64];
  std::int32_t Flags;  // set of TVstPinPropertiesFlag, bit n = member n
  std::int32_t ArrangementType;
  char ShortLabel[8];
  std::uint8_t Future[48];
};
static_assert(sizeof(TVstPinProperties) == 128);
static_assert(offsetof(TVstPinProperties, Caption) == 0);
static_assert(offsetof(TVstPinProperties, Flags) == 64);
static_assert(offsetof(TVstPinProperties, ArrangementType) == 68);
static_assert(offsetof(TVstPinProperties, ShortLabel) == 72);
static_assert(offsetof(TVstPinProperties, Future) == 80);

// Key record passed to the editor key events.
enum TVstModifierKey : std::uint8_t {
  mkShift = 1,
  mkAlternate = 2,
  mkCommand = 4,
  mkControl = 8,
};
struct TVstKeyCode {
  std::int32_t Character;
  std::uint8_t Virt;      // the host's virtual key code
  std::uint8_t Modifier;  // bits of TVstModifierKey
};
static_assert(offsetof(TVstKeyCode, Character) == 0);
static_assert(offsetof(TVstKeyCode, Virt) == 4);
static_assert(offsetof(TVstKeyCode, Modifier) == 5);

// Timed events (effProcessEvents in, amProcessEvents out).
enum TVSTEventType : std::int32_t {
  etNone = 0,
  etMidi = 1,
  etAudio = 2,
  etVideo = 3,
  etParameter = 4,
  etTrigger = 5,
  etSysEx = 6,
};

struct TVstEvent {
  std::int32_t EventType;
  std::int32_t ByteSize;
  std::int32_t DeltaFrames;  // sample offset inside the current block
  std::int32_t Flags;
  std::uint8_t Data[16];
};
static_assert(sizeof(TVstEvent) == 32);
static_assert(offsetof(TVstEvent, EventType) == 0 && offsetof(TVstEvent, ByteSize) == 4);
static_assert(offsetof(TVstEvent, DeltaFrames) == 8 && offsetof(TVstEvent, Flags) == 12);
static_assert(offsetof(TVstEvent, Data) == 16);

struct TVstMidiEvent {
  std::int32_t EventType;
  std::int32_t ByteSize;
  std::int32_t DeltaFrames;
  std::int32_t Flags;
  std::int32_t NoteLength;
  std::int32_t NoteOffset;
  std::uint8_t MidiData[4];  // status, data 1, data 2, fourth byte
  std::int8_t Detune;
  std::uint8_t NoteOffVelocity;
  std::uint8_t Reserved1;
  std::uint8_t Reserved2;
  std::uint8_t Reserved3[16];
};
static_assert(sizeof(TVstMidiEvent) == 48);
static_assert(offsetof(TVstMidiEvent, EventType) == 0 && offsetof(TVstMidiEvent, ByteSize) == 4);
static_assert(offsetof(TVstMidiEvent, DeltaFrames) == 8 && offsetof(TVstMidiEvent, Flags) == 12);
static_assert(offsetof(TVstMidiEvent, NoteLength) == 16 && offsetof(TVstMidiEvent, NoteOffset) == 20);
static_assert(offsetof(TVstMidiEvent, MidiData) == 24 && offsetof(TVstMidiEvent, Detune) == 28);
static_assert(offsetof(TVstMidiEvent, NoteOffVelocity) == 29 && offsetof(TVstMidiEvent, Reserved1) == 30);
static_assert(offsetof(TVstMidiEvent, Reserved2) == 31 && offsetof(TVstMidiEvent, Reserved3) == 32);

struct TVstMidiSysExEvent {
  std::int32_t EventType;
  std::int32_t ByteSize;
  std::int32_t DeltaFrames;
  std::int32_t Flags;
  std::int32_t DumpBytes;
  std::int32_t Padding0;
  std::intptr_t Reserved1;
  std::uint8_t* SysExDump;
  std::intptr_t Reserved2;
};
static_assert(sizeof(TVstMidiSysExEvent) == 48);
static_assert(offsetof(TVstMidiSysExEvent, DumpBytes) == 16);
static_assert(offsetof(TVstMidiSysExEvent, Reserved1) == 24);
static_assert(offsetof(TVstMidiSysExEvent, SysExDump) == 32);
static_assert(offsetof(TVstMidiSysExEvent, Reserved2) == 40);

// Event list header; the host's list may hold any number of pointers after
// it, so Events is declared with room for two (the interface's own layout).
struct TVstEvents {
  std::int32_t NumEvents;
  std::int32_t Padding0;
  std::intptr_t Reserved;
  TVstEvent* Events[2];
};
static_assert(offsetof(TVstEvents, NumEvents) == 0);
static_assert(offsetof(TVstEvents, Reserved) == 8);
static_assert(offsetof(TVstEvents, Events) == 16);

// Patch information given with effBeginLoadBank / effBeginLoadProgram.
struct TVstPatchChunkInfo {
  std::int32_t Version;
  std::int32_t PluginUniqueID;  // four characters, first highest
  std::int32_t PluginVersion;
  std::int32_t numElements;
  std::uint8_t Future[48];
};
static_assert(sizeof(TVstPatchChunkInfo) == 64);
static_assert(offsetof(TVstPatchChunkInfo, Version) == 0);
static_assert(offsetof(TVstPatchChunkInfo, PluginUniqueID) == 4);
static_assert(offsetof(TVstPatchChunkInfo, PluginVersion) == 8);
static_assert(offsetof(TVstPatchChunkInfo, numElements) == 12);
static_assert(offsetof(TVstPatchChunkInfo, Future) == 16);

// Parameter-properties record filled on effGetParameterProperties.
enum TVstParameterPropertiesFlag : std::int32_t {
  ppfParameterIsSwitch = 0,
  ppfParameterUsesIntegerMinMax = 1,
  ppfParameterUsesFloatStep = 2,
  ppfParameterUsesIntStep = 3,
  ppfParameterSupportsDisplayIndex = 4,
  ppfParameterSupportsDisplayCategory = 5,
  ppfParameterCanRamp = 6,
};
struct TVstParameterPropertiesRecord {
  float StepFloat;
  float SmallStepFloat;
  float LargeStepFloat;
  char Caption[64];    // label
  std::int32_t Flags;  // set of TVstParameterPropertiesFlag, bit n = member n
  std::int32_t MinInteger;
  std::int32_t MaxInteger;
  std::int32_t StepInteger;
  std::int32_t LargeStepInteger;
  char ShortLabel[8];
  std::int16_t DisplayIndex;
  std::int16_t Category;
  std::int16_t NumParametersInCategory;
  std::int16_t Reserved;
  char CategoryLabel[24];
  std::uint8_t Future[16];
};
static_assert(sizeof(TVstParameterPropertiesRecord) == 152);
static_assert(offsetof(TVstParameterPropertiesRecord, StepFloat) == 0);
static_assert(offsetof(TVstParameterPropertiesRecord, SmallStepFloat) == 4);
static_assert(offsetof(TVstParameterPropertiesRecord, LargeStepFloat) == 8);
static_assert(offsetof(TVstParameterPropertiesRecord, Caption) == 12);
static_assert(offsetof(TVstParameterPropertiesRecord, Flags) == 76);
static_assert(offsetof(TVstParameterPropertiesRecord, MinInteger) == 80);
static_assert(offsetof(TVstParameterPropertiesRecord, MaxInteger) == 84);
static_assert(offsetof(TVstParameterPropertiesRecord, StepInteger) == 88);
static_assert(offsetof(TVstParameterPropertiesRecord, LargeStepInteger) == 92);
static_assert(offsetof(TVstParameterPropertiesRecord, ShortLabel) == 96);
static_assert(offsetof(TVstParameterPropertiesRecord, DisplayIndex) == 104);
static_assert(offsetof(TVstParameterPropertiesRecord, Category) == 106);
static_assert(offsetof(TVstParameterPropertiesRecord, NumParametersInCategory) == 108);
static_assert(offsetof(TVstParameterPropertiesRecord, Reserved) == 110);
static_assert(offsetof(TVstParameterPropertiesRecord, CategoryLabel) == 112);
static_assert(offsetof(TVstParameterPropertiesRecord, Future) == 136);

// Processing precision answered to effSetProcessPrecision.
enum TProcessPrecision : std::int32_t { pp32 = 0, pp64 = 1 };

// Version number answered to effGetVstVersion.
constexpr std::int32_t kVstVersion = 2400;

}  // namespace vb
